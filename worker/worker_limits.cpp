#include "worker/worker_limits.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

namespace pitrel {
namespace {

// AddressSanitizer maps terabytes of shadow memory: under the address-space
// bound a sanitized worker could allocate nothing, so it keeps only the others.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kUnderAddressSanitizer = true;
#elif defined(__has_feature)
constexpr bool kUnderAddressSanitizer = __has_feature(address_sanitizer);
#else
constexpr bool kUnderAddressSanitizer = false;
#endif

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
  if (*end != '\0' || seconds == 0 || seconds > kDefaultTimeLimitSeconds)
    return kDefaultTimeLimitSeconds;
  return unsigned(seconds);
}

}  // namespace

void BoundThisWorker() {
  const unsigned seconds = TimeLimitSeconds();
  alarm(seconds);
  Lower(RLIMIT_CPU, std::min(seconds, kCpuLimitSeconds));
  if (!kUnderAddressSanitizer) Lower(RLIMIT_AS, kAddressSpaceLimitBytes);
}

}  // namespace pitrel
