#include "tools/sample_market/server.h"

#include "tools/sample_market/gbk.h"
#include "tools/sample_market/rng.h"
#include "tools/sample_market/search.h"
#include "worker/marketplace_hosts.h"

#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <charconv>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <tuple>

namespace sample_market {
namespace {

constexpr char kContentType[] = "text/html; charset=gbk";

enum class Page { kSearch, kContact, kSite, kProfile, kCredit, kOfferList, kUnknown };

struct Route {
  Page page = Page::kUnknown;
  PageRef ref;
  std::string keyword;  // search only
  int result_page = 1;  // search only
  const Member* member = nullptr;
};

// The part of `path` between `prefix` and `suffix`, when it has both.
std::optional<std::string_view> Between(std::string_view path, std::string_view prefix,
                                        std::string_view suffix) {
  if (path.size() <= prefix.size() + suffix.size() || !path.starts_with(prefix) || !path.ends_with(suffix)) {
    return std::nullopt;
  }
  return path.substr(prefix.size(), path.size() - prefix.size() - suffix.size());
}

Route MemberRoute(Page page, PageKind kind, std::string_view name, const Catalogue& catalogue) {
  Route route;
  route.page = page;
  route.member = catalogue.Find(name);
  route.ref = {kind, route.member ? route.member->number : 0, name};
  return route;
}

// Form 1 of the search: /company/<keyword>/<page>.html
bool ParseSearchPath(std::string_view path, Route* route) {
  std::optional<std::string_view> middle = Between(path, "/company/", ".html");
  if (!middle) return false;
  std::size_t slash = middle->rfind('/');
  if (slash == std::string_view::npos || slash == 0) return false;
  std::string_view digits = middle->substr(slash + 1);
  int page = 0;
  auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), page);
  if (error != std::errc() || end != digits.data() + digits.size() || page < 1) return false;
  route->page = Page::kSearch;
  route->keyword = AsUtf8(middle->substr(0, slash));
  route->result_page = page;
  route->ref = {PageKind::kSearch, page, {}};
  return true;
}

Route Classify(const httplib::Request& request, const Catalogue& catalogue) {
  std::string_view path = request.path;
  if (auto name = Between(path, "/company/detail/contact/", ".html")) {
    return MemberRoute(Page::kContact, PageKind::kContact, *name, catalogue);
  }
  if (auto name = Between(path, "/company/detail/intro/", ".html")) {
    return MemberRoute(Page::kProfile, PageKind::kProfile, *name, catalogue);
  }
  if (auto name = Between(path, "/company/offerlist/", ".html")) {
    return MemberRoute(Page::kOfferList, PageKind::kOfferList, *name, catalogue);
  }
  if (auto name = Between(path, "/credit/", ".html")) {
    return MemberRoute(Page::kCredit, PageKind::kCredit, *name, catalogue);
  }
  if (auto name = Between(path, "/site/", "/contact.html")) {
    return MemberRoute(Page::kSite, PageKind::kSite, *name, catalogue);
  }
  Route route;
  if (path == "/search/company_search.htm") {
    route.page = Page::kSearch;  // overseas form: no page number, always page 1
    route.keyword = AsUtf8(request.get_param_value("keywords"));
    route.ref = {PageKind::kSearch, 1, {}};
    return route;
  }
  ParseSearchPath(path, &route);
  return route;
}

struct Answer {
  int status = 200;
  std::string html;      // UTF-8
  std::string location;  // for a redirect
};

Answer Render(const Route& route, const Catalogue& catalogue, const PageSettings& settings) {
  const Member* m = route.member;
  switch (route.page) {
    case Page::kSearch:
      return {200, SearchPage(ListSearch(catalogue, route.keyword, route.result_page), route.keyword,
                              route.result_page, settings), ""};
    case Page::kContact:
      if (!m) break;
      if (m->contact_form == ContactForm::kMemberSite) {
        std::string target = settings.scheme + "://" + settings.main_host + MemberSiteContactPath(m->name);
        return {302, "<html><body>页面已转移：<a href=\"" + EscapeHtml(target) + "\">" +
                         EscapeHtml(target) + "</a></body></html>", target};
      }
      return {200, ContactPage(*m, settings), ""};
    case Page::kSite:
      if (m) return {200, MemberSiteContactPage(*m, settings), ""};
      break;
    case Page::kProfile:
      if (m) return {200, ProfilePage(*m, settings), ""};
      break;
    case Page::kCredit:
      if (m) return {200, CreditPage(*m, settings), ""};
      break;
    case Page::kOfferList:
      if (m && m->has_offer_list) return {200, OfferListPage(*m, settings), ""};
      break;
    case Page::kUnknown:
      break;
  }
  return {404, NotFoundPage(settings), ""};
}

