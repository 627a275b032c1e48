#include "worker/page/curl_runtime.h"

#include <dlfcn.h>

#include <optional>

namespace pitrel {
namespace {

constexpr char kLibraryName[] = "libcurl.so.4";

template <typename Function>
void Bind(void* library, const char* name, Function*& slot, std::string& missing) {
  slot = reinterpret_cast<Function*>(dlsym(library, name));
  if (!slot) missing += std::string(missing.empty() ? "" : ", ") + name;
}

struct Loaded {
  std::optional<CurlRuntime> runtime;
  std::string error;
};

Loaded Load() {
  Loaded loaded;
  // Kept open for the life of the process: handles may outlive any caller.
  void* library = dlopen(kLibraryName, RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    const char* reason = dlerror();
    loaded.error = std::string("cannot load ") + kLibraryName + " (needed for https and file addresses): " +
                   (reason ? reason : "unknown reason");
    return loaded;
  }
  CurlRuntime curl{};
  std::string missing;
  Bind(library, "curl_global_init", curl.global_init, missing);
  Bind(library, "curl_easy_init", curl.easy_init, missing);
  Bind(library, "curl_easy_setopt", curl.easy_setopt, missing);
  Bind(library, "curl_easy_perform", curl.easy_perform, missing);
  Bind(library, "curl_easy_getinfo", curl.easy_getinfo, missing);
  Bind(library, "curl_easy_cleanup", curl.easy_cleanup, missing);
  Bind(library, "curl_easy_strerror", curl.easy_strerror, missing);
  if (!missing.empty()) {
    loaded.error = std::string(kLibraryName) + " lacks " + missing;
    return loaded;
  }
  if (const CURLcode code = curl.global_init(CURL_GLOBAL_DEFAULT); code != CURLE_OK) {
    loaded.error = std::string("libcurl failed to start: ") + curl.easy_strerror(code);
    return loaded;
  }
  loaded.runtime = curl;
  return loaded;
}

}  // namespace

const CurlRuntime* LoadCurlRuntime(std::string* error) {
  static const Loaded loaded = Load();
  if (!loaded.runtime) *error = loaded.error;
  return loaded.runtime ? &*loaded.runtime : nullptr;
}

}  // namespace pitrel
