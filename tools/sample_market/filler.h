// Realistic page filler (category menus, advertising lines) used to bring a
// page up to a chosen size. It never holds any text a condenser looks for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace sample_market {

// Mark-up of about `gbk_bytes` bytes once GBK-encoded (never less).
std::string Filler(std::size_t gbk_bytes, std::uint32_t seed);

}  // namespace sample_market