using httplib::detail::EncodingType;

// What a finished answer is made from besides the catalogue and the options:
// the host its links point back at and the page as routed.
struct AnswerKey {
  std::string host;
  Page page = Page::kUnknown;
  std::string name;  // member name as requested
  std::string keyword;
  int result_page = 1;

  AnswerKey(const Route& route, const PageSettings& settings)
      : host(settings.main_host), page(route.page), name(route.ref.name), keyword(route.keyword),
        result_page(route.result_page) {}
  bool operator<(const AnswerKey& other) const {
    return std::tie(host, page, name, keyword, result_page) <
           std::tie(other.host, other.page, other.name, other.keyword, other.result_page);
  }
  std::size_t size() const { return host.size() + name.size() + keyword.size(); }
};

// A page ready to send.
struct ReadyAnswer {
  int status = 200;
  std::string location;                        // for a redirect
  std::shared_ptr<const std::string> body;     // GBK
  std::shared_ptr<const std::string> encoded;  // body compressed for this request; null: send it plain
};

// How httplib would compress one of our pages for this request, by its own
// rule (it looks at Accept-Encoding and the Content-Type). None where a kept
// compressed body would not match what httplib sends: for a HEAD it adds no
// body, and for a range it compresses just the requested part.
EncodingType KeptEncodingFor(const httplib::Request& request) {
  if (request.method != "GET" || !request.ranges.empty()) return EncodingType::None;
  static const httplib::Response page = [] {
    httplib::Response response;
    response.set_header("Content-Type", kContentType);
    return response;
  }();
  EncodingType encoding = httplib::detail::encoding_type(request, page);
  return encoding == EncodingType::Gzip || encoding == EncodingType::Brotli ? encoding : EncodingType::None;
}

const char* ContentEncodingName(EncodingType encoding) {
  return encoding == EncodingType::Gzip ? "gzip" : encoding == EncodingType::Brotli ? "br" : "";
}

// `body` compressed with httplib's own compressor, called as httplib calls it
// on a whole body, so the bytes are the ones httplib would send; null when
// that fails or httplib was built without the encoding.
std::shared_ptr<const std::string> Compress(const std::string& body, EncodingType encoding) {
  std::unique_ptr<httplib::detail::compressor> compressor;
#ifdef CPPHTTPLIB_ZLIB_SUPPORT
  if (encoding == EncodingType::Gzip) compressor = std::make_unique<httplib::detail::gzip_compressor>();
#endif
#ifdef CPPHTTPLIB_BROTLI_SUPPORT
  if (encoding == EncodingType::Brotli) compressor = std::make_unique<httplib::detail::brotli_compressor>();
#endif
  if (!compressor) return nullptr;
  auto compressed = std::make_shared<std::string>();
  bool done = compressor->compress(body.data(), body.size(), true, [&](const char* data, std::size_t size) {
    compressed->append(data, size);
    return true;
  });
  if (!done || compressed->empty()) return nullptr;
  return compressed;
}

}  // namespace

// Finished answers by what they are made from. Nothing is ever dropped: once
// `limit` bytes are held, further pages (and compressed forms) are made per
// request, as without the cache.
class AnswerCache {
 public:
  explicit AnswerCache(std::size_t limit) : limit_(limit) {}

  // Fills *answer from the kept answer, with its form in `encoding` when that
  // is kept too; false when the page is not kept.
  bool Find(const AnswerKey& key, EncodingType encoding, ReadyAnswer* answer) const {
    std::lock_guard lock(mutex_);
    auto found = entries_.find(key);
    if (found == entries_.end()) return false;
    const Entry& entry = found->second;
    answer->status = entry.status;
    answer->location = entry.location;
    answer->body = entry.body;
    answer->encoded = entry.encoded[static_cast<int>(encoding)];
    return true;
  }

  // Keeps the page of `answer` (not its compressed form) if there is room;
  // true when the page is kept now.
  bool Keep(const AnswerKey& key, const ReadyAnswer& answer) {
    std::size_t size = kEntryOverhead + key.size() + answer.location.size() + answer.body->size();
    std::lock_guard lock(mutex_);
    if (entries_.count(key)) return true;  // made twice at once; both are the same
    if (size > limit_ - bytes_) return false;
    entries_.emplace(key, Entry{answer.status, answer.location, answer.body, {}});
    bytes_ += size;
    return true;
  }

