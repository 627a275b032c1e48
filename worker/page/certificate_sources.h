// Where the worker's TLS connections find the certificates they trust, as
// OpenSSL's own tools find them: the hashed directory SSL_CERT_DIR names
// (else OpenSSL's default, /etc/ssl/certs on Debian), searched for an issuer
// only when a handshake needs one, and the file SSL_CERT_FILE names, read
// whole. One exception saves every https page the tens of milliseconds of
// reading the system's whole bundle: SSL_CERT_FILE naming that bundle while
// the directory is the system's own adds nothing, as Debian writes the same
// certificates to both (update-ca-certificates), so it is not read.
#pragma once

#include <string>

namespace pitrel {

struct CertificateSources {
  std::string directories;  // colon-separated, as SSL_CERT_DIR
  std::string file;         // empty: none to read
};

CertificateSources CertificateSourcesFromEnvironment();

}  // namespace pitrel
