#include "worker/page/network_space.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <cstdint>
#include <cstring>

namespace pitrel {
namespace {

struct Range4 {
  std::uint32_t base;
  int bits;
};

// This host, private, shared (carrier NAT), loopback, link-local.
constexpr Range4 kOwnRanges4[] = {{0x00000000, 8},  {0x0A000000, 8},  {0x64400000, 10},
                                  {0x7F000000, 8},  {0xA9FE0000, 16}, {0xAC100000, 12},
                                  {0xC0A80000, 16}};

bool IsOwn4(std::uint32_t address) {  // host byte order
  for (const Range4& range : kOwnRanges4) {
    const std::uint32_t mask = ~std::uint32_t{0} << (32 - range.bits);
    if ((address & mask) == range.base) return true;
  }
  return false;
}

bool IsOwn6(const in6_addr& address) {
  const std::uint8_t* b = address.s6_addr;
  if (IN6_IS_ADDR_V4MAPPED(&address)) {
    std::uint32_t v4;
    std::memcpy(&v4, b + 12, 4);
    return IsOwn4(ntohl(v4));
  }
  return IN6_IS_ADDR_LOOPBACK(&address) || IN6_IS_ADDR_UNSPECIFIED(&address) ||
         (b[0] & 0xFE) == 0xFC ||                   // unique local, fc00::/7
         (b[0] == 0xFE && (b[1] & 0xC0) == 0x80);  // link-local, fe80::/10
}

bool IsLocalhostName(std::string_view host) {
  std::string lower(host);
  for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  if (lower.ends_with('.')) lower.pop_back();
  return lower == "localhost" || lower.ends_with(".localhost");
}

}  // namespace

bool IsOwnNetworkAddress(const sockaddr* address) {
  if (address->sa_family == AF_INET)
    return IsOwn4(ntohl(reinterpret_cast<const sockaddr_in*>(address)->sin_addr.s_addr));
  if (address->sa_family == AF_INET6) return IsOwn6(reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr);
  return true;  // no other family leaves the machine
}

std::optional<bool> IsOwnNetworkHost(std::string_view host) {
  if (host.starts_with('[') && host.ends_with(']')) host = host.substr(1, host.size() - 2);
  const std::string text(host);
  in_addr v4{};
  if (inet_pton(AF_INET, text.c_str(), &v4) == 1) return IsOwn4(ntohl(v4.s_addr));
  in6_addr v6{};
  if (inet_pton(AF_INET6, text.c_str(), &v6) == 1) return IsOwn6(v6);
  if (IsLocalhostName(host)) return true;
  return std::nullopt;
}

std::string AddressText(const sockaddr* address) {
  char text[INET6_ADDRSTRLEN] = "";
  if (address->sa_family == AF_INET)
    inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(address)->sin_addr, text, sizeof text);
  else if (address->sa_family == AF_INET6)
    inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr, text, sizeof text);
  return text;
}

}  // namespace pitrel
