#include "worker/page/binary_body.h"

#include <algorithm>

namespace pitrel {
namespace {

constexpr std::size_t kSniffedBytes = 1445;  // the span browsers look at

bool IsBinaryByte(unsigned char byte) {
  return byte <= 0x08 || byte == 0x0B || (byte >= 0x0E && byte <= 0x1A) ||
         (byte >= 0x1C && byte <= 0x1F);
}

}  // namespace

bool IsBinaryBody(std::string_view body) {
  if (body.starts_with("\xFE\xFF") || body.starts_with("\xFF\xFE")) return false;
  const std::string_view head = body.substr(0, kSniffedBytes);
  return std::any_of(head.begin(), head.end(),
                     [](char c) { return IsBinaryByte(static_cast<unsigned char>(c)); });
}

}  // namespace pitrel
