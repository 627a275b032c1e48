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
//   Not reported yet: a page that cannot be loaded is condensed as an empty
//   page, and quenlo sees a worker that wrote nothing only by its ending.
#pragma once

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

}  // namespace pitrel
