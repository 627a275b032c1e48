// The tests' servers run on 127.0.0.1: a proxy the machine's environment
// names would stand between them and the programs under test (pitrel and
// quenlo honour http_proxy and https_proxy). Cleared before main, so every
// child process a test starts inherits the cleared environment; the proxy
// tests name their proxies themselves.
#include <cstdlib>
#include <initializer_list>

namespace {

const bool kProxiesCleared = [] {
  for (const char* name :
       {"http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY", "QUENLO_PROXY"})
    ::unsetenv(name);
  return true;
}();

}  // namespace
