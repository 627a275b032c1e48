// bench_worker: what one pitrel page costs.
//
// Runs real pitrel processes against the sample marketplace (pages padded to
// about 50 KB, no added latency) and reports pages per second and CPU per
// page (getrusage of the children), against two baselines measured in the
// same run: starting an empty program (/bin/true) and `cat` of a saved page.
// The same pages come over https too, from the marketplace's TLS twice
// (the build's test certificate, P-256), in rounds that alternate with
// plain http so that both meet the same machine.
// Then splits one page's CPU into start (pitrel with a command line it
// rejects: libraries loaded, nothing done), fetch, decode, parse with text or
// mark-up (whichever the page's form is read from, as pitrel builds only that
// one), condense and write, timing the page layer's pieces in-process.
//
// Usage: bench_worker [pages]   (default 200)
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "tools/sample_market/server.h"
#include "worker/page/charset.h"
#include "worker/page/fetch.h"
#include "worker/page/html_document.h"
#include "worker/page/html_serializer.h"
#include "worker/page/inner_text.h"
#include "worker/contact.h"
#include "worker/protocol.h"
#include "worker/result_file.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const std::string kPitrel = std::string(QUENLO_BUILD_DIR) + "/pitrel";

// The worker's command line for contact page i, as quenlo starts it.
std::string ContactLine(const std::string& url, int i) {
  return pitrel::WorkerCommandLine(url, pitrel::MemberResultFile(std::to_string(i)),
                                   pitrel::kContactFlag);
}

