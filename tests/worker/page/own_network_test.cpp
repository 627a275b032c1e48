// The rule that a page on the public internet cannot send the worker into
// the user's own network by a redirect, while a marketplace on a private
// address (the sample marketplace, a company mirror) still works.
#include <gtest/gtest.h>
#include <ifaddrs.h>

#include <atomic>
#include <optional>
#include <string>

#include "raw_server.h"
#include "worker/page/fetch.h"
#include "worker/page/network_space.h"

namespace pitrel {
namespace {

using testing::RawServer;
using testing::SendText;

// An address of this machine outside its own network, if it has one: a
// server there stands in for a public site.
std::optional<std::string> PublicAddressOfThisMachine() {
  ifaddrs* list = nullptr;
  if (::getifaddrs(&list) != 0) return std::nullopt;
  std::optional<std::string> found;
  for (const ifaddrs* each = list; each && !found; each = each->ifa_next)
    if (each->ifa_addr && each->ifa_addr->sa_family == AF_INET && !IsOwnNetworkAddress(each->ifa_addr))
      found = AddressText(each->ifa_addr);
  ::freeifaddrs(list);
  return found;
}

RawServer Redirecting(const std::string& to, const std::string& address = "127.0.0.1") {
  return RawServer([to](int fd, const std::atomic<bool>&) {
    SendText(fd, "HTTP/1.1 302 Found\r\nLocation: " + to + "\r\nContent-Length: 0\r\n\r\n");
  }, address);
}

RawServer Answering(std::atomic<int>& requests) {
  return RawServer([&requests](int fd, const std::atomic<bool>&) {
    ++requests;
    SendText(fd, "HTTP/1.1 200 OK\r\nContent-Length: 6\r\n\r\ninside");
  });
}

TEST(NetworkSpace, TheOwnNetworkIsLoopbackLinkLocalPrivateAndShared) {
  for (const char* own : {"127.0.0.1", "127.9.9.9", "10.1.2.3", "172.16.0.1", "172.31.255.255", "192.168.0.1",
                          "169.254.1.1", "100.64.0.1", "0.0.0.0", "[::1]", "::", "fe80::1", "fd00::2",
                          "[::ffff:192.168.1.1]", "localhost", "a.LocalHost", "localhost."})
    EXPECT_EQ(IsOwnNetworkHost(own), true) << own;
  for (const char* public_address : {"8.8.8.8", "172.32.0.1", "172.15.255.255", "100.128.0.1", "192.0.2.2",
                                     "2001:db8::1", "::ffff:8.8.8.8", "[2a00:1450::1]"})
    EXPECT_EQ(IsOwnNetworkHost(public_address), false) << public_address;
  for (const char* name : {"www.example.com", "localhost.example.com", "10.1.2.3.example"})
    EXPECT_FALSE(IsOwnNetworkHost(name)) << name;
}

TEST(OwnNetwork, APublicPageCannotRedirectIntoIt) {
  const std::optional<std::string> public_address = PublicAddressOfThisMachine();
  if (!public_address) GTEST_SKIP() << "this machine has no address outside its own network";
  std::atomic<int> requests{0};
  RawServer inside = Answering(requests);
  const std::string by_name = "http://localhost:" + inside.Url("/").substr(inside.Url("").rfind(':') + 1);
  for (const std::string& target : {inside.Url("/"), by_name}) {
    RawServer outside = Redirecting(target, *public_address);
    ASSERT_TRUE(outside.listening());
    const FetchResult result = FetchUrl(outside.Url("/start"), {});
    EXPECT_FALSE(result.received) << target;
    EXPECT_EQ(result.failure, FetchFailure::kRefusedRedirect) << target;
    EXPECT_NE(result.error.find("own network (127.0.0.1)"), std::string::npos) << result.error;
  }
  EXPECT_EQ(requests, 0);
}

TEST(OwnNetwork, ItsOwnPagesRedirectWithinItAndOutOfItButNotBackIn) {
  const std::optional<std::string> public_address = PublicAddressOfThisMachine();
  if (!public_address) GTEST_SKIP() << "this machine has no address outside its own network";
  std::atomic<int> requests{0};
  RawServer inside = Answering(requests);
  RawServer within = Redirecting(inside.Url("/"));
  const FetchResult followed = FetchUrl(within.Url("/"), {});
  EXPECT_EQ(followed.body, "inside") << followed.error;
  EXPECT_EQ(requests, 1);

  RawServer outside = Redirecting(inside.Url("/"), *public_address);
  RawServer out_of_it = Redirecting(outside.Url("/"));
  const FetchResult back_in = FetchUrl(out_of_it.Url("/"), {});
  EXPECT_EQ(back_in.failure, FetchFailure::kRefusedRedirect) << back_in.error;
  EXPECT_EQ(back_in.final_url, inside.Url("/"));
  EXPECT_EQ(requests, 1);
}

}  // namespace
}  // namespace pitrel
