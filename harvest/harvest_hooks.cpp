#include "harvest/harvest_hooks.h"

#include <random>

namespace quenlo {

double RandomJitter() {
  static std::mt19937_64 engine{std::random_device{}()};
  return std::uniform_real_distribution<double>(0.0, 1.0)(engine);
}

void ApplyHarvestSettings(HarvestHooks& hooks, const HarvestSettings& settings) {
  hooks.retry.retries = settings.retries;
  hooks.delay = std::chrono::milliseconds(settings.delayMs);
  hooks.searchPageCap = settings.searchPageCap;
}

}  // namespace quenlo
