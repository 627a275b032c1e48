#include "worker/page/tls_channel.h"

#include <arpa/inet.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <cerrno>
#include <cstring>

#include "worker/page/certificate_sources.h"
#include "worker/page/tls_algorithms.h"

namespace pitrel {
namespace {

// The hashed directory is only searched when a handshake asks for an
// issuer; a certificate file is read whole. Neither failing stops the
// worker: the handshake then says what is missing.
void UseSystemCertificates(SSL_CTX* context) {
  const CertificateSources sources = CertificateSourcesFromEnvironment();
  X509_STORE* store = SSL_CTX_get_cert_store(context);
  if (X509_LOOKUP* directory = X509_STORE_add_lookup(store, X509_LOOKUP_hash_dir()))
    X509_LOOKUP_add_dir(directory, sources.directories.c_str(), X509_FILETYPE_PEM);
  if (!sources.file.empty()) X509_STORE_load_file(store, sources.file.c_str());
  ERR_clear_error();
}

SSL_CTX* MakeContext() {
  if (!StartOpenSslForTlsClient()) return nullptr;
  SSL_CTX* context = SSL_CTX_new(TLS_client_method());
  if (!context) return nullptr;
  SSL_CTX_set_min_proto_version(context, TLS1_2_VERSION);
  SSL_CTX_set_verify(context, SSL_VERIFY_PEER, nullptr);
  SSL_CTX_set_session_cache_mode(context, SSL_SESS_CACHE_OFF);
  // A server that closes without a close_notify ends the body as a plain
  // close does; HTTP's own framing tells a body cut short.
  SSL_CTX_set_options(context, SSL_OP_IGNORE_UNEXPECTED_EOF | SSL_OP_NO_TICKET);
  SSL_CTX_set_mode(context, SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
  UseSystemCertificates(context);
  return context;
}

// Made once per process, on the first https page, and kept.
SSL_CTX* SharedContext() {
  static SSL_CTX* const context = MakeContext();
  return context;
}

bool IsIpLiteral(const std::string& host) {
  unsigned char address[sizeof(in6_addr)];
  return inet_pton(AF_INET, host.c_str(), address) == 1 ||
         inet_pton(AF_INET6, host.c_str(), address) == 1;
}

// SNI names a host by name only; the certificate must carry the name or address.
bool NameTheServer(SSL* ssl, const std::string& host) {
  if (IsIpLiteral(host))
    return X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl), host.c_str()) == 1;
  return SSL_set_tlsext_host_name(ssl, host.c_str()) == 1 && SSL_set1_host(ssl, host.c_str()) == 1;
}

// The lean start refused OPENSSL_init_ssl's loading of the error texts for
// good (tls_algorithms.cpp); this older call still loads the SSL library's,
// which name what goes wrong in a handshake.
void LoadSslErrorTexts() {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  ERR_load_SSL_strings();
#pragma GCC diagnostic pop
}

std::string OpenSslReason() {
  const unsigned long code = ERR_peek_last_error();
  if (code == 0) return "unknown reason";
  LoadSslErrorTexts();
  if (const char* reason = ERR_reason_error_string(code)) return reason;
  char text[128];
  ERR_error_string_n(code, text, sizeof text);
  return text;
}

}  // namespace

std::unique_ptr<TlsChannel> TlsChannel::Open(int fd, const std::string& host, FetchError* error) {
  SSL_CTX* context = SharedContext();
  SSL* ssl = context ? SSL_new(context) : nullptr;
  if (!ssl || SSL_set_fd(ssl, fd) != 1 || !NameTheServer(ssl, host)) {
    error->Set(FetchFailure::kTls, "TLS could not be set up: " + OpenSslReason());
    SSL_free(ssl);
    return nullptr;
  }
  SSL_set_connect_state(ssl);
  return std::unique_ptr<TlsChannel>(new TlsChannel(ssl));
}

TlsChannel::~TlsChannel() { SSL_free(ssl_); }

TlsChannel::Step TlsChannel::StepAfter(int result, FetchError* error) {
  switch (SSL_get_error(ssl_, result)) {
    case SSL_ERROR_WANT_READ:
      return Step::kWantRead;
    case SSL_ERROR_WANT_WRITE:
      return Step::kWantWrite;
    case SSL_ERROR_ZERO_RETURN:
      return Step::kClosed;
    case SSL_ERROR_SYSCALL:
      error->Set(FetchFailure::kReset,
                 errno ? std::string("TLS connection broke: ") + std::strerror(errno)
                       : "connection closed during the TLS exchange");
      return Step::kFailed;
    default:
      break;
  }
  if (const long verdict = SSL_get_verify_result(ssl_); verdict != X509_V_OK)
    error->Set(FetchFailure::kCertificate,
               std::string("certificate verify failed: ") + X509_verify_cert_error_string(verdict));
  else if (SSL_is_init_finished(ssl_))
    error->Set(FetchFailure::kReset, "TLS connection broke: " + OpenSslReason());
  else error->Set(FetchFailure::kTls, "TLS handshake failed: " + OpenSslReason());
  return Step::kFailed;
}

TlsChannel::Step TlsChannel::Handshake(FetchError* error) {
  ERR_clear_error();
  errno = 0;
  const int result = SSL_connect(ssl_);
  return result == 1 ? Step::kDone : StepAfter(result, error);
}

TlsChannel::Step TlsChannel::Write(std::string_view data, std::size_t* written, FetchError* error) {
  ERR_clear_error();
  errno = 0;
  const int result = SSL_write_ex(ssl_, data.data(), data.size(), written);
  return result == 1 ? Step::kDone : StepAfter(result, error);
}

TlsChannel::Step TlsChannel::Read(char* buffer, std::size_t size, std::size_t* got,
                                  FetchError* error) {
  ERR_clear_error();
  errno = 0;
  const int result = SSL_read_ex(ssl_, buffer, size, got);
  return result == 1 ? Step::kDone : StepAfter(result, error);
}

}  // namespace pitrel
