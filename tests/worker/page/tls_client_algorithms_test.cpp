// The real pitrel's TLS client against servers that each allow one way of
// talking: every TLS 1.3 suite a client offers, the TLS 1.2 suites sites
// still choose (ECDHE and DHE, RSA key transport, GCM, ChaCha20, CBC with
// SHA-1 and SHA-384), EC and RSA certificates, and key-exchange groups that
// make the server ask again (P-384, X448, finite-field DH). The static worker
// offers OpenSSL only the algorithms a TLS client needs; a page that needed
// one left out would fail here.
#include <gtest/gtest.h>
#include <openssl/ssl.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <optional>
#include <string>

#include "../worker_process.h"
#include "local_site.h"
#include "worker/protocol.h"

namespace pitrel {
namespace {

using testing::LocalSite;
namespace fs = std::filesystem;

// The suite and version each finished handshake agreed on, as the server saw it.
std::mutex agreed_mutex;
std::string agreed;

void RecordAgreement(const SSL* ssl, int where, int) {
  if (!(where & SSL_CB_HANDSHAKE_DONE)) return;
  std::lock_guard lock(agreed_mutex);
  agreed =
      std::string(SSL_get_version(ssl)) + " " + SSL_CIPHER_get_name(SSL_get_current_cipher(ssl));
}

std::string Agreed() {
  std::lock_guard lock(agreed_mutex);
  return agreed;
}

struct Way {
  const char* certificate;
  int version;
  const char* suite;
  const char* groups = nullptr;  // null: the server's defaults
};

void AllowOnly(SSL_CTX* context, const Way& way) {
  SSL_CTX_set_min_proto_version(context, way.version);
  SSL_CTX_set_max_proto_version(context, way.version);
  if (way.version == TLS1_3_VERSION) ASSERT_EQ(SSL_CTX_set_ciphersuites(context, way.suite), 1);
  else ASSERT_EQ(SSL_CTX_set_cipher_list(context, way.suite), 1);
  if (way.groups) ASSERT_EQ(SSL_CTX_set1_groups_list(context, way.groups), 1);
  SSL_CTX_set_dh_auto(context, 1);
  SSL_CTX_set_info_callback(context, RecordAgreement);
}

// A worker in dir fetching one page of site.
struct WorkerRun {
  int status;
  std::optional<PageFailure> failure;
};

WorkerRun FetchWithWorker(LocalSite& site, const fs::path& dir) {
  site.server().Get(
      "/company/detail/contact/x.html", [](const httplib::Request&, httplib::Response& r) {
        r.set_content("<html><body>联系人：王先生</body></html>", "text/html; charset=utf-8");
      });
  site.Start();
  fs::remove(dir / "out");
  fs::remove(dir / "out.fail");
  const pid_t worker = testing::StartWorker(
      testing::kPitrelProgram,
      {WorkerCommandLine(site.Url("/company/detail/contact/x.html"), "out", kContactFlag)}, dir,
      {"SSL_CERT_FILE=" + testing::kTestCaFile});
  WorkerRun run{testing::WaitForWorker(worker), std::nullopt};
  std::ifstream companion(dir / "out.fail");
  if (companion)
    run.failure = ParsePageFailure(std::string(std::istreambuf_iterator<char>(companion), {}));
  return run;
}

TEST(TlsClientAlgorithms, EveryWayASiteMayChooseLoadsThePage) {
  const Way ways[] = {
      {"marketplace", TLS1_3_VERSION, "TLS_AES_256_GCM_SHA384"},
      {"marketplace", TLS1_3_VERSION, "TLS_AES_128_GCM_SHA256"},
      {"marketplace", TLS1_3_VERSION, "TLS_CHACHA20_POLY1305_SHA256"},
      {"marketplace", TLS1_3_VERSION, "TLS_AES_128_GCM_SHA256", "P-384"},
      {"marketplace", TLS1_3_VERSION, "TLS_AES_128_GCM_SHA256", "X448"},
      {"marketplace", TLS1_3_VERSION, "TLS_AES_128_GCM_SHA256", "ffdhe2048"},
      {"marketplace", TLS1_2_VERSION, "ECDHE-ECDSA-AES128-GCM-SHA256"},
      {"marketplace", TLS1_2_VERSION, "ECDHE-ECDSA-CHACHA20-POLY1305"},
      {"marketplace", TLS1_2_VERSION, "ECDHE-ECDSA-AES256-SHA384"},
      {"marketplace", TLS1_2_VERSION, "ECDHE-ECDSA-AES128-SHA"},
      {"marketplace-rsa", TLS1_3_VERSION, "TLS_AES_128_GCM_SHA256"},
      {"marketplace-rsa", TLS1_2_VERSION, "ECDHE-RSA-AES256-GCM-SHA384"},
      {"marketplace-rsa", TLS1_2_VERSION, "DHE-RSA-AES128-GCM-SHA256"},
      {"marketplace-rsa", TLS1_2_VERSION, "AES128-GCM-SHA256"},
      {"marketplace-rsa", TLS1_2_VERSION, "AES256-SHA256"},
  };
  const fs::path dir = fs::temp_directory_path() / ("tls_ways_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  for (const Way& way : ways) {
    SCOPED_TRACE(std::string(way.certificate) + " " + way.suite + " " +
                 (way.groups ? way.groups : ""));
    LocalSite site(way.certificate);
    AllowOnly(site.tls_context(), way);
    const WorkerRun run = FetchWithWorker(site, dir);
    EXPECT_EQ(run.status, 0);
    EXPECT_FALSE(run.failure) << run.failure->reason;
    const std::string version = way.version == TLS1_3_VERSION ? "TLSv1.3 " : "TLSv1.2 ";
    EXPECT_EQ(Agreed(), version + way.suite);
  }
  fs::remove_all(dir);
}

// What the worker does not offer fails the page for good, saying what the
// server answered.
TEST(TlsClientAlgorithms, AServerThatSpeaksOnlyAnOlderCipherFailsThePageSayingWhy) {
  const fs::path dir = fs::temp_directory_path() / ("tls_old_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  LocalSite site("marketplace-rsa");
  AllowOnly(site.tls_context(), {"marketplace-rsa", TLS1_2_VERSION, "CAMELLIA128-SHA"});
  const WorkerRun run = FetchWithWorker(site, dir);
  EXPECT_EQ(run.status, kExitPermanentFailure);
  ASSERT_TRUE(run.failure);
  EXPECT_EQ(run.failure->reason, "TLS handshake failed: sslv3 alert handshake failure");
  fs::remove_all(dir);
}

}  // namespace
}  // namespace pitrel
