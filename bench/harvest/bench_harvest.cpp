// bench_harvest: how fast the contact harvest stores pages, and what it costs
// quenlo's own process while it waits for its workers.
//
// The sample marketplace runs as a separate process (so its work is not
// counted) with about 40 KB pages; 600 members are harvested with a worker
// limit of 15, at 200 ms and at 0 ms a page. The baseline, measured in the
// same run, starts the same workers from a bare loop that replaces each one
// the moment it exits, with no result reading and no database: what this
// machine gives at best. An uncounted pass first has the marketplace make
// and keep every page, as a remote server's work would not land here.
//
// A last run, on a bad network, has one contact page in twenty fail once
// (HTTP 500) at 200 ms: every page must still be stored, at no less than 0.9
// of the ideal rate, the rate at which the worker limit would fetch every
// request (the retries included) if each took only the latency.
//
//   bench_harvest [--members N] [--limit L] [--latencies 200,0] [--failing-members N]
#include "harvest/contact_harvest.h"
#include "harvest/marketplace_urls.h"
#include "harvest/member_harvest.h"
#include "harvest/process_launcher.h"
#include "store/database.h"
#include "store/marketplace_settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>

namespace {

using namespace quenlo;

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The marketplace process; its host lines go into this process's environment.
class Marketplace {
 public:
  Marketplace(int members, int latencyMs, const QStringList& more = {}) {
    process_.setProgram(QStringLiteral(QUENLO_BUILD_DIR "/sample-marketplace"));
    process_.setArguments(QStringList{"--members", QString::number(members), "--page-kb", "40",
                                      "--latency", QString::number(latencyMs)} +
                          more);
    process_.start();
    int lines = 0;
    while (lines < 5 && process_.waitForReadyRead(10000)) {
      while (process_.canReadLine()) {
        const QString line = QString::fromUtf8(process_.readLine()).trimmed();
        ++lines;
        const qsizetype eq = line.indexOf('=');
        if (eq > 0) qputenv(line.left(eq).toUtf8().constData(), line.mid(eq + 1).toUtf8());
      }
    }
    ok_ = lines >= 5;
  }
  ~Marketplace() {
    process_.terminate();
    process_.waitForFinished(5000);
  }
  bool ok() const { return ok_; }

 private:
  QProcess process_;
  bool ok_ = false;
};

struct Figures {
  double seconds = 0;
  double cpu = 0;
  int pages = 0;
  double Rate() const { return pages / seconds; }
  double CpuShare() const { return cpu / seconds; }
};

// Every member's contact page through bare worker processes, `limit` at a time.
Figures Baseline(const QStringList& members, int limit) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const auto& [name, value] : WorkerHostEnvironment()) environment.insert(name, value);
  QEventLoop loop;
  int next = 0;
  int running = 0;
  Figures figures;
  std::function<void()> startNext = [&] {
    while (running < limit && next < members.size()) {
      const QString member = members[next++];
      auto* process = new QProcess;
      process->setProcessEnvironment(environment);
      process->setStandardOutputFile(QProcess::nullDevice());
      process->setStandardErrorFile(QProcess::nullDevice());
      QObject::connect(process, &QProcess::finished, [&, process] {
        process->deleteLater();
        --running;
        ++figures.pages;
        if (figures.pages == members.size()) loop.quit();
        startNext();
      });
      ++running;
      process->start(DefaultWorkerProgram(),
                     {WorkerCommandLine(BuildContactUrl(member), "Base_" + member, 1)});
    }
  };
  QElapsedTimer clock;
  const double cpu = CpuSeconds();
  clock.start();
  startNext();
  loop.exec();
  figures.seconds = clock.nsecsElapsed() / 1e9;
  figures.cpu = CpuSeconds() - cpu;
  for (const QString& file : QDir().entryList({"Base_*"}, QDir::Files)) QFile::remove(file);
  return figures;
}

Figures Harvest(int limit, ContactHarvestOutcome* outcome = nullptr) {
  ProcessLauncher launcher;
  HarvestHooks hooks;
  hooks.launcher = &launcher;
  hooks.workerLimit = [limit] { return limit; };
  QElapsedTimer clock;
  const double cpu = CpuSeconds();
  clock.start();
  const ContactHarvestOutcome harvested = HarvestContacts(hooks);
  Figures figures;
  figures.seconds = clock.nsecsElapsed() / 1e9;
  figures.cpu = CpuSeconds() - cpu;
  figures.pages = harvested.collected;
  if (outcome) *outcome = harvested;
  return figures;
}

void Print(const char* what, const Figures& f) {
  std::printf(
      "  %-9s %4d pages in %6.2f s = %7.1f pages/s, quenlo CPU %5.2f s = %5.1f %% of a core\n",
      what, f.pages, f.seconds, f.Rate(), f.cpu, 100 * f.CpuShare());
}

