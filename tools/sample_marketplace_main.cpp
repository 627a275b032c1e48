// sample-marketplace: serves the sample marketplace on 127.0.0.1 until
// interrupted, so that quenlo and pitrel can be tried without a network.
#include "tools/sample_market/server.h"

#include <charconv>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>

namespace {

constexpr char kUsage[] = R"(Usage: sample-marketplace [options]

Serves a sample B2B marketplace on 127.0.0.1 (GBK pages) until interrupted.

  --port P        listen on port P; 0 (default) picks a free one
  --seed S        seed of the generated catalogue (default 1)
  --members N     number of member companies (default 100)
  --latency MS    delay every page by MS milliseconds (default 0;
                  redirects answer at once)
  --page-kb K     pad every page to about K KB (default 0: no padding)
  --slow-ms MS    delay of the "slow" fault (default 3000)
  --hang-ms MS    longest a "hang" holds a connection (default 60000)
  --retry-after S the Retry-After, in seconds, of the 429 and 503 faults
                  (default: none sent)
  --threads T     connections served at once (default 64)
  --faults LIST   misbehave on chosen pages, see below
  --tls           serve https, with a certificate from the build's private
                  test CA, and print the SSL_CERT_FILE=... line that makes
                  quenlo and pitrel trust it (nothing is installed)
  --help          show this text

LIST is a comma-separated list of KIND@PAGE, plus "hostile" to swap
members 3, 6, 9, 12, 15 for hostile names: a'b, x y, ../evil, a/b and
'; DROP TABLE 地址表; --
  KIND  slow      answer after the slow delay
        hang      never answer; hold the connection until shutdown or the
                  hang limit, then reset it
        500       answer with status 500
        503       answer with status 503 (and --retry-after)
        429       answer with status 429 (and --retry-after)
        404       answer with status 404
        reset     reset the connection without answering
        truncate  announce the whole page, send half of it and close
        garbage   answer 200 with random bytes
        flood     a search page lists 5000 companies
  KINDxK  the fault only on the first K requests of each page it chooses
        (500x1: every such page fails once, then answers)
  PAGE  KIND:WHO where KIND is search, contact, site, intro, credit,
        offerlist or any, and WHO is
          *      every such page
          #K     member number K (search: result page K)
          %N     every member whose number is a multiple of N
                 (search: every N-th result page)
          NAME   the member of that name (search: a page number)
Examples:
  --faults 500@contact:#3
  --faults 500x1@contact:%20          (5 % of contact pages fail once)
  --faults reset@intro:%7,hang@search:2,hostile
  --faults slow@any

Search keywords choose the hit count: hits<N> gives exactly N hits (names
repeat once N passes the number of members), nocount gives a count that is
not a number, any other keyword lists every member. 40 companies a page.
)";

bool ReadInt(std::string_view text, int* value) {
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *value);
  return error == std::errc() && end == text.data() + text.size() && *value >= 0;
}

// Fills options from argv; returns 0 to go on, else the exit code.
int ParseArguments(int argc, char** argv, sample_market::MarketplaceOptions* options) {
  for (int i = 1; i < argc; ++i) {
    std::string_view option = argv[i];
    if (option == "--help" || option == "-h") {
      std::cout << kUsage;
      return -1;
    }
    if (option == "--tls") {
      options->tls = true;
      continue;
    }
    if (i + 1 >= argc) {
      std::cerr << "sample-marketplace: " << option << " needs a value (see --help)\n";
      return 2;
    }
    std::string_view value = argv[++i];
    if (option == "--faults") {
      std::string error;
      if (!sample_market::ParseFaultPlan(value, &options->faults, &error)) {
        std::cerr << "sample-marketplace: --faults: " << error << "\n";
        return 2;
      }
      continue;
    }
    int number = 0;
    int* target = option == "--port"      ? &options->port
                  : option == "--members" ? &options->members
                  : option == "--latency" ? &options->latency_ms
                  : option == "--page-kb" ? &options->page_kb
                  : option == "--slow-ms" ? &options->slow_ms
                  : option == "--hang-ms" ? &options->hang_limit_ms
                  : option == "--retry-after" ? &options->retry_after_s
                  : option == "--threads" ? &options->threads
                  : option == "--seed"    ? &number
                                          : nullptr;
    if (!target) {
      std::cerr << "sample-marketplace: unknown option " << option << " (see --help)\n";
      return 2;
    }
    if (!ReadInt(value, target) || (target == &options->members && *target < 1) ||
        (target == &options->threads && *target < 1) || (target == &options->port && *target > 65535)) {
      std::cerr << "sample-marketplace: " << option << " takes a whole number, not \"" << value << "\"\n";
      return 2;
    }
    if (target == &number) options->seed = static_cast<std::uint32_t>(number);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  sample_market::MarketplaceOptions options;
  if (int code = ParseArguments(argc, argv, &options); code != 0) return code < 0 ? 0 : code;

  // Block the stop signals before any thread starts, then wait for one here.
  sigset_t stop_signals;
  sigemptyset(&stop_signals);
  sigaddset(&stop_signals, SIGINT);
  sigaddset(&stop_signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);

  sample_market::SampleMarketplace marketplace(options);
  std::string error;
  if (!marketplace.Start(&error)) {
    std::cerr << "sample-marketplace: " << error << "\n";
    return 1;
  }
  std::cout << "sample-marketplace listening on " << marketplace.host() << "\n";
  for (const std::string& line : marketplace.EnvironmentLines()) std::cout << line << "\n";
  std::cout.flush();

  int signal = 0;
  sigwait(&stop_signals, &signal);
  marketplace.Stop();
  return 0;
}
