#include "worker/page/http_fetch.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

#include "local_site.h"
#include "raw_server.h"
#include "worker/page/fetch.h"
#include "worker/page/http_response.h"

namespace pitrel {
namespace {

using testing::RawServer;
using testing::SendText;
using Clock = std::chrono::steady_clock;

// window_bits: 31 gzip, 15 zlib-wrapped deflate, -15 raw deflate.
std::string Compressed(std::string_view data, int window_bits) {
  z_stream stream{};
  deflateInit2(&stream, Z_BEST_SPEED, Z_DEFLATED, window_bits, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&stream, data.size()), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

std::string Chunked(std::string_view data, std::size_t chunk_size) {
  std::string out;
  char size[32];
  for (std::size_t at = 0; at < data.size(); at += chunk_size) {
    const std::string_view chunk = data.substr(at, chunk_size);
    std::snprintf(size, sizeof size, "%zx;ext=1\r\n", chunk.size());
    out.append(size).append(chunk).append("\r\n");
  }
  return out + "0\r\nX-Trailer: t\r\n\r\n";
}

// A server that answers every request with the same bytes and then closes.
RawServer Replying(std::string reply) {
  return RawServer([reply](int fd, const std::atomic<bool>&) { SendText(fd, reply); });
}

std::string Page(std::size_t size) {
  std::string page;
  for (std::size_t i = 0; page.size() < size; ++i) page += "<p>line " + std::to_string(i) + "</p>\n";
  page.resize(size);
  return page;
}

// Straight to the server, whatever proxy the test's environment names.
FetchResult FetchDirect(const std::string& url, const FetchLimits& limits) {
  return FetchHttp(url, limits, ProxySettings{});
}

FetchLimits Quick() {
  FetchLimits limits;
  limits.connect_timeout_ms = 1000;
  limits.total_timeout_ms = 400;
  return limits;
}

TEST(ResponseHead, ParsesStatusAndHeadersLeniently) {
  const std::string head =
      "HTTP/1.0 302 Found\r\nCONTENT-type : text/html;\r\n charset=gbk\r\nLocation:/next\n"
      "no colon here\r\nX-Empty:\r\n\r\n";
  EXPECT_EQ(HeadLength(head + "body"), head.size());
  EXPECT_EQ(HeadLength("HTTP/1.1 200 OK\nA: b\n\nrest"), 22u);
  EXPECT_EQ(HeadLength("HTTP/1.1 200 OK\r\nA: b\r\n"), 0u);
  const auto parsed = ParseResponseHead(head);
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->status, 302);
  EXPECT_EQ(parsed->Header("content-type"), "text/html; charset=gbk");
  EXPECT_EQ(parsed->Header("location"), "/next");
  for (const char* bad : {"ICY 200 OK\r\n\r\n", "HTTP/1.1 2x0 OK\r\n\r\n", "HTTP/1.1 2000\r\n\r\n",
                          "<html>\r\n\r\n", "HTTP/2 200\r\n\r\n"})
    EXPECT_FALSE(ParseResponseHead(bad)) << bad;
}

TEST(ChunkedDecoder, DecodesWhateverThePiecesAndRejectsBrokenFraming) {
  const std::string data = Page(5000);
  const std::string wire = Chunked(data, 777);
  for (std::size_t piece : {1u, 3u, 64u, 100000u}) {
    ChunkedDecoder decoder;
    std::string out;
    for (std::size_t at = 0; at < wire.size(); at += piece)
      ASSERT_TRUE(decoder.Feed(std::string_view(wire).substr(at, piece), out)) << piece;
    EXPECT_TRUE(decoder.Done());
    EXPECT_EQ(out, data);
  }
  for (const char* broken : {"zz\r\nab\r\n", "2\r\nabc\r\n", "-1\r\n", "\r\n"}) {
    ChunkedDecoder decoder;
    std::string out;
    EXPECT_FALSE(decoder.Feed(broken, out)) << broken;
  }
  ChunkedDecoder endless_size_line;
  std::string out;
  EXPECT_FALSE(endless_size_line.Feed(std::string(10000, '1'), out));
}

TEST(ContentDecoder, InflatesGzipZlibAndRawDeflateFedInPieces) {
  const std::string data = Page(100000);
  for (auto [coding, bits] : {std::pair{"gzip", 31}, {"deflate", 15}, {"deflate", -15}, {"x-gzip", 31}}) {
    const std::string wire = Compressed(data, bits);
    ContentDecoder decoder(coding);
    std::string out, error;
    for (std::size_t at = 0; at < wire.size(); at += 1000)
      ASSERT_TRUE(decoder.Feed(std::string_view(wire).substr(at, 1000), out, 1u << 30, &error)) << error;
    EXPECT_EQ(out, data) << coding << bits;
    EXPECT_FALSE(decoder.Unfinished());
  }
  ContentDecoder identity("br");  // unknown codings pass through untouched
  std::string out, error;
  EXPECT_TRUE(identity.Feed("abc", out, 100, &error));
  EXPECT_EQ(out, "abc");
  ContentDecoder corrupt("gzip");
  // A gzip header, then a block of a type that does not exist.
  EXPECT_FALSE(corrupt.Feed(std::string("\x1f\x8b\x08\0\0\0\0\0\0\x03\xff\xff", 12), out, 1u << 30, &error));
  EXPECT_FALSE(error.empty());
}

// Replies damaged anywhere (bytes changed, cut out, framing characters
// let in): the readers stay inside what they are given and inside their
// caps. The sanitized build checks every access on the way.
TEST(ResponseReaders, DamagedRepliesStayWithinTheirBytesAndCaps) {
  const std::string good =
      "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nContent-Encoding: gzip\r\n\r\n" +
      Chunked(Compressed(Page(3000), 31), 97);
  constexpr char kFraming[] = "\r\n0:;\x1f";
  std::mt19937 random(12);
  int decoded = 0;
  for (int round = 0; round < 3000; ++round) {
    std::string reply = good;
    for (int damage = 1 + random() % 8; damage > 0 && !reply.empty(); --damage) {
      const std::size_t at = random() % reply.size();
      if (const unsigned kind = random() % 3; kind == 0) reply[at] = static_cast<char>(random());
      else if (kind == 1) reply.erase(at, random() % 16);
      else reply.insert(at, 1 + random() % 4, kFraming[random() % (sizeof kFraming - 1)]);
    }
    const std::size_t head = HeadLength(reply);
    ASSERT_LE(head, reply.size());
    ParseResponseHead(std::string_view(reply).substr(0, head));
    const std::string_view body = std::string_view(reply).substr(head);
    const std::size_t piece = 1 + random() % 200;
    ChunkedDecoder chunked;
    std::string unchunked;
    for (std::size_t at = 0; at < body.size(); at += piece)
      if (!chunked.Feed(body.substr(at, piece), unchunked)) break;
    EXPECT_LE(unchunked.size(), body.size());
    ContentDecoder content("gzip");
    std::string out, error;
    const std::size_t cap = 1 + random() % 4000;
    for (std::size_t at = 0; at < unchunked.size(); at += piece)
      if (!content.Feed(std::string_view(unchunked).substr(at, piece), out, cap, &error)) break;
    EXPECT_LE(out.size(), cap);
    decoded += !out.empty();
  }
  EXPECT_GT(decoded, 1000) << "most damaged replies must still reach the decompression";
}

TEST(RetryAfter, ReadsSecondsAndEveryFormOfHttpDate) {
  const std::time_t now = 784111777;  // Sun, 06 Nov 1994 08:49:37 GMT
  EXPECT_EQ(RetryAfterSeconds("120", now), 120);
  EXPECT_EQ(RetryAfterSeconds(" 0 ", now), 0);
  EXPECT_EQ(RetryAfterSeconds("99999999999999999999", now), 1'000'000'000);
  EXPECT_EQ(RetryAfterSeconds("Sun, 06 Nov 1994 08:51:37 GMT", now), 120);
  EXPECT_EQ(RetryAfterSeconds("Sunday, 06-Nov-94 08:50:37 GMT", now), 60);
  EXPECT_EQ(RetryAfterSeconds("Sun Nov  6 08:49:47 1994", now), 10);
  EXPECT_EQ(RetryAfterSeconds("Sat, 05 Nov 1994 08:49:37 GMT", now), 0) << "a date passed waits no time";
  for (const char* junk : {"", "soon", "-5", "1.5", "Sun, 06 Nov 1994", "Sun, 32 Nov 1994 08:49:37 GMT"})
    EXPECT_FALSE(RetryAfterSeconds(junk, now)) << junk;
}

TEST(PlainHttp, EachFailureComesWithItsKind) {
  const struct {
    std::string reply;
    FetchFailure kind;
  } cases[] = {
      {"HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nshort", FetchFailure::kTruncated},
      {"HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\n\r\n" + Compressed(Page(5000), 31).substr(0, 100),
       FetchFailure::kTruncated},
      {"", FetchFailure::kReset},
      {"HTTP/1.1 200 OK\r\nContent-", FetchFailure::kReset},
      {"<html>not http at all</html>", FetchFailure::kMalformed},
      {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nabcde\r\nQQ\r\n", FetchFailure::kMalformed},
      {"HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nwhole", FetchFailure::kNone},
      {"HTTP/1.1 503 Busy\r\nContent-Length: 4\r\n\r\nbusy", FetchFailure::kNone},
  };
  for (const auto& each : cases) {
    RawServer server = Replying(each.reply);
    EXPECT_EQ(FetchDirect(server.Url("/"), Quick()).failure, each.kind) << each.reply.substr(0, 60);
  }
  RawServer silent([](int, const std::atomic<bool>& stopping) { testing::StaySilent(stopping); });
  EXPECT_EQ(FetchDirect(silent.Url("/"), Quick()).failure, FetchFailure::kTimedOut);
  std::string refused_url;
  {
    RawServer closed = Replying("");
    refused_url = closed.Url("/");
  }
  EXPECT_EQ(FetchDirect(refused_url, Quick()).failure, FetchFailure::kNoConnection);
  EXPECT_EQ(FetchDirect("http://host.invalid/", Quick()).failure, FetchFailure::kNoConnection);
  EXPECT_EQ(FetchDirect("http://127.0.0.1:99999/", Quick()).failure, FetchFailure::kBadAddress);
  RawServer looping = Replying("HTTP/1.1 302 Found\r\nLocation: /again\r\n\r\n");
  EXPECT_EQ(FetchDirect(looping.Url("/"), Quick()).failure, FetchFailure::kRefusedRedirect);
  RawServer to_file = Replying("HTTP/1.1 302 Found\r\nLocation: file:///etc/passwd\r\n\r\n");
  EXPECT_EQ(FetchDirect(to_file.Url("/"), Quick()).failure, FetchFailure::kRefusedRedirect);
}

TEST(PlainHttp, TheServersRetryAfterComesBackInSeconds) {
  RawServer seconds = Replying("HTTP/1.1 429 Slow down\r\nRetry-After: 42\r\nContent-Length: 0\r\n\r\n");
  const FetchResult asked = FetchDirect(seconds.Url("/"), Quick());
  EXPECT_EQ(asked.status, 429);
  EXPECT_EQ(asked.retry_after_seconds, 42);
  RawServer dated = Replying("HTTP/1.1 503 Busy\r\nRetry-After: Thu, 01 Jan 1970 00:00:01 GMT\r\n\r\n");
  EXPECT_EQ(FetchDirect(dated.Url("/"), Quick()).retry_after_seconds, 0);
  RawServer none = Replying("HTTP/1.1 503 Busy\r\nContent-Length: 0\r\n\r\n");
  EXPECT_FALSE(FetchDirect(none.Url("/"), Quick()).retry_after_seconds);
}

class PlainHttpSite : public ::testing::Test {
 protected:
  void SetUp() override {
    auto& server = site_.server();
    server.Get("/sized", [](const httplib::Request& request, httplib::Response& response) {
      response.set_header("X-Host-Seen", request.get_header_value("Host"));
      response.set_content(Page(50000), "text/html; charset=gb2312");
    });
    server.Get("/chunked", [](const httplib::Request&, httplib::Response& response) {
      response.set_chunked_content_provider("text/html", [](std::size_t, httplib::DataSink& sink) {
        const std::string page = Page(30000);
        for (std::size_t at = 0; at < page.size(); at += 4096) sink.write(page.data() + at, std::min<std::size_t>(4096, page.size() - at));
        sink.done();
        return true;
      });
    });
    server.Get("/a/b/one", [](const httplib::Request&, httplib::Response& response) {
      response.set_redirect("../two?x=1", 301);
    });
    server.Get("/a/two", [](const httplib::Request&, httplib::Response& response) {
      response.set_redirect("/three", 307);
    });
    server.Get("/three", [](const httplib::Request&, httplib::Response& response) {
      response.set_content("<p>three</p>", "text/html");
    });
    server.Get("/loop", [](const httplib::Request&, httplib::Response& response) {
      response.set_redirect("/loop", 302);
    });
    site_.Start();
  }

  testing::LocalSite site_;
};

TEST_F(PlainHttpSite, ReadsLengthAndChunkedBodiesSendingTheHostWithItsPort) {
  const FetchResult sized = FetchDirect(site_.Url("/sized"), {});
  ASSERT_TRUE(sized.received) << sized.error;
  EXPECT_EQ(sized.status, 200);
  EXPECT_EQ(sized.content_type, "text/html; charset=gb2312");
  EXPECT_EQ(sized.body, Page(50000));
  EXPECT_TRUE(sized.error.empty());

  const FetchResult chunked = FetchDirect(site_.Url("/chunked"), {});
  ASSERT_TRUE(chunked.received) << chunked.error;
  EXPECT_EQ(chunked.body, Page(30000));
  EXPECT_TRUE(chunked.error.empty());
}

TEST_F(PlainHttpSite, FollowsRelativeRedirectsAndKeepsTheRequestedTextWithoutOne) {
  const FetchResult moved = FetchDirect(site_.Url("/a/b/one"), {});
  ASSERT_TRUE(moved.received) << moved.error;
  EXPECT_EQ(moved.final_url, site_.Url("/three"));
  EXPECT_EQ(moved.body, "<p>three</p>");

  const std::string unencoded = "  " + site_.Url("/three?q=a b") + " ";
  EXPECT_EQ(FetchDirect(unencoded, {}).final_url, unencoded);

  const FetchResult loop = FetchDirect(site_.Url("/loop"), {});
  EXPECT_FALSE(loop.received);
  EXPECT_NE(loop.error.find("redirects"), std::string::npos);
}

TEST(PlainHttp, SendsABrowserLikeRequest) {
  RawServer server = Replying("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok");
  const FetchResult result = FetchDirect(server.Url("/p/q?k=\xE4\xB8\xAD#frag"), {});
  EXPECT_EQ(result.body, "ok");
  const std::string request = server.LastRequest();
  EXPECT_TRUE(request.starts_with("GET /p/q?k=%D6%D0 HTTP/1.1\r\n")) << request;
  EXPECT_NE(request.find("\r\nHost: " + server.Url("").substr(7) + "\r\n"), std::string::npos) << request;
  EXPECT_NE(request.find("\r\nAccept-Encoding: gzip, deflate\r\n"), std::string::npos);
  EXPECT_NE(request.find("\r\nUser-Agent: Mozilla/"), std::string::npos);
  EXPECT_NE(request.find("\r\nConnection: close\r\n"), std::string::npos);

  const std::string bare = server.Url("");  // no path at all, then a query only
  EXPECT_EQ(FetchDirect(bare, {}).body, "ok");
  EXPECT_TRUE(server.LastRequest().starts_with("GET / HTTP/1.1\r\n"));
  EXPECT_EQ(FetchDirect(bare + "?k=1", {}).body, "ok");
  EXPECT_TRUE(server.LastRequest().starts_with("GET /?k=1 HTTP/1.1\r\n"));
}

TEST(PlainHttp, DecodesCompressedAndCloseDelimitedBodies) {
  const std::string page = Page(60000);
  const struct {
    std::string reply;
    const char* what;
  } cases[] = {
      {"HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n" + page, "close-delimited"},
      {"HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\n\r\n" + Compressed(page, 31), "gzip"},
      {"HTTP/1.1 200 OK\r\ncontent-encoding: deflate\r\nContent-Length: " +
           std::to_string(Compressed(page, 15).size()) + "\r\n\r\n" + Compressed(page, 15),
       "zlib deflate"},
      {"HTTP/1.1 200 OK\r\nContent-Encoding: deflate\r\n\r\n" + Compressed(page, -15), "raw deflate"},
      {"HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n"
       "Content-Encoding: gzip\r\nContent-Length: 5\r\n\r\n" + Chunked(Compressed(page, 31), 1000),
       "chunked gzip after 100"},
  };
  for (const auto& each : cases) {
    RawServer server = Replying(each.reply);
    const FetchResult result = FetchDirect(server.Url("/"), {});
    EXPECT_TRUE(result.received) << each.what;
    EXPECT_EQ(result.status, 200) << each.what;
    EXPECT_TRUE(result.body == page) << each.what << ": " << result.body.size() << " bytes";
    EXPECT_TRUE(result.error.empty()) << each.what << ": " << result.error;
  }
}

TEST(PlainHttp, SizeCapKeepsWhatArrivedAndSaysSo) {
  const std::string zeros(20'000'000, '0');  // a small download that inflates far past the cap
  const std::string page = Page(200000);
  const std::string replies[] = {
      "HTTP/1.1 200 OK\r\nContent-Length: 200000\r\n\r\n" + page,
      "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n" + Chunked(page, 3000),
      "HTTP/1.1 200 OK\r\n\r\n" + page,
      "HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\n\r\n" + Compressed(zeros, 31),
  };
  FetchLimits limits;
  limits.max_bytes = 10'000;
  for (const std::string& reply : replies) {
    RawServer server = Replying(reply);
    const FetchResult result = FetchDirect(server.Url("/"), limits);
    EXPECT_TRUE(result.received);
    EXPECT_EQ(result.body.size(), 10'000u);
    EXPECT_EQ(result.error, "size limit reached");
  }
  RawServer exact = Replying("HTTP/1.1 200 OK\r\nContent-Length: 10000\r\n\r\n" + page.substr(0, 10000));
  const FetchResult full = FetchDirect(exact.Url("/"), limits);
  EXPECT_EQ(full.body.size(), 10'000u);
  EXPECT_TRUE(full.error.empty()) << full.error;
}

TEST(PlainHttp, HostileRepliesEndCleanlyKeepingAnyBodyThatArrived) {
  const struct {
    std::string reply;
    bool received;
    const char* body;
  } cases[] = {
      {"<html>not http at all</html>", false, ""},
      {"", false, ""},
      {"HTTP/1.1 200 OK\r\nX-Long: " + std::string(200000, 'x'), false, ""},
      {"HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nshort", true, "short"},
      {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nabcde\r\n9\r\nfg", true, "abcdefg"},
      {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nabcde\r\nQQ\r\n", true, "abcde"},
      {"HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\n\r\n" + std::string(500, '\x1f'), true, ""},
  };
  for (const auto& each : cases) {
    RawServer server = Replying(each.reply);
    const auto start = Clock::now();
    const FetchResult result = FetchDirect(server.Url("/"), Quick());
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(300)) << each.reply.substr(0, 40);
    EXPECT_EQ(result.received, each.received) << each.reply.substr(0, 40);
    EXPECT_EQ(result.body, each.body) << each.reply.substr(0, 40);
    EXPECT_FALSE(result.error.empty()) << each.reply.substr(0, 40);
  }
}

TEST(PlainHttp, TheDeadlineEndsSilentAndTricklingServers) {
  RawServer silent([](int, const std::atomic<bool>& stopping) { testing::StaySilent(stopping); });
  RawServer trickling([](int fd, const std::atomic<bool>& stopping) {
    SendText(fd, "HTTP/1.1 200 OK\r\nContent-Length: 1000000\r\n\r\n");
    while (!stopping) {
      SendText(fd, "x");
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  });
  for (RawServer* server : {&silent, &trickling}) {
    const auto start = Clock::now();
    const FetchResult result = FetchDirect(server->Url("/"), Quick());
    const auto elapsed = Clock::now() - start;
    EXPECT_GE(elapsed, std::chrono::milliseconds(390));
    EXPECT_LT(elapsed, std::chrono::milliseconds(900));
    EXPECT_EQ(result.error, "timed out after 400 ms");
    EXPECT_EQ(result.received, server == &trickling);
    if (server == &trickling) {
      EXPECT_FALSE(result.body.empty());
    }
  }
}

TEST(PlainHttp, RefusedConnectionAndBadAddressesLoadNothing) {
  std::string url;
  {
    RawServer closed = Replying("");
    url = closed.Url("/");
  }
  const FetchResult refused = FetchDirect(url, {});
  EXPECT_FALSE(refused.received);
  EXPECT_NE(refused.error.find("refused"), std::string::npos) << refused.error;
  EXPECT_EQ(refused.final_url, url);
  for (const char* bad : {"http://127.0.0.1:99999/", "http:///path", "http://[::1/", "http://host.invalid/"})
    EXPECT_FALSE(FetchDirect(bad, Quick()).received) << bad;
}

TEST(PlainHttp, ReachesIpv6Loopback) {
  RawServer server(
      [](int fd, const std::atomic<bool>&) { SendText(fd, "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nv6"); },
      "::1");
  if (!server.listening()) GTEST_SKIP() << "no IPv6 loopback here";
  const FetchResult result = FetchDirect(server.Url("/"), {});
  EXPECT_EQ(result.body, "v6") << result.error;
  EXPECT_NE(server.LastRequest().find("\r\nHost: [::1]:"), std::string::npos);
}

TEST(Fetch, FileAddressesAreReadFromDiskUpToTheCap) {
  const auto path = std::filesystem::temp_directory_path() / "pitrel fetch test.html";
  std::ofstream(path, std::ios::binary) << "<p>from a file</p>";
  const std::string raw = "file://" + path.string();
  std::string escaped = raw;
  escaped.replace(escaped.find(' '), 1, "%20");
  const FetchResult file = FetchUrl(raw, {});
  const FetchResult by_host = FetchUrl("file://localhost" + path.string() + "#part", {});
  FetchLimits small;
  small.max_bytes = 5;
  const FetchResult capped = FetchUrl(escaped, small);
  std::filesystem::remove(path);
  EXPECT_TRUE(file.received) << file.error;
  EXPECT_EQ(file.body, "<p>from a file</p>");
  EXPECT_EQ(file.final_url, raw);
  EXPECT_EQ(file.status, 0);
  EXPECT_EQ(by_host.body, "<p>from a file</p>") << by_host.error;
  // A file over the cap is kept up to the cap, as over http.
  EXPECT_TRUE(capped.received);
  EXPECT_EQ(capped.body, "<p>fr");
  EXPECT_EQ(capped.error, "size limit reached");
  EXPECT_EQ(capped.failure, FetchFailure::kNone);

  for (const std::string& unreadable :
       {raw, "file://elsewhere" + path.string(), std::string("file:///tmp/"), std::string("ftp://127.0.0.1/x"),
        std::string("mailto:a@b")}) {
    const FetchResult missing = FetchUrl(unreadable, {});
    EXPECT_FALSE(missing.received) << unreadable;
    EXPECT_EQ(missing.failure, FetchFailure::kBadAddress) << unreadable;
    EXPECT_FALSE(missing.error.empty()) << unreadable;
  }
}

TEST(Fetch, RedirectsLeadToWebAddressesOnly) {
  RawServer to_https = Replying("HTTP/1.1 302 Found\r\nLocation: https://127.0.0.1:1/secure\r\n\r\n");
  const FetchResult result = FetchDirect(to_https.Url("/"), Quick());
  EXPECT_EQ(result.final_url, "https://127.0.0.1:1/secure");
  EXPECT_FALSE(result.received);
  EXPECT_EQ(result.failure, FetchFailure::kNoConnection) << result.error;
  for (const char* elsewhere : {"file:///etc/passwd", "ftp://127.0.0.1/x", "javascript:alert(1)"}) {
    RawServer server = Replying(std::string("HTTP/1.1 302 Found\r\nLocation: ") + elsewhere + "\r\n\r\n");
    const FetchResult refused = FetchDirect(server.Url("/"), Quick());
    EXPECT_FALSE(refused.received) << elsewhere;
    EXPECT_TRUE(refused.body.empty()) << elsewhere;
    EXPECT_EQ(refused.failure, FetchFailure::kRefusedRedirect) << elsewhere;
  }
}

}  // namespace
}  // namespace pitrel
