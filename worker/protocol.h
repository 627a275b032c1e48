// The protocol between quenlo and pitrel, its page-fetch worker: the one place
// where the command line, the flags, the result-file names and the result
// fields are spelled. Header-only plain C++, so that quenlo includes it and
// links nothing of the worker (quenlo's QString view: harvest/worker_protocol.h).
//
// Command line
//   quenlo starts one pitrel a page, with one argument of three fields joined
//   by kCommandSeparator ("‖", U+2016, in UTF-8):
//       ARGUMENT‖RESULT_FILE‖FLAG        e.g. http://host/page.html‖Temp_abc‖1
//   ARGUMENT     the page's address; for kProfileFlag the member name, from
//                which the worker makes the company-profile address.
//   RESULT_FILE  the name to write, relative to the working directory.
//   FLAG         read leniently (as LeadingNumber reads) and rounded; missing,
//                no number or beyond 16 bits reads as kMemberListFlag.
//   The line loses its outer spaces, its fields are taken as they stand, and
//   fields after the third are ignored. A shell that splits the line at its
//   spaces hands pitrel several arguments: they are joined again with single
//   spaces. Without an argument or a result-file name pitrel loads and writes
//   nothing and ends with status 2; an empty line runs a built-in test job.
//   quenlo never sends a field that holds the separator.
//
// Flags: which condenser reads the page, and so what the result holds
//   0 member list    the search's hit count on the first line, then one member
//                    name a line; CR LF between lines, none after the last
//   1 contact        ten fields: address, company name, web address, postcode,
//                    fax, mobile, telephone, job title, sex, contact name
//   2 profile        eighteen fields: "公司主页", sixteen labelled facts, the
//                    introduction; or "公司黄页" and one empty field for a
//                    member with only a directory entry
//   3 trade credit   six fields: seller credit, buyer credit, province, city,
//                    sign-up time, last login
//   Any other flag: the page is loaded and nothing is written.
//
// Result files
//   quenlo names them and polls for them in the working directory:
//     a search page    "TempPage_" + page number, page 1 as "TempPage_0"
//     a member's page  "Temp_" + member name, for contact and profile alike
//   The trade-credit result goes to RESULT_FILE + ".t". A result is written
//   under its name + ".TMP" and renamed into place, so a file that exists
//   under its name is whole. Its bytes are GB18030 (GBK where GBK suffices);
//   it is never empty: an empty result is one space.
//
// Fields
//   The results of flags 1 to 3 are one line of fields joined by
//   kFieldSeparator ("〗★〖", U+3017 U+2605 U+3016), which quenlo splits and
//   reads by position. A separator inside a field's own text is written as
//   kSeparatorInText ("〗☆〖", a white star), so a page that quotes it adds no
//   field.
//
// Failures
//   When the page could not be read, the worker says why in a companion file
//   beside the result: the name of the result file written (RESULT_FILE, or
//   RESULT_FILE + ".t") + kFailureSuffix (".fail"), e.g. "Temp_abc.fail". It
//   is written as a result is (temporary name, then renamed) and BEFORE the
//   result file is renamed into place, so a quenlo that sees the result can
//   rely on the companion being there already. The result file is still
//   written as ever (what the condenser makes of what arrived), so results
//   are collected as before. A page that was read leaves no companion (a
//   stale one goes) and its result keeps its bytes exactly.
//   The companion is ASCII, one key=value a line, LF; readers skip keys they
//   do not know:
//     kind=transient | kind=permanent
//     status=NNN          the HTTP status; 0 when no HTTP answer came
//     retry-after=SECONDS only when the server sent Retry-After (an HTTP
//                         date becomes the seconds from now, never negative)
//     reason=...          one short line of English ("connection refused",
//                         "timed out after 30000 ms", "HTTP 503", ...)
//   Transient: no connection, a reset, a timeout, a body cut short, HTTP 408,
//   429, 500, 502, 503, 504, a proxy that is down or refuses. Permanent: 404,
//   410, any other status from 400 up, a certificate that fails, a body that
//   is no page (empty, binary), a redirect the worker refuses (another
//   scheme, into the private network, a loop).
//   Exit status: 0 page read, 2 bad command line (nothing loaded or
//   written), 3 transient failure, 4 permanent failure. A worker killed at
//   its time limit ends by a signal and writes nothing.
#pragma once

#include <algorithm>
#include <charconv>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pitrel {

// Command line.
inline constexpr std::string_view kCommandSeparator = "‖";

inline constexpr int kMemberListFlag = 0;
inline constexpr int kContactFlag = 1;
inline constexpr int kProfileFlag = 2;
inline constexpr int kTradeCreditFlag = 3;

inline std::string WorkerCommandLine(std::string_view argument, std::string_view resultFile,
                                     int flag) {
  std::string line(argument);
  line.append(kCommandSeparator).append(resultFile).append(kCommandSeparator);
  return line.append(std::to_string(flag));
}