  // Keeps a kept page's form in `encoding` if there is room.
  void KeepEncoded(const AnswerKey& key, EncodingType encoding, std::shared_ptr<const std::string> encoded) {
    std::lock_guard lock(mutex_);
    auto found = entries_.find(key);
    if (found == entries_.end()) return;
    std::shared_ptr<const std::string>& slot = found->second.encoded[static_cast<int>(encoding)];
    if (slot || encoded->size() > limit_ - bytes_) return;
    bytes_ += encoded->size();
    slot = std::move(encoded);
  }

  std::size_t bytes() const {
    std::lock_guard lock(mutex_);
    return bytes_;
  }

 private:
  static constexpr std::size_t kEntryOverhead = 256;  // the map node, strings and pointers

  struct Entry {
    int status = 200;
    std::string location;
    std::shared_ptr<const std::string> body;
    std::shared_ptr<const std::string> encoded[3];  // by EncodingType; [None] stays empty
  };

  const std::size_t limit_;
  mutable std::mutex mutex_;
  std::map<AnswerKey, Entry> entries_;
  std::size_t bytes_ = 0;
};

namespace {

// The page for `route`, kept or made now; made now it is kept if there is
// room. Only a kept page is compressed here: one made per request is left to
// httplib to compress, as it always was.
ReadyAnswer Prepare(const Route& route, const PageSettings& settings, EncodingType encoding,
                    const Catalogue& catalogue, AnswerCache& cache) {
  AnswerKey key(route, settings);
  ReadyAnswer ready;
  bool kept = cache.Find(key, encoding, &ready);
  if (!kept) {
    Answer answer = Render(route, catalogue, settings);
    ready.status = answer.status;
    ready.location = std::move(answer.location);
    ready.body = std::make_shared<const std::string>(ToGbk(answer.html));
    kept = cache.Keep(key, ready);
  }
  if (kept && !ready.encoded && encoding != EncodingType::None) {
    ready.encoded = Compress(*ready.body, encoding);
    if (ready.encoded) cache.KeepEncoded(key, encoding, ready.encoded);
  }
  return ready;
}

// A search page listing kFloodCompanies companies, the catalogue's over and over.
std::string FloodedSearchPage(const Route& route, const Catalogue& catalogue, const PageSettings& settings) {
  SearchListing listing = ListSearch(catalogue, route.keyword, route.result_page);
  listing.members.clear();
  for (int i = 0; i < kFloodCompanies; ++i)
    listing.members.push_back(&catalogue.members()[static_cast<std::size_t>(i % catalogue.size())]);
  return SearchPage(listing, route.keyword, route.result_page, settings);
}

std::string GarbageBytes(std::uint32_t seed, std::string_view path) {
  Rng rng(seed, StableHash(path));
  std::string bytes(static_cast<std::size_t>(rng.Between(4096, 8192)), '\0');
  for (char& byte : bytes) byte = static_cast<char>(rng.Below(256));
  return bytes;
}

// httplib hides its sockets: this finds one of ours by what it is bound to,
// going through the process's open descriptors. -1 when none matches.
int FindOwnInetSocket(int server_port, const std::function<bool(int fd)>& matches) {
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    int fd = 0;
    const std::string name = entry.path().filename().string();
    if (std::from_chars(name.data(), name.data() + name.size(), fd).ec != std::errc()) continue;
    sockaddr_in local{};
    socklen_t local_size = sizeof local;
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&local), &local_size) == 0 &&
        local.sin_family == AF_INET && ntohs(local.sin_port) == server_port && matches(fd))
      return fd;
  }
  return -1;
}

// The port of the peer of a connected socket, or -1 for one that has none.
int PeerPort(int fd) {
  sockaddr_in peer{};
  socklen_t peer_size = sizeof peer;
  if (getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &peer_size) != 0) return -1;
  return ntohs(peer.sin_port);
}

// Resets the client's connection without an answer: connecting a TCP socket
// to AF_UNSPEC makes Linux abort it with a RST.
void ResetConnection(int server_port, const httplib::Request& request) {
  const int fd = FindOwnInetSocket(server_port, [&](int candidate) {
    return PeerPort(candidate) == request.remote_port;
  });
  if (fd < 0) return;
  sockaddr unspecified{};
  unspecified.sa_family = AF_UNSPEC;
  connect(fd, &unspecified, sizeof unspecified);
}

