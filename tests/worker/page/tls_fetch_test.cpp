// https in the page layer against real TLS servers with the build's test
// certificates: pages as over http, certificates that fail, redirects
// between the two schemes, TLS versions, and servers that speak no TLS.
#include <gtest/gtest.h>
#include <openssl/ssl.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>

#include "local_site.h"
#include "raw_server.h"
#include "worker/page/certificate_sources.h"
#include "worker/page/http_fetch.h"

namespace pitrel {
namespace {

using testing::LocalSite;
using Clock = std::chrono::steady_clock;

// The worker's certificate store is made on the first https page of a
// process; the test CA must be named before that.
const bool kTestCaTrusted = ::setenv("SSL_CERT_FILE", testing::kTestCaFile.c_str(), 1) == 0;

FetchResult Fetch(const std::string& url, const FetchLimits& limits = {}) {
  return FetchHttp(url, limits, ProxySettings{});
}

std::string Page() {
  std::string page = "<html><body>";
  for (int i = 0; page.size() < 50'000; ++i) page += "<p>line " + std::to_string(i) + " 中文</p>\n";
  return page + "</body></html>";
}

// The name the client gave in SNI, recorded by the server.
struct SniRecorder {
  std::mutex mutex;
  std::string name = "(none)";

  static int Record(SSL* ssl, int*, void* self) {
    auto* recorder = static_cast<SniRecorder*>(self);
    const char* name = SSL_get_servername(ssl, TLSEXT_NAMETYPE_host_name);
    std::lock_guard lock(recorder->mutex);
    recorder->name = name ? name : "(none)";
    return SSL_TLSEXT_ERR_OK;
  }
  void Watch(SSL_CTX* context) {
    SSL_CTX_set_tlsext_servername_callback(context, Record);
    SSL_CTX_set_tlsext_servername_arg(context, this);
  }
  std::string Seen() {
    std::lock_guard lock(mutex);
    return name;
  }
};

class HttpsSite : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(kTestCaTrusted);
    for (LocalSite* site : {&plain_, &secure_}) {
      site->server().Get("/page", [](const httplib::Request&, httplib::Response& response) {
        response.set_content(Page(), "text/html; charset=utf-8");
      });
    }
    plain_.server().Get("/to-secure", [this](const httplib::Request&, httplib::Response& response) {
      response.set_redirect(secure_.Url("/page"), 302);
    });
    secure_.server().Get("/to-plain", [this](const httplib::Request&, httplib::Response& response) {
      response.set_redirect(plain_.Url("/page"), 301);
    });
    sni_.Watch(secure_.tls_context());
    plain_.Start();
    secure_.Start();
  }

