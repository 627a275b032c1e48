// logging-proxy: an HTTP proxy on 127.0.0.1 that prints each request that
// passes, for trying quenlo's proxy setting by hand.
//   logging-proxy [--port P]
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <string>
#include <string_view>
#include <thread>

#include "tools/logging_proxy/logging_proxy.h"

int main(int argc, char** argv) {
  logging_proxy::ProxyOptions options;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string_view option = argv[i];
    if (option == "--port") options.port = std::atoi(argv[i + 1]);
    else {
      std::cerr << "usage: logging-proxy [--port P]\n";
      return 2;
    }
  }
  sigset_t stop;
  sigemptyset(&stop);
  sigaddset(&stop, SIGINT);
  sigaddset(&stop, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stop, nullptr);
  std::signal(SIGPIPE, SIG_IGN);
  logging_proxy::LoggingProxy proxy(options);
  std::string error;
  if (!proxy.Start(&error)) {
    std::cerr << "logging-proxy: " << error << "\n";
    return 1;
  }
  std::cout << "logging-proxy listening on 127.0.0.1:" << proxy.port()
            << "\nQUENLO_PROXY=" << proxy.Url() << std::endl;
  std::thread printer([&proxy] {
    for (std::size_t shown = 0;; std::this_thread::sleep_for(std::chrono::milliseconds(100))) {
      const auto log = proxy.Log();
      for (; shown < log.size(); ++shown) std::cout << log[shown] << std::endl;
    }
  });
  printer.detach();
  int signal = 0;
  sigwait(&stop, &signal);
  proxy.Stop();
  return 0;
}