// Debian's httplib is a compiled library that listens with a backlog of 5.
// Fifteen workers connecting at once on a busy machine overflow that queue
// and then wait out SYN retransmits (1 s, 3 s, 7 s), so the listening socket,
// found by its port, is given a longer queue; Linux lets listen() be repeated.
void WidenListenQueue(int server_port) {
  const int fd = FindOwnInetSocket(server_port, [](int candidate) {
    int accepting = 0;
    socklen_t accepting_size = sizeof accepting;
    return PeerPort(candidate) < 0 &&
           getsockopt(candidate, SOL_SOCKET, SO_ACCEPTCONN, &accepting, &accepting_size) == 0 &&
           accepting;
  });
  if (fd >= 0) listen(fd, SOMAXCONN);
}

}  // namespace

SampleMarketplace::SampleMarketplace(MarketplaceOptions options)
    : options_(std::move(options)),
      catalogue_({options_.seed, options_.members, options_.faults.hostile_names}),
      cache_(std::make_unique<AnswerCache>(options_.cache_bytes)) {}

SampleMarketplace::~SampleMarketplace() { Stop(); }

bool SampleMarketplace::Start(std::string* error) {
  std::signal(SIGPIPE, SIG_IGN);  // a worker that hangs up must not end the server
  if (options_.tls)
    server_ = std::make_unique<httplib::SSLServer>(options_.certificate_file.c_str(), options_.key_file.c_str());
  else
    server_ = std::make_unique<httplib::Server>();
  if (!server_->is_valid()) {
    if (error) *error = "cannot serve https with " + options_.certificate_file + " and " + options_.key_file;
    server_.reset();
    return false;
  }
  int threads = std::max(1, options_.threads);
  server_->new_task_queue = [threads] { return new httplib::ThreadPool(threads); };
  server_->Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
    Handle(request, response);
  });
  port_ = options_.port == 0 ? server_->bind_to_any_port("127.0.0.1")
                             : (server_->bind_to_port("127.0.0.1", options_.port) ? options_.port : -1);
  if (port_ <= 0) {
    if (error) *error = "cannot listen on 127.0.0.1:" + std::to_string(options_.port);
    server_.reset();
    port_ = 0;
    return false;
  }
  WidenListenQueue(port_);
  thread_ = std::thread([this] { server_->listen_after_bind(); });
  for (int i = 0; i < 5000 && !server_->is_running(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

void SampleMarketplace::Stop() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  stopping_changed_.notify_all();
  if (server_) server_->stop();
  if (thread_.joinable()) thread_.join();
}

std::string SampleMarketplace::host() const { return "127.0.0.1:" + std::to_string(port_); }

std::string SampleMarketplace::scheme() const { return options_.tls ? "https" : "http"; }

std::string SampleMarketplace::Url(std::string_view path) const {
  return scheme() + "://" + host() + std::string(path);
}

std::vector<std::string> SampleMarketplace::EnvironmentLines() const {
  const std::string site = options_.tls ? Url("") : host();
  std::vector<std::string> lines = {std::string(pitrel::kMainHostVariable) + "=" + site,
                                    std::string(pitrel::kSearchHostVariable) + "=" + site,
                                    std::string(pitrel::kMemberDomainVariable) + "=" + options_.member_domain,
                                    std::string(pitrel::kDirectoryHostVariable) + "=" + options_.directory_host};
  if (options_.tls) lines.push_back("SSL_CERT_FILE=" + options_.trusted_ca_file);
  return lines;
}

std::vector<std::string> SampleMarketplace::RequestedPaths() const {
  std::vector<std::string> paths;
  for (const Arrival& arrival : Arrivals()) paths.push_back(arrival.path);
  return paths;
}

std::vector<SampleMarketplace::Arrival> SampleMarketplace::Arrivals() const {
  std::lock_guard lock(mutex_);
  return arrivals_;
}

int SampleMarketplace::NoteArrival(const std::string& path) {
  std::lock_guard lock(mutex_);
  arrivals_.push_back({path, std::chrono::steady_clock::now()});
  return ++requests_by_path_[path];
}

std::size_t SampleMarketplace::CachedBytes() const { return cache_->bytes(); }

bool SampleMarketplace::Pause(int milliseconds) {
  if (milliseconds <= 0) return true;
  std::unique_lock lock(mutex_);
  return !stopping_changed_.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return stopping_; });
}

