// pitrel: loads one page, condenses it into a small result file, ends.
// Usage: pitrel LINE, the page, the result file and an optional flag joined
// by the command separator. Exit status: 0 read, 2 bad line, 3 and 4 a page
// not read (worker/protocol.h).
#include "worker/command_line.h"
#include "worker/hosts.h"
#include "worker/page/page_engine.h"
#include "worker/run_cycle.h"
#include "worker/worker_limits.h"

int main(int argc, char* argv[]) {
  pitrel::BoundThisWorker();
  const pitrel::MarketplaceHosts hosts = pitrel::HostsFromEnvironment();
  pitrel::WorkerJob job;
  // A bad command line ends the worker without loading or writing anything.
  if (!pitrel::ParseCommandLine(pitrel::JoinArguments(argc, argv), hosts, job))
    return pitrel::kExitBadCommandLine;
  const auto engine = pitrel::MakeDefaultPageEngine();
  return pitrel::RunJob(job, *engine, hosts);
}