double ChildrenCpuMs() {
  rusage usage{};
  ::getrusage(RUSAGE_CHILDREN, &usage);
  auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

double ThreadCpuMs() {
  timespec t{};
  ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

pid_t Spawn(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

void WaitAll(std::vector<pid_t>& pids) {
  for (pid_t pid : pids)
    if (pid > 0) ::waitpid(pid, nullptr, 0);
  pids.clear();
}

struct ProcessFigures {
  double wall_ms_per_run;
  double cpu_ms_per_run;
  double runs_per_second;
};

// Runs args_for(i) for i < runs, `at_once` processes at a time.
ProcessFigures RunProcesses(int runs, int at_once,
                            const std::function<std::vector<std::string>(int)>& args_for) {
  const double cpu_before = ChildrenCpuMs();
  const auto start = Clock::now();
  std::vector<pid_t> running;
  for (int i = 0; i < runs; ++i) {
    running.push_back(Spawn(args_for(i)));
    if (static_cast<int>(running.size()) == at_once) WaitAll(running);
  }
  WaitAll(running);
  const double wall = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  return {wall / runs, (ChildrenCpuMs() - cpu_before) / runs, runs * 1e3 / wall};
}

void PrintProcess(const char* what, const ProcessFigures& f, const ProcessFigures& base) {
  std::printf("  %-34s %7.2f ms wall  %6.2f ms CPU  %7.1f /s   CPU x%.1f of /bin/true\n", what,
              f.wall_ms_per_run, f.cpu_ms_per_run, f.runs_per_second,
              f.cpu_ms_per_run / base.cpu_ms_per_run);
}

// Mean thread CPU of each stage of loading, condensing and writing one page.
struct Phases {
  double fetch = 0, decode_parse = 0, text = 0, markup = 0, condense = 0, write = 0;
  std::size_t page_bytes = 0;
};

Phases TimePhases(const std::vector<std::string>& urls, const fs::path& dir) {
  Phases sum;
  const pitrel::FetchLimits limits;
  for (std::size_t i = 0; i < urls.size(); ++i) {
    double t = ThreadCpuMs();
    auto lap = [&t](double& into) {
      const double now = ThreadCpuMs();
      into += now - t;
      t = now;
    };
    const pitrel::FetchResult fetched = pitrel::FetchUrl(urls[i], limits);
    lap(sum.fetch);
    const pitrel::HtmlDocument document(pitrel::DecodePage(fetched.body, fetched.content_type));
    lap(sum.decode_parse);
    // As in pitrel: a contact page is read from its text on the marketplace
    // and from its mark-up on a member's site, and only that one is built.
    const bool text_form = fetched.final_url == urls[i];
    const std::string text = text_form ? pitrel::PageInnerText(document) : std::string();
    lap(sum.text);
    const std::string html = text_form ? std::string() : pitrel::PageBodyHtml(document, fetched.final_url);
    lap(sum.markup);
    const std::string result = pitrel::CondenseContact(text, html, urls[i], fetched.final_url);
    lap(sum.condense);
    pitrel::WriteResultOnce(result, (dir / ("phase_" + std::to_string(i))).string());
    lap(sum.write);
    sum.page_bytes += fetched.body.size();
  }
  const double n = static_cast<double>(urls.size());
  return {sum.fetch / n,  sum.decode_parse / n, sum.text / n, sum.markup / n,
          sum.condense / n, sum.write / n,      static_cast<std::size_t>(sum.page_bytes / n)};
}

struct HttpAndHttps {
  ProcessFigures http{}, https{};
};

// Sums of rounds that alternate http and https, one process at a time.
HttpAndHttps CompareWithHttps(const sample_market::SampleMarketplace& secure_market,
                              const std::vector<std::string>& http_urls, int pages) {
  constexpr int kRounds = 4;
  const std::string http_origin = http_urls[0].substr(0, http_urls[0].find("/company/"));
  HttpAndHttps sum;
  const auto add = [](ProcessFigures& into, const ProcessFigures& round) {
    into.wall_ms_per_run += round.wall_ms_per_run / kRounds;
    into.cpu_ms_per_run += round.cpu_ms_per_run / kRounds;
    into.runs_per_second += round.runs_per_second / kRounds;
  };
  for (int round = 0; round < kRounds; ++round) {
    const int runs = std::max(1, pages / kRounds);
    add(sum.http, RunProcesses(runs, 1, [&](int i) {
      return std::vector<std::string>{kPitrel, ContactLine(http_urls[i], i)};
    }));
    add(sum.https, RunProcesses(runs, 1, [&](int i) {
      const std::string path = http_urls[i].substr(http_origin.size());
      return std::vector<std::string>{kPitrel, ContactLine(secure_market.Url(path), i)};
    }));
  }
  return sum;
}

}  // namespace

int main(int argc, char* argv[]) {
  const int pages = argc > 1 ? std::max(10, std::atoi(argv[1])) : 200;

  sample_market::MarketplaceOptions options;
  options.page_kb = 50;
  sample_market::SampleMarketplace market(options);
  options.tls = true;
  sample_market::SampleMarketplace secure_market(options);
  std::string error;
  if (!market.Start(&error) || !secure_market.Start(&error)) {
    std::fprintf(stderr, "bench_worker: marketplace did not start: %s\n", error.c_str());
    return 1;
  }
  // The test CA alone: a certificate file the machine may name would be read by every https page.
  ::setenv("SSL_CERT_FILE", secure_market.options().trusted_ca_file.c_str(), 1);
  for (const std::string& line : market.EnvironmentLines()) {
    const std::size_t equals = line.find('=');
    ::setenv(line.substr(0, equals).c_str(), line.substr(equals + 1).c_str(), 1);
  }

  const fs::path dir = fs::temp_directory_path() / ("bench_worker_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  fs::current_path(dir);

  const auto& members = market.catalogue().members();
  std::vector<std::string> urls;
  for (int i = 0; i < pages; ++i)
    urls.push_back(market.Url("/company/detail/contact/" + members[i % members.size()].name + ".html"));
  const std::string saved_page = (dir / "page.html").string();
  std::ofstream(saved_page, std::ios::binary) << pitrel::FetchUrl(urls[0], {}).body;

  const Phases phases = TimePhases(urls, dir);

  std::printf("bench_worker: %d contact pages of about %zu KB (both forms), no latency\n", pages,
              phases.page_bytes / 1024);
  std::printf("processes, one at a time:\n");
  const ProcessFigures empty = RunProcesses(pages, 1, [](int) {
    return std::vector<std::string>{"/bin/true"};
  });
  const ProcessFigures cat = RunProcesses(pages, 1, [&](int) {
    return std::vector<std::string>{"/bin/cat", saved_page};
  });
  const ProcessFigures start = RunProcesses(pages, 1, [](int) {
    return std::vector<std::string>{kPitrel, "no-separator"};
  });
  const ProcessFigures pitrel = RunProcesses(pages, 1, [&](int i) {
    return std::vector<std::string>{kPitrel, ContactLine(urls[i], i)};
  });
  PrintProcess("/bin/true (baseline)", empty, empty);
  PrintProcess("cat of one saved page (baseline)", cat, empty);
  PrintProcess("pitrel start only", start, empty);
  PrintProcess("pitrel, whole page", pitrel, empty);
  const HttpAndHttps secure = CompareWithHttps(secure_market, urls, pages);
  PrintProcess("pitrel, http (alternating)", secure.http, empty);
  PrintProcess("pitrel, https (alternating)", secure.https, empty);
  const double https_ratio = secure.https.cpu_ms_per_run / secure.http.cpu_ms_per_run;
  std::printf("  https / http CPU a page: %.2f (target under 2)\n", https_ratio);

  std::printf("processes, four at a time:\n");
  const ProcessFigures parallel = RunProcesses(pages, 4, [&](int i) {
    return std::vector<std::string>{kPitrel, ContactLine(urls[i], i)};
  });
  PrintProcess("pitrel, whole page", parallel, empty);

  const double in_process = phases.fetch + phases.decode_parse + phases.text + phases.markup +
                            phases.condense + phases.write;
  std::printf("CPU of one page, by stage (ms):\n");
  std::printf("  start (libraries, exit)   %6.2f\n", start.cpu_ms_per_run);
  std::printf("  fetch                     %6.2f\n", phases.fetch);
  std::printf("  decode                    %6.2f\n", phases.decode_parse);
  std::printf("  parse + text (own pages)  %6.2f\n", phases.text);
  std::printf("  parse + mark-up (sites)   %6.2f\n", phases.markup);
  std::printf("  condense                  %6.3f\n", phases.condense);
  std::printf("  write                     %6.3f\n", phases.write);
  std::printf("  sum                       %6.2f   (whole process measured: %.2f)\n",
              start.cpu_ms_per_run + in_process, pitrel.cpu_ms_per_run);
  std::printf("target: under 10 ms CPU per page: %s (%.2f ms)\n",
              pitrel.cpu_ms_per_run < 10 ? "met" : "NOT met", pitrel.cpu_ms_per_run);

  market.Stop();
  secure_market.Stop();
  fs::current_path(fs::temp_directory_path());
  fs::remove_all(dir);
  return 0;
}
