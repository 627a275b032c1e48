// A small seeded generator whose output is the same on every platform
// (std::mt19937 is fully specified; the standard distributions are not).
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <string_view>

namespace sample_market {

class Rng {
 public:
  Rng(std::uint32_t seed, std::uint32_t stream) {
    std::seed_seq sequence{seed, stream, 0x51A7u};
    engine_.seed(sequence);
  }

  std::uint32_t Below(std::uint32_t bound) { return bound == 0 ? 0 : engine_() % bound; }
  bool Chance(std::uint32_t percent) { return Below(100) < percent; }
  int Between(int low, int high) { return low + static_cast<int>(Below(high - low + 1)); }

  template <typename List>
  std::string_view Pick(const List& list) {
    return list[Below(static_cast<std::uint32_t>(std::size(list)))];
  }

  std::string Digits(int count) {
    std::string digits;
    for (int i = 0; i < count; ++i) digits += static_cast<char>('0' + Below(10));
    return digits;
  }

 private:
  std::mt19937 engine_;
};

// FNV-1a: a stable hash for seeding by page path.
inline std::uint32_t StableHash(std::string_view text) {
  std::uint32_t hash = 2166136261u;
  for (unsigned char c : text) hash = (hash ^ c) * 16777619u;
  return hash;
}

}  // namespace sample_market
