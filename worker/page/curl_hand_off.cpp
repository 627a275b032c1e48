// LoadCurlRuntime for the statically linked worker. A static program cannot
// safely load libcurl (it would bring a second C library into the process),
// so the page goes to pitrel-curl beside it: the same worker, linked against
// the shared C library, started with the same command line in place of this
// process. Nothing has been written yet when an address first needs libcurl.
#include "worker/page/curl_runtime.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace pitrel {
namespace {

constexpr char kCurlWorkerName[] = "pitrel-curl";

std::string ReadWhole(const char* path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// This process's arguments, as it was started with them.
std::vector<std::string> OwnArguments() {
  std::vector<std::string> arguments;
  const std::string text = ReadWhole("/proc/self/cmdline");
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = text.find('\0', at);
    arguments.push_back(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
    if (end == std::string::npos) break;
    at = end + 1;
  }
  return arguments;
}

std::string CurlWorkerPath() {
  char own[4096];
  const ssize_t length = readlink("/proc/self/exe", own, sizeof own - 1);
  if (length <= 0) return kCurlWorkerName;
  std::string path(own, std::size_t(length));
  const std::size_t slash = path.rfind('/');
  return (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + kCurlWorkerName;
}

}  // namespace

const CurlRuntime* LoadCurlRuntime(std::string* error) {
  const std::string program = CurlWorkerPath();
  std::vector<std::string> arguments = OwnArguments();
  if (arguments.empty()) arguments.push_back(program);
  arguments[0] = program;
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  execv(program.c_str(), argv.data());
  *error = "cannot start " + program + " (needed for https and file addresses): " + std::strerror(errno);
  return nullptr;
}

}  // namespace pitrel