// A fresh base in data, the work directory in work, and the member names of
// the marketplace stored; false (said on stderr) when any of it failed.
bool PrepareMembers(const Marketplace& market, const QTemporaryDir& data, const QTemporaryDir& work,
                    int members) {
  if (!market.ok()) {
    std::fprintf(stderr, "bench_harvest: the sample marketplace did not start\n");
    return false;
  }
  qputenv("QUENLO_DATA_DIR", data.path().toUtf8());
  DbReleaseSharedConnection();
  if (const DbStatus created = CreateDatabase(data.path()); !created.Ok()) {
    std::fprintf(stderr, "bench_harvest: %s\n", qPrintable(created.Message()));
    return false;
  }
  QDir::setCurrent(work.path());
  ProcessLauncher launcher;
  HarvestHooks hooks;
  hooks.launcher = &launcher;
  HarvestMemberNames(QStringLiteral("hits%1").arg(members), QString(), hooks);
  const qsizetype stored = LoadContactWorkList().size();
  if (stored == members) return true;
  std::fprintf(stderr, "bench_harvest: %lld members stored, %d expected\n",
               static_cast<long long>(stored), members);
  return false;
}

int Measure(int members, int limit, int latencyMs) {
  Marketplace market(members, latencyMs);
  QTemporaryDir data;
  QTemporaryDir work;
  if (!PrepareMembers(market, data, work, members)) return 1;
  const QStringList names = LoadContactWorkList();

  // A first pass, not counted, lets the marketplace make and keep every
  // contact page, so baseline and harvest both meet a server that only serves.
  Baseline(names, limit);
  const Figures base = Baseline(names, limit);
  const Figures harvest = Harvest(limit);
  std::printf("latency %d ms, %d members, worker limit %d, pages of about 40 KB\n", latencyMs,
              members, limit);
  Print("baseline", base);
  Print("harvest", harvest);
  std::printf("  harvest / baseline rate: %.3f\n", harvest.Rate() / base.Rate());
  if (latencyMs > 0) {
    const double ideal = limit * 1000.0 / latencyMs;
    std::printf("  ideal (limit / latency) %.1f pages/s; harvest / ideal: %.3f (target >= 0.95)\n",
                ideal, harvest.Rate() / ideal);
    std::printf("  quenlo CPU while waiting: %.1f %% of a core (target < 10 %%)\n",
                100 * harvest.CpuShare());
  } else {
    std::printf("  harvest rate %.1f pages/s (target > 200)\n", harvest.Rate());
  }
  DbReleaseSharedConnection();
  QDir::setCurrent(QDir::tempPath());
  return 0;
}

// One page in twenty fails once; the retries must store them all, at speed.
int MeasureFailingOnce(int members, int limit) {
  constexpr int kLatencyMs = 200;
  Marketplace market(members, kLatencyMs, {"--faults", "500x1@contact:%20"});
  QTemporaryDir data;
  QTemporaryDir work;
  if (!PrepareMembers(market, data, work, members)) return 1;
  ContactHarvestOutcome outcome;
  const Figures harvest = Harvest(limit, &outcome);
  const bool everyPage =
      outcome.tally.Complete() && outcome.filled == members && LoadContactWorkList().isEmpty();
  const int requests = outcome.tally.read + outcome.tally.retries;
  const double ideal = limit * 1000.0 / kLatencyMs * members / requests;
  std::printf("latency %d ms, %d members, worker limit %d, 1 contact page in 20 failing once\n",
              kLatencyMs, members, limit);
  Print("harvest", harvest);
  std::printf("  %d requests, %d pages retried, %zu failed for good; every page stored: %s\n",
              requests, outcome.tally.retriedPages, outcome.tally.failed.size(),
              everyPage ? "yes" : "NO");
  std::printf(
      "  ideal (limit / latency, retries included) %.1f pages/s; harvest / ideal: %.3f "
      "(target >= 0.9)\n",
      ideal, harvest.Rate() / ideal);
  std::printf("  harvest / (limit / latency): %.3f\n",
              harvest.Rate() / (limit * 1000.0 / kLatencyMs));
  DbReleaseSharedConnection();
  QDir::setCurrent(QDir::tempPath());
  return everyPage ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  int members = 600;
  int failingMembers = 2400;
  int limit = 15;
  QList<int> latencies = {200, 0};
  const QStringList args = app.arguments();
  for (qsizetype i = 1; i + 1 < args.size(); i += 2) {
    if (args[i] == "--members") members = args[i + 1].toInt();
    if (args[i] == "--limit") limit = args[i + 1].toInt();
    if (args[i] == "--failing-members") failingMembers = args[i + 1].toInt();
    if (args[i] == "--latencies") {
      latencies.clear();
      for (const QString& value : args[i + 1].split(',')) latencies.append(value.toInt());
    }
  }
  qputenv("QUENLO_PITREL", QUENLO_BUILD_DIR "/pitrel");
  int status = 0;
  for (int latency : latencies) status |= Measure(members, limit, latency);
  if (failingMembers > 0) status |= MeasureFailingOnce(failingMembers, limit);
  return status;
}
