#include "worker/page/certificate_sources.h"

#include <openssl/x509.h>
#include <sys/stat.h>

#include <cstdlib>

namespace pitrel {
namespace {

const char* FromEnvironment(const char* name) {
  const char* value = std::getenv(name);
  return value && *value ? value : nullptr;
}

bool SameFile(const char* a, const char* b) {
  struct stat first {
  }, second{};
  return ::stat(a, &first) == 0 && ::stat(b, &second) == 0 && first.st_dev == second.st_dev &&
         first.st_ino == second.st_ino;
}

}  // namespace

CertificateSources CertificateSourcesFromEnvironment() {
  CertificateSources sources;
  const char* directories = FromEnvironment(X509_get_default_cert_dir_env());
  sources.directories = directories ? directories : X509_get_default_cert_dir();
  const char* file = FromEnvironment(X509_get_default_cert_file_env());
  const bool system_bundle = file && SameFile(file, X509_get_default_cert_file()) &&
                             SameFile(sources.directories.c_str(), X509_get_default_cert_dir());
  if (file && !system_bundle) sources.file = file;
  return sources;
}

}  // namespace pitrel
