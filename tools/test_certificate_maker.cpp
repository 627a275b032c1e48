// test_certificate_maker DIR: makes a private test CA and the certificates
// the https tests and `sample-marketplace --tls` serve, P-256 (cheap
// handshakes) but for one, into DIR:
//   test-ca.pem                      the test CA; point SSL_CERT_FILE at it
//   marketplace.pem / .key           127.0.0.1, ::1 and localhost, by the test CA
//   marketplace-rsa.pem / .key       the same names with an RSA key, as most sites
//                                    have, signed with SHA-384
//   wrong-host.pem / .key            elsewhere.invalid only, by the test CA
//   expired.pem / .key               as marketplace, but expired yesterday
//   stranger.pem / .key              as marketplace, by a CA nobody trusts
// The CA's key is thrown away. Nothing here is ever installed into the
// system's store: only a process given SSL_CERT_FILE trusts these.
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/x509v3.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

namespace {

constexpr long kDay = 24 * 60 * 60;
constexpr char kLocalNames[] = "IP:127.0.0.1,IP:::1,DNS:localhost";

using Key = std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)>;
using Certificate = std::unique_ptr<X509, decltype(&X509_free)>;

Key NewKey() { return Key(EVP_EC_gen("P-256"), EVP_PKEY_free); }
Key NewRsaKey() { return Key(EVP_RSA_gen(2048), EVP_PKEY_free); }

struct Issuer {
  X509* certificate;  // null: the certificate signs itself
  EVP_PKEY* key;
};

bool AddExtension(X509* certificate, X509V3_CTX& context, int nid, const char* value) {
  X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value);
  const bool added = extension && X509_add_ext(certificate, extension, -1) == 1;
  X509_EXTENSION_free(extension);
  return added;
}

bool SetNameAndSerial(X509* certificate, const char* common_name) {
  unsigned char serial[8];
  RAND_bytes(serial, sizeof serial);
  serial[0] &= 0x7F;
  BIGNUM* number = BN_bin2bn(serial, sizeof serial, nullptr);
  const bool numbered = number && BN_to_ASN1_INTEGER(number, X509_get_serialNumber(certificate));
  BN_free(number);
  X509_NAME* name = X509_get_subject_name(certificate);
  return numbered &&
         X509_NAME_add_entry_by_txt(name, "O", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("Quenlo tests"), -1, -1, 0) &&
         X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>(common_name), -1, -1, 0);
}

// A certificate for key, valid from `from` to `to` days from now; a CA when
// names is null, else a server certificate for those subject alternative names.
Certificate Make(EVP_PKEY* key, const char* common_name, const char* names, Issuer issuer, long from, long to,
                 const EVP_MD* digest = EVP_sha256()) {
  Certificate certificate(X509_new(), X509_free);
  X509* c = certificate.get();
  X509V3_CTX context;
  X509V3_set_ctx_nodb(&context);
  X509V3_set_ctx(&context, issuer.certificate ? issuer.certificate : c, c, nullptr, nullptr, 0);
  const bool made =
      X509_set_version(c, X509_VERSION_3) && SetNameAndSerial(c, common_name) &&
      X509_set_issuer_name(c, X509_get_subject_name(issuer.certificate ? issuer.certificate : c)) &&
      X509_gmtime_adj(X509_getm_notBefore(c), from * kDay) && X509_gmtime_adj(X509_getm_notAfter(c), to * kDay) &&
      X509_set_pubkey(c, key) &&
      AddExtension(c, context, NID_basic_constraints, names ? "critical,CA:FALSE" : "critical,CA:TRUE") &&
      AddExtension(c, context, NID_key_usage, names ? "critical,digitalSignature" : "critical,keyCertSign,cRLSign") &&
      AddExtension(c, context, NID_subject_key_identifier, "hash") &&
      (!names || AddExtension(c, context, NID_ext_key_usage, "serverAuth")) &&
      (!names || AddExtension(c, context, NID_subject_alt_name, names)) &&
      X509_sign(c, issuer.key, digest) > 0;
  return made ? std::move(certificate) : Certificate(nullptr, X509_free);
}

bool WritePem(const std::filesystem::path& path, X509* certificate, EVP_PKEY* key) {
  std::FILE* file = std::fopen(path.c_str(), "w");
  if (!file) return false;
  const bool written = key ? PEM_write_PrivateKey(file, key, nullptr, nullptr, 0, nullptr, nullptr)
                           : PEM_write_X509(file, certificate);
  return std::fclose(file) == 0 && written;
}

// name.pem and name.key: a server certificate for names, by issuer.
bool WriteServer(const std::filesystem::path& dir, const std::string& name, const char* names, Issuer issuer,
                 long from, long to, Key (*new_key)() = NewKey, const EVP_MD* digest = EVP_sha256()) {
  const Key key = new_key();
  const Certificate certificate =
      key ? Make(key.get(), name.c_str(), names, issuer, from, to, digest) : Certificate(nullptr, X509_free);
  return certificate && WritePem(dir / (name + ".pem"), certificate.get(), nullptr) &&
         WritePem(dir / (name + ".key"), nullptr, key.get());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: test_certificate_maker DIR\n");
    return 2;
  }
  const std::filesystem::path dir = argv[1];
  std::filesystem::create_directories(dir);
  const Key ca_key = NewKey(), stranger_key = NewKey();
  const Certificate ca = Make(ca_key.get(), "Quenlo test CA", nullptr, {nullptr, ca_key.get()}, -1, 3650);
  const Certificate stranger = Make(stranger_key.get(), "Unknown CA", nullptr, {nullptr, stranger_key.get()}, -1, 3650);
  const Issuer test_ca{ca.get(), ca_key.get()};
  const bool done = ca && stranger && WritePem(dir / "test-ca.pem", ca.get(), nullptr) &&
                    WriteServer(dir, "marketplace", kLocalNames, test_ca, -1, 3650) &&
                    WriteServer(dir, "marketplace-rsa", kLocalNames, test_ca, -1, 3650, NewRsaKey, EVP_sha384()) &&
                    WriteServer(dir, "wrong-host", "DNS:elsewhere.invalid", test_ca, -1, 3650) &&
                    WriteServer(dir, "expired", kLocalNames, test_ca, -30, -1) &&
                    WriteServer(dir, "stranger", kLocalNames, {stranger.get(), stranger_key.get()}, -1, 3650);
  if (!done) std::fprintf(stderr, "test_certificate_maker: could not make the certificates in %s\n", argv[1]);
  return done ? 0 : 1;
}
