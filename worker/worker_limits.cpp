#include "worker/worker_limits.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

namespace pitrel {
namespace {

void Lower(int resource, rlim_t wanted) {
  rlimit limit{};
  if (getrlimit(resource, &limit) != 0) return;
  if (limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur <= wanted) return;
  limit.rlim_cur = wanted;
  if (limit.rlim_max != RLIM_INFINITY && limit.rlim_max < wanted) limit.rlim_cur = limit.rlim_max;
  setrlimit(resource, &limit);
}

unsigned TimeLimitSeconds() {
  const char* text = std::getenv(kTimeLimitVariable);
  if (!text || !*text) return kDefaultTimeLimitSeconds;
  char* end = nullptr;
  const unsigned long seconds = std::strtoul(text, &end, 10);
  if (*end != '\0' || seconds == 0 || seconds > kDefaultTimeLimitSeconds) return kDefaultTimeLimitSeconds;
  return unsigned(seconds);
}

}  // namespace

void BoundThisWorker() {
  const unsigned seconds = TimeLimitSeconds();
  alarm(seconds);
  Lower(RLIMIT_CPU, std::min(seconds, kCpuLimitSeconds));
  Lower(RLIMIT_AS, kAddressSpaceLimitBytes);
}

}  // namespace pitrel
