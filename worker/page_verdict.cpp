#include "worker/page_verdict.h"

namespace pitrel {
namespace {

constexpr std::size_t kLongestReason = 200;

// The companion holds one line of ASCII: anything else becomes a space or '?'.
std::string OneLine(std::string_view text) {
  std::string line;
  for (const char c : text.substr(0, kLongestReason)) {
    const auto byte = static_cast<unsigned char>(c);
    line.push_back(byte < 0x20 ? ' ' : byte >= 0x7F ? '?' : c);
  }
  return line;
}

}  // namespace

std::optional<PageFailure> JudgePage(const LoadedPage& page) {
  const int status = static_cast<int>(page.status);
  if (status >= 400)
    return PageFailure{IsTransientHttpStatus(status), status, page.retry_after_seconds,
                       "HTTP " + std::to_string(status)};
  if (page.loaded && page.failure == FetchFailure::kNone) return std::nullopt;
  // Nothing arrived and nobody said why: another try is the cautious reading.
  const bool transient = page.failure == FetchFailure::kNone || IsPassingFailure(page.failure);
  return PageFailure{transient, status, page.retry_after_seconds,
                     OneLine(page.error.empty() ? "the page did not arrive" : page.error)};
}

}  // namespace pitrel
