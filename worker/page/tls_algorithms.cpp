#include "worker/page/tls_algorithms.h"

#include <openssl/core.h>
#include <openssl/core_dispatch.h>
#include <openssl/evp.h>
#include <openssl/objects.h>
#include <openssl/provider.h>
#include <openssl/ssl.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <vector>

// OpenSSL's default provider's entry point, as libcrypto registers it
// itself. A shared libcrypto keeps it private: then it stays null.
extern "C" OSSL_provider_init_fn ossl_default_provider_init __attribute__((weak));

namespace pitrel {
namespace {

using Names = std::initializer_list<std::string_view>;

// An algorithm's names are colon-separated ("SHA2-256:SHA-256:SHA256:2.16…").
bool AnyNameIn(std::string_view names, Names wanted) {
  while (!names.empty()) {
    const std::size_t colon = names.find(':');
    const std::string_view name = names.substr(0, colon);
    for (std::string_view w : wanted)
      if (std::ranges::equal(name, w, [](unsigned char a, unsigned char b) {
            return std::tolower(a) == std::tolower(b);
          }))
        return true;
    names = colon == std::string_view::npos ? std::string_view() : names.substr(colon + 1);
  }
  return false;
}

// The digests offered, as OpenSSL's legacy objects: certificate checks look
// a signature's digest up by them, and the provider offers theirs.
std::array<const EVP_MD*, 10> OfferedDigests() {
  return {EVP_md5(),    EVP_md5_sha1(), EVP_sha1(),     EVP_sha224(),   EVP_sha256(),
          EVP_sha384(), EVP_sha512(),   EVP_sha3_256(), EVP_sha3_384(), EVP_sha3_512()};
}

bool IsOfferedDigest(std::string_view names) {
  return std::ranges::any_of(OfferedDigests(), [names](const EVP_MD* digest) {
    return AnyNameIn(names, {OBJ_nid2sn(EVP_MD_get_type(digest))});
  });
}

bool IsKeyType(std::string_view names) {
  return AnyNameIn(names, {"RSA", "RSA-PSS", "EC", "X25519", "X448", "ED25519", "ED448", "DH"});
}

// The worker's provider: the default provider's own algorithms and context,
// with each operation's list cut to what a TLS client uses. A worker's TLS
// runs on one thread.
struct DefaultProvider {
  OSSL_FUNC_provider_query_operation_fn* query = nullptr;
  OSSL_FUNC_provider_get_capabilities_fn* capabilities = nullptr;
  OSSL_FUNC_provider_teardown_fn* teardown = nullptr;
  std::vector<OSSL_ALGORITHM> offered[OSSL_OP__HIGHEST + 1];
};
DefaultProvider the_default;

const OSSL_ALGORITHM* QueryOperation(void* context, int operation, int* no_cache) {
  *no_cache = 0;
  if (operation < 0 || operation > OSSL_OP__HIGHEST) return nullptr;
  std::vector<OSSL_ALGORITHM>& offered = the_default.offered[operation];
  if (offered.empty()) {
    int ignored = 0;
    for (const OSSL_ALGORITHM* a = the_default.query(context, operation, &ignored);
         a && a->algorithm_names; ++a)
      if (OfferedToTlsClient(operation, *a)) offered.push_back(*a);
    offered.push_back(OSSL_ALGORITHM{});  // the list's end
  }
  return offered.data();
}

// libssl learns the key-exchange groups and signature schemes from here.
int GetCapabilities(void* context, const char* capability, OSSL_CALLBACK* callback,
                    void* argument) {
  return the_default.capabilities(context, capability, callback, argument);
}

void Teardown(void* context) {
  if (the_default.teardown) the_default.teardown(context);
}

const OSSL_DISPATCH kDispatch[] = {
    {OSSL_FUNC_PROVIDER_QUERY_OPERATION, reinterpret_cast<void (*)()>(QueryOperation)},
    {OSSL_FUNC_PROVIDER_GET_CAPABILITIES, reinterpret_cast<void (*)()>(GetCapabilities)},
    {OSSL_FUNC_PROVIDER_TEARDOWN, reinterpret_cast<void (*)()>(Teardown)},
    {0, nullptr}};

int Init(const OSSL_CORE_HANDLE* core, const OSSL_DISPATCH* from_core, const OSSL_DISPATCH** out,
         void** context) {
  const OSSL_DISPATCH* inner = nullptr;
  if (!ossl_default_provider_init(core, from_core, &inner, context)) return 0;
  for (; inner->function_id != 0; ++inner) {
    switch (inner->function_id) {
      case OSSL_FUNC_PROVIDER_QUERY_OPERATION:
        the_default.query = OSSL_FUNC_provider_query_operation(inner);
        break;
      case OSSL_FUNC_PROVIDER_GET_CAPABILITIES:
        the_default.capabilities = OSSL_FUNC_provider_get_capabilities(inner);
        break;
      case OSSL_FUNC_PROVIDER_TEARDOWN:
        the_default.teardown = OSSL_FUNC_provider_teardown(inner);
        break;
      default:
        break;
    }
  }
  if (!the_default.query || !the_default.capabilities) return 0;
  *out = kDispatch;
  return 1;
}

}  // namespace

bool OfferedToTlsClient(int operation, const OSSL_ALGORITHM& algorithm) {
  const std::string_view names = algorithm.algorithm_names;
  switch (operation) {
    case OSSL_OP_CIPHER:
      // AES-256-ECB and -CTR are the random generator's.
      return AnyNameIn(
          names, {"AES-128-GCM", "AES-256-GCM", "ChaCha20-Poly1305", "AES-128-CCM", "AES-256-CCM",
                  "AES-128-CBC", "AES-256-CBC", "AES-256-ECB", "AES-256-CTR"});
    case OSSL_OP_DIGEST:
      return IsOfferedDigest(names);
    case OSSL_OP_MAC:
      return AnyNameIn(names, {"HMAC"});
    case OSSL_OP_KDF:
      return AnyNameIn(names, {"HKDF", "TLS13-KDF", "TLS1-PRF"});
    case OSSL_OP_RAND:
      return true;
    // TLS 1.2's CBC suites take their records' HMAC through a key object.
    case OSSL_OP_KEYMGMT:
      return IsKeyType(names) || AnyNameIn(names, {"HMAC"});
    case OSSL_OP_KEYEXCH:
      return AnyNameIn(names, {"ECDH", "X25519", "X448", "DH"});
    case OSSL_OP_SIGNATURE:
      return AnyNameIn(names, {"RSA", "ECDSA", "ED25519", "ED448", "HMAC"});
    case OSSL_OP_ASYM_CIPHER:
      return AnyNameIn(names, {"RSA"});
    case OSSL_OP_DECODER:
      // A certificate's public key, from its DER; nothing reads keys from PEM here.
      return std::string_view(algorithm.property_definition)
                     .find("structure=SubjectPublicKeyInfo") != std::string_view::npos &&
             (IsKeyType(names) || AnyNameIn(names, {"DER"}));
    default:
      return false;  // encoders, key stores, KEMs
  }
}

bool StartOpenSslForTlsClient() {
  // What OpenSSL sets up by default and a worker's one handshake does
  // without: the configuration file, the legacy name tables of every cipher
  // and digest, the error texts (a million instructions; TlsChannel loads
  // the SSL library's when it describes a failure) and the clean-up at
  // exit. The legacy digest table gets the digests offered.
  constexpr std::uint64_t kLean =
      OPENSSL_INIT_NO_LOAD_CONFIG | OPENSSL_INIT_NO_ATEXIT | OPENSSL_INIT_NO_ADD_ALL_CIPHERS |
      OPENSSL_INIT_NO_ADD_ALL_DIGESTS | OPENSSL_INIT_NO_LOAD_SSL_STRINGS |
      OPENSSL_INIT_NO_LOAD_CRYPTO_STRINGS;
  static const bool started = [] {
    if (OPENSSL_init_crypto(kLean, nullptr) != 1 || OPENSSL_init_ssl(kLean, nullptr) != 1)
      return false;
    for (const EVP_MD* digest : OfferedDigests()) EVP_add_digest(digest);
    if (ossl_default_provider_init &&
        OSSL_PROVIDER_add_builtin(nullptr, "pitrel-tls-client", Init) == 1)
      OSSL_PROVIDER_load(nullptr, "pitrel-tls-client");
    return true;
  }();
  return started;
}

}  // namespace pitrel