// Result files.
inline constexpr std::string_view kSearchPageResultPrefix = "TempPage_";
inline constexpr std::string_view kMemberResultPrefix = "Temp_";
inline constexpr std::string_view kTradeCreditSuffix = ".t";
inline constexpr std::string_view kTemporarySuffix = ".TMP";
inline constexpr char kResultEncoding[] = "GB18030";

inline std::string SearchPageResultFile(int page) {
  return std::string(kSearchPageResultPrefix).append(std::to_string(page == 1 ? 0 : page));
}

inline std::string MemberResultFile(std::string_view member) {
  return std::string(kMemberResultPrefix).append(member);
}

// Where the worker writes a flag's result.
inline std::string ResultFileFor(int flag, std::string_view resultFile) {
  std::string name(resultFile);
  return flag == kTradeCreditFlag ? name.append(kTradeCreditSuffix) : name;
}

inline std::string TemporaryResultFile(std::string_view resultFile) {
  return std::string(resultFile).append(kTemporarySuffix);
}

// Fields.
inline constexpr std::string_view kFieldSeparator = "〗★〖";
inline constexpr std::string_view kSeparatorInText = "〗☆〖";

inline std::string WithoutSeparator(std::string text) {
  for (std::size_t at = text.find(kFieldSeparator); at != std::string::npos;
       at = text.find(kFieldSeparator, at + kSeparatorInText.size()))
    text.replace(at, kFieldSeparator.size(), kSeparatorInText);
  return text;
}

inline std::string JoinFields(const std::vector<std::string>& fields) {
  std::string out;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) out.append(kFieldSeparator);
    out.append(WithoutSeparator(fields[i]));
  }
  return out;
}

// Failures.
inline constexpr std::string_view kFailureSuffix = ".fail";
inline constexpr std::string_view kFailureKindKey = "kind";
inline constexpr std::string_view kFailureStatusKey = "status";
inline constexpr std::string_view kFailureRetryAfterKey = "retry-after";
inline constexpr std::string_view kFailureReasonKey = "reason";
inline constexpr std::string_view kTransientKind = "transient";
inline constexpr std::string_view kPermanentKind = "permanent";

inline constexpr int kExitPageRead = 0;
inline constexpr int kExitBadCommandLine = 2;
inline constexpr int kExitTransientFailure = 3;
inline constexpr int kExitPermanentFailure = 4;

struct PageFailure {
  bool transient = true;
  int status = 0;                           // 0: no HTTP answer
  std::optional<long> retry_after_seconds;  // only when the server asked
  std::string reason;                       // one line, ASCII
};

// The companion of the result file written (for flag 3 the one ending ".t").
inline std::string FailureFileFor(std::string_view writtenResultFile) {
  return std::string(writtenResultFile).append(kFailureSuffix);
}

// The HTTP statuses worth asking for again later.
inline bool IsTransientHttpStatus(int status) {
  return status == 408 || status == 429 || status == 500 || status == 502 || status == 503 ||
         status == 504;
}

inline int ExitStatusFor(const std::optional<PageFailure>& failure) {
  if (!failure) return kExitPageRead;
  return failure->transient ? kExitTransientFailure : kExitPermanentFailure;
}

inline std::string FormatPageFailure(const PageFailure& failure) {
  std::string text;
  const auto line = [&text](std::string_view key, std::string_view value) {
    text.append(key).append("=").append(value).append("\n");
  };
  line(kFailureKindKey, failure.transient ? kTransientKind : kPermanentKind);
  line(kFailureStatusKey, std::to_string(failure.status));
  if (failure.retry_after_seconds)
    line(kFailureRetryAfterKey, std::to_string(*failure.retry_after_seconds));
  line(kFailureReasonKey, failure.reason);
  return text;
}

// The failure a companion's text describes; nothing without a known kind.
inline std::optional<PageFailure> ParsePageFailure(std::string_view text) {
  PageFailure failure;
  std::optional<bool> transient;
  const auto number = [](std::string_view digits) -> std::optional<long> {
    long value = 0;
    const auto [end, code] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (code != std::errc() || end != digits.data() + digits.size() || value < 0)
      return std::nullopt;
    return value;
  };
  while (!text.empty()) {
    std::string_view line = text.substr(0, text.find('\n'));
    text.remove_prefix(std::min(text.size(), line.size() + 1));
    if (line.ends_with('\r')) line.remove_suffix(1);
    const std::size_t equals = line.find('=');
    const std::string_view key = line.substr(0, equals);
    const std::string_view value = equals == std::string_view::npos ? "" : line.substr(equals + 1);
    if (key == kFailureKindKey && (value == kTransientKind || value == kPermanentKind))
      transient = value == kTransientKind;
    else if (key == kFailureStatusKey) failure.status = static_cast<int>(number(value).value_or(0));
    else if (key == kFailureRetryAfterKey) failure.retry_after_seconds = number(value);
    else if (key == kFailureReasonKey) failure.reason = value;
  }
  if (!transient) return std::nullopt;
  failure.transient = *transient;
  return failure;
}

}  // namespace pitrel
