#include "worker/page/file_fetch.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <optional>

#include "worker/page/url_encoding.h"

namespace pitrel {
namespace {

constexpr std::size_t kReadBlock = 64 * 1024;

// The path a file URL names on this machine; nothing for another host.
std::optional<std::string> LocalPath(std::string_view url) {
  while (!url.empty() && static_cast<unsigned char>(url.front()) <= 0x20) url.remove_prefix(1);
  while (!url.empty() && static_cast<unsigned char>(url.back()) <= 0x20) url.remove_suffix(1);
  std::string_view rest = url.substr(std::string_view("file:").size());
  if (rest.starts_with("//")) {
    rest.remove_prefix(2);
    const std::string_view host = rest.substr(0, rest.find('/'));
    std::string lower(host);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (!host.empty() && lower != "localhost") return std::nullopt;
    rest.remove_prefix(host.size());
  }
  rest = rest.substr(0, std::min(rest.find('?'), rest.find('#')));
  if (!rest.starts_with('/')) return std::nullopt;
  return PercentDecoded(rest);
}

// Reads up to limit bytes and one more, so that a file past the cap is told apart.
bool ReadUpTo(int fd, std::size_t limit, std::string& body) {
  char block[kReadBlock];
  while (body.size() <= limit) {
    const ssize_t got = ::read(fd, block, std::min(sizeof block, limit + 1 - body.size()));
    if (got == 0) return true;
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    body.append(block, static_cast<std::size_t>(got));
  }
  return true;
}

FetchResult& Failed(FetchResult& result, std::string error) {
  result.failure = FetchFailure::kBadAddress;
  result.error = std::move(error);
  return result;
}

}  // namespace

FetchResult ReadFileUrl(const std::string& url, const FetchLimits& limits) {
  FetchResult result;
  result.final_url = url;
  const std::optional<std::string> path = LocalPath(url);
  if (!path) return Failed(result, "not a file on this machine: " + url);
  const int fd = ::open(path->c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return Failed(result, "cannot open " + *path + ": " + std::strerror(errno));
  struct stat info {};
  const bool directory = ::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode);
  const bool read = !directory && ReadUpTo(fd, limits.max_bytes, result.body);
  const int read_errno = errno;
  ::close(fd);
  if (directory) return Failed(result, *path + " is a directory");
  if (!read) return Failed(result, "cannot read " + *path + ": " + std::strerror(read_errno));
  result.received = true;
  if (result.body.size() > limits.max_bytes) {
    result.body.resize(limits.max_bytes);
    result.error = "size limit reached";  // what arrived is kept as the page
  }
  return result;
}

}  // namespace pitrel