PageSettings SampleMarketplace::SettingsFor(const httplib::Request& request) const {
  PageSettings settings;
  // Links point back at the host the client used, so "localhost:PORT" works too.
  settings.main_host = request.has_header("Host") ? request.get_header_value("Host") : host();
  settings.scheme = scheme();
  settings.member_domain = options_.member_domain;
  settings.directory_host = options_.directory_host;
  settings.pad_kb = options_.page_kb;
  settings.seed = options_.seed;
  return settings;
}

bool SampleMarketplace::AnswerWithFault(FaultKind fault, const httplib::Request& request,
                                        httplib::Response& response) {
  const auto answer_status = [&](int status, const std::string& page) {
    response.status = status;
    if ((status == 429 || status == 503) && options_.retry_after_s >= 0)
      response.set_header("Retry-After", std::to_string(options_.retry_after_s));
    response.set_content(ToGbk(page), kContentType);
    return true;
  };
  switch (fault) {
    case FaultKind::kHang:
      Pause(options_.hang_limit_ms);
      ResetConnection(port_, request);
      return true;
    case FaultKind::kReset:
      ResetConnection(port_, request);
      return true;
    case FaultKind::kServerError:
      return answer_status(500, ServerErrorPage());
    case FaultKind::kUnavailable:
      return answer_status(503, ServerErrorPage());
    case FaultKind::kTooMany:
      return answer_status(429, ServerErrorPage());
    case FaultKind::kNotFound:
      return answer_status(404, NotFoundPage(SettingsFor(request)));
    case FaultKind::kGarbage:
      response.set_content(GarbageBytes(options_.seed, request.path), kContentType);
      return true;
    case FaultKind::kSlow:
    case FaultKind::kTruncate:
    case FaultKind::kFlood:  // the caller floods a search page; others are answered as ever
      return false;  // the page is still answered
  }
  return false;
}

void SampleMarketplace::Handle(const httplib::Request& request, httplib::Response& response) {
  const int asked = NoteArrival(request.path);
  const auto arrived = std::chrono::steady_clock::now();
  Route route = Classify(request, catalogue_);
  std::optional<FaultKind> fault = options_.faults.For(route.ref, asked);
  // Every request gets its page, even one a fault answers instead: whether
  // the page is a redirect decides its latency. Only a page that goes out
  // whole is compressed.
  const EncodingType encoding =
      !fault || fault == FaultKind::kSlow ? KeptEncodingFor(request) : EncodingType::None;
  ReadyAnswer ready = Prepare(route, SettingsFor(request), encoding, catalogue_, *cache_);
  // The latency is a page's response time, counted from the request, so the
  // time spent making the page is part of it. A redirect on the way to a page
  // is not a page of its own: a redirected contact page costs one latency.
  const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - arrived);
  const int latency_ms =
      ready.location.empty() ? std::max(0, options_.latency_ms - static_cast<int>(spent.count())) : 0;
  if (!Pause(latency_ms) || (fault == FaultKind::kSlow && !Pause(options_.slow_ms))) {
    ResetConnection(port_, request);  // shutting down
    return;
  }
  if (fault == FaultKind::kFlood && route.page == Page::kSearch) {
    response.set_content(ToGbk(FloodedSearchPage(route, catalogue_, SettingsFor(request))), kContentType);
    return;
  }
  if (fault && AnswerWithFault(*fault, request, response)) return;

  response.status = ready.status;
  if (!ready.location.empty()) response.set_header("Location", ready.location);
  std::shared_ptr<const std::string> body = ready.body;
  if (fault == FaultKind::kTruncate) {
    // Announce the whole page, send half of it, then give up the connection.
    std::size_t half = body->size() / 2;
    response.set_content_provider(body->size(), kContentType,
                                  [body, half](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                                    if (offset >= half) return false;
                                    sink.write(body->data() + offset, half - offset);
                                    return true;
                                  });
    return;
  }
  if (!ready.encoded) {
    response.set_content(*body, kContentType);  // httplib compresses it if the client asks
    return;
  }
  // httplib compresses a body it is handed, but sends what a provider with a
  // length gives as it is; the kept compressed page goes out that way, with
  // the Content-Encoding httplib would have set.
  std::shared_ptr<const std::string> encoded = ready.encoded;
  response.set_header("Content-Encoding", ContentEncodingName(encoding));
  response.set_content_provider(encoded->size(), kContentType,
                                [encoded](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                                  sink.write(encoded->data() + offset, encoded->size() - offset);
                                  return true;
                                });
}

}  // namespace sample_market
