// Where an address lies: in the user's own network (loopback, link-local,
// the private and shared ranges) or on the public internet. A page on a
// public address may not send the worker into the user's own network by a
// redirect, as browsers refuse such requests: a hostile site could otherwise
// have the worker read a router's or an intranet's pages for it.
#pragma once

#include <sys/socket.h>

#include <optional>
#include <string>
#include <string_view>

namespace pitrel {

bool IsOwnNetworkAddress(const sockaddr* address);

// For a host as written in a URL (brackets allowed): an IP literal by its
// range, "localhost" and names under it as the own network; nothing for
// other names, whose address only a name lookup tells.
std::optional<bool> IsOwnNetworkHost(std::string_view host);

// "192.168.1.1" or "fe80::1": the address in its usual text form.
std::string AddressText(const sockaddr* address);

}  // namespace pitrel
