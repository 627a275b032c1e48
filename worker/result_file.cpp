#include "worker/result_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "worker/page/charset.h"

namespace pitrel {
namespace {

constexpr int kAttempts = 31;
constexpr auto kTick = std::chrono::microseconds(100);

// Deletes a file (never a directory) of that name if there is one.
bool RemoveStaleFile(const std::string& name) {
  struct stat info;
  if (::lstat(name.c_str(), &info) != 0) return true;
  return ::unlink(name.c_str()) == 0;
}

bool WriteWhole(const std::string& name, const std::string& bytes) {
  std::FILE* file = std::fopen(name.c_str(), "wb");
  if (!file) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  const bool closed = std::fclose(file) == 0;
  return written && closed;
}

}  // namespace

int WriteResultOnce(std::string_view text, const std::string& fileName) {
  const std::string temp = TemporaryResultFile(fileName);
  if (!RemoveStaleFile(temp) || !RemoveStaleFile(fileName)) return -1;
  // A failed attempt leaves no half-written temporary file behind.
  if (!WriteWhole(temp, EncodeGb18030(text)) || std::rename(temp.c_str(), fileName.c_str()) != 0) {
    ::unlink(temp.c_str());
    return -1;
  }
  return 1;
}

std::string SaveResult(std::string_view text, const std::string& fileName) {
  const std::string_view content = text.empty() ? std::string_view(" ") : text;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    if (WriteResultOnce(content, fileName) > 0) return fileName;
    WaitTicks(1000);
  }
  return {};
}

bool SaveFailureReport(const std::optional<PageFailure>& failure, const std::string& resultFile) {
  const std::string companion = FailureFileFor(resultFile);
  if (!failure) return RemoveStaleFile(companion);
  return !SaveResult(FormatPageFailure(*failure), companion).empty();
}

void WaitTicks(int ticks) {
  if (ticks < 0) return;
  std::this_thread::sleep_for(kTick * (ticks + 1));
}

}  // namespace pitrel