  LocalSite plain_;
  LocalSite secure_{"marketplace"};
  SniRecorder sni_;
};

TEST_F(HttpsSite, APageArrivesAsOverPlainHttpNamingTheServerByName) {
  const FetchResult plain = Fetch(plain_.Url("/page"));
  const FetchResult secure = Fetch(secure_.Url("/page"));
  ASSERT_TRUE(secure.received) << secure.error;
  EXPECT_EQ(secure.failure, FetchFailure::kNone) << secure.error;
  EXPECT_EQ(secure.status, 200);
  EXPECT_EQ(secure.content_type, plain.content_type);
  EXPECT_EQ(secure.body, plain.body);
  EXPECT_EQ(secure.body, Page());
  EXPECT_EQ(sni_.Seen(), "(none)") << "an address is never sent as a name";

  const FetchResult by_name = Fetch(secure_.Url("/page", "localhost"));
  EXPECT_EQ(by_name.body, Page()) << by_name.error;
  EXPECT_EQ(sni_.Seen(), "localhost");
}

TEST_F(HttpsSite, RedirectsLeadBetweenHttpAndHttpsInOneFetch) {
  const FetchResult up = Fetch(plain_.Url("/to-secure"));
  EXPECT_EQ(up.final_url, secure_.Url("/page"));
  EXPECT_EQ(up.body, Page()) << up.error;
  const FetchResult down = Fetch(secure_.Url("/to-plain"));
  EXPECT_EQ(down.final_url, plain_.Url("/page"));
  EXPECT_EQ(down.body, Page()) << down.error;
}

TEST_F(HttpsSite, TlsOneTwoAndOneThreeAreSpokenButNothingOlder) {
  SSL_CTX_set_min_proto_version(secure_.tls_context(), TLS1_3_VERSION);
  EXPECT_EQ(Fetch(secure_.Url("/page")).body, Page());
  SSL_CTX_set_min_proto_version(secure_.tls_context(), TLS1_2_VERSION);
  SSL_CTX_set_max_proto_version(secure_.tls_context(), TLS1_2_VERSION);
  EXPECT_EQ(Fetch(secure_.Url("/page")).body, Page());
  SSL_CTX_set_security_level(secure_.tls_context(), 0);
  SSL_CTX_set_min_proto_version(secure_.tls_context(), TLS1_VERSION);
  SSL_CTX_set_max_proto_version(secure_.tls_context(), TLS1_1_VERSION);
  const FetchResult old = Fetch(secure_.Url("/page"));
  EXPECT_FALSE(old.received);
  EXPECT_EQ(old.failure, FetchFailure::kTls) << old.error;
  EXPECT_EQ(old.error.find("unknown reason"), std::string::npos)
      << "OpenSSL's reason is named: " << old.error;
}

TEST(Https, ACertificateThatFailsLoadsNothingAndSaysWhy) {
  ASSERT_TRUE(kTestCaTrusted);
  const struct {
    const char* certificate;
    const char* host;
    const char* reason;
  } cases[] = {
      {"wrong-host", "localhost", "certificate verify failed: hostname mismatch"},
      {"wrong-host", "127.0.0.1", "certificate verify failed: IP address mismatch"},
      {"expired", "localhost", "certificate verify failed: certificate has expired"},
      {"stranger", "127.0.0.1",
       "certificate verify failed: unable to get local issuer certificate"},
  };
  for (const auto& each : cases) {
    LocalSite site(each.certificate);
    site.server().Get("/page", [](const httplib::Request&, httplib::Response& response) {
      response.set_content("<p>secret</p>", "text/html");
    });
    site.Start();
    const FetchResult result = Fetch(site.Url("/page", each.host));
    EXPECT_FALSE(result.received) << each.certificate;
    EXPECT_TRUE(result.body.empty()) << each.certificate;
    EXPECT_EQ(result.failure, FetchFailure::kCertificate) << each.certificate;
    EXPECT_EQ(result.error, each.reason);
  }
}

TEST(CertificateSources, AreTheNamedDirectoryAndFileButNeverTheSystemBundleTwice) {
  const std::string system_bundle = X509_get_default_cert_file();
  const std::string system_directory = X509_get_default_cert_dir();
  if (!std::filesystem::exists(system_bundle))
    GTEST_SKIP() << "no system bundle at " << system_bundle;
  ::unsetenv("SSL_CERT_DIR");
  ::unsetenv("SSL_CERT_FILE");
  EXPECT_EQ(CertificateSourcesFromEnvironment().directories, system_directory);
  EXPECT_EQ(CertificateSourcesFromEnvironment().file, "");
  ::setenv("SSL_CERT_FILE", testing::kTestCaFile.c_str(), 1);
  EXPECT_EQ(CertificateSourcesFromEnvironment().file, testing::kTestCaFile);
  // The bundle by another of its names, beside the system's directory by another of its names.
  ::setenv("SSL_CERT_FILE", std::filesystem::canonical(system_bundle).c_str(), 1);
  ::setenv("SSL_CERT_DIR", std::filesystem::canonical(system_directory).c_str(), 1);
  EXPECT_EQ(CertificateSourcesFromEnvironment().file, "") << "read from the directory when needed";
  ::setenv("SSL_CERT_DIR", testing::kTestTlsDirectory.c_str(), 1);
  EXPECT_EQ(CertificateSourcesFromEnvironment().directories, testing::kTestTlsDirectory);
  EXPECT_EQ(CertificateSourcesFromEnvironment().file,
            std::filesystem::canonical(system_bundle).string())
      << "another directory does not hold the bundle's certificates";
  ::unsetenv("SSL_CERT_DIR");
  ::setenv("SSL_CERT_FILE", testing::kTestCaFile.c_str(), 1);
}

TEST(Https, AServerThatSpeaksNoTlsOrNothingEndsCleanlyInTime) {
  LocalSite plain;
  plain.Start();
  testing::RawServer silent(
      [](int, const std::atomic<bool>& stopping) { testing::StaySilent(stopping); });
  FetchLimits quick;
  quick.total_timeout_ms = 400;
  const FetchResult garbled = Fetch("https" + plain.Url("/").substr(4));
  EXPECT_FALSE(garbled.received);
  EXPECT_EQ(garbled.failure, FetchFailure::kTls) << garbled.error;
  const auto start = Clock::now();
  const FetchResult mute = Fetch("https" + silent.Url("/").substr(4), quick);
  EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(900));
  EXPECT_EQ(mute.failure, FetchFailure::kTimedOut) << mute.error;
}

}  // namespace
}  // namespace pitrel
