// The sample marketplace as an HTTP server on 127.0.0.1, running on its own
// threads so that a test can start one, point workers at it and stop it.
//
//   /company/<keyword>/<page>.html?...          company search (40 a page)
//   /search/company_search.htm?...&keywords=K   overseas search (page 1)
//   /company/detail/contact/NAME.html           contact page, or a 302 to
//   /site/NAME/contact.html                     the member's own site
//   /company/detail/intro/NAME.html             company profile
//   /credit/NAME.html                           trade credit
//   /company/offerlist/NAME.html                offers (404 for some members)
// Every page is GBK with "Content-Type: text/html; charset=gbk".
//
// With `tls` the same pages are served over https, with a certificate for
// 127.0.0.1, ::1 and localhost from the build's private test CA
// (build/test-tls, made by tools/test_certificate_maker.cpp), and the pages'
// links to the marketplace and its members' sites say https.
//
// A page is made once for each Host header it is asked with (its links point
// back there) and kept, together with the compressed form httplib would send
// a client that accepts one, so a page asked for again costs no rendering,
// conversion or compression. Faults and latency still apply per request.
//
// Start ignores SIGPIPE for the whole process, so that a client hanging up
// mid-answer cannot end it.
// Thread safety: Start and Stop from one thread; the accessors may be called
// from any thread while the server runs.
#pragma once

#include "tools/sample_market/catalogue.h"
#include "tools/sample_market/faults.h"
#include "tools/sample_market/pages.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace httplib {
class Server;
struct Request;
struct Response;
}  // namespace httplib

namespace sample_market {

class AnswerCache;

struct MarketplaceOptions {
  std::uint32_t seed = 1;
  int members = 100;
  int port = 0;            // 0: any free port
  int latency_ms = 0;      // response time of every page (redirects answer at once)
  int page_kb = 0;         // pad pages to about this size; 0 = as generated
  int slow_ms = 3000;      // delay of the "slow" fault
  int hang_limit_ms = 60'000;  // longest a "hang" holds a connection
  int retry_after_s = -1;      // the Retry-After of a 429 or 503 fault; -1: none sent
  int threads = 64;        // connections served at once
  std::size_t cache_bytes = std::size_t{256} << 20;  // finished answers kept; 0 = make each per request
  FaultPlan faults;
  std::string member_domain = kDefaultMemberDomain;
  std::string directory_host = kDefaultDirectoryHost;
  bool tls = false;
  std::string certificate_file = kTestTlsDirectory + "/marketplace.pem";  // served with tls
  std::string key_file = kTestTlsDirectory + "/marketplace.key";
  std::string trusted_ca_file = kTestTlsDirectory + "/test-ca.pem";  // the SSL_CERT_FILE a client needs

  static inline const std::string kTestTlsDirectory = QUENLO_TEST_TLS_DIR;
};

class SampleMarketplace {
 public:
  explicit SampleMarketplace(MarketplaceOptions options = {});
  ~SampleMarketplace();
  SampleMarketplace(const SampleMarketplace&) = delete;
  SampleMarketplace& operator=(const SampleMarketplace&) = delete;

  // Binds and starts serving; returns once requests are answered.
  bool Start(std::string* error = nullptr);
  // Releases held connections, stops serving and joins the threads.
  void Stop();

  int port() const { return port_; }
  std::string host() const;                       // 127.0.0.1:PORT
  std::string scheme() const;                     // https with tls, else http
  std::string Url(std::string_view path) const;   // scheme://127.0.0.1:PORT + path
  const Catalogue& catalogue() const { return catalogue_; }
  const MarketplaceOptions& options() const { return options_; }

  // NAME=VALUE lines that point the programs at this server: the hosts
  // (with https:// under tls) and, under tls, SSL_CERT_FILE.
  std::vector<std::string> EnvironmentLines() const;

  // Paths requested so far, in arrival order (query strings left off).
  std::vector<std::string> RequestedPaths() const;

  struct Arrival {
    std::string path;
    std::chrono::steady_clock::time_point at;
  };
  // The same, with the time each request arrived.
  std::vector<Arrival> Arrivals() const;

  // Bytes of finished answers kept for pages asked for again; never more
  // than options().cache_bytes.
  std::size_t CachedBytes() const;

 private:
  void Handle(const httplib::Request& request, httplib::Response& response);
  // Answers as the fault says; false when the page itself is still due.
  bool AnswerWithFault(FaultKind fault, const httplib::Request& request, httplib::Response& response);
  // Notes the request's arrival; returns how many times its path was asked for.
  int NoteArrival(const std::string& path);
  bool Pause(int milliseconds);  // false when stopping cut it short
  PageSettings SettingsFor(const httplib::Request& request) const;

  MarketplaceOptions options_;
  Catalogue catalogue_;
  std::unique_ptr<AnswerCache> cache_;
  std::unique_ptr<httplib::Server> server_;
  std::thread thread_;
  int port_ = 0;

  mutable std::mutex mutex_;
  std::condition_variable stopping_changed_;
  bool stopping_ = false;
  std::vector<Arrival> arrivals_;
  std::map<std::string, int> requests_by_path_;
};

}  // namespace sample_market
