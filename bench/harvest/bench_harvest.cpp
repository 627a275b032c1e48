// bench_harvest: how fast the contact harvest stores pages, and what it costs
// quenlo's own process while it waits for its workers.
//
// The sample marketplace runs as a separate process (so its work is not
// counted) with about 40 KB pages; members are harvested with a worker
// limit of 15 at 200 ms and at 0 ms a page over http, at 200 ms over https
// (the marketplace's --tls, its hosts given as https://127.0.0.1:PORT), and,
// as a stretch, with a limit of 50 at 200 ms over http. The baseline,
// measured in the same run, starts the same workers from a bare loop that
// replaces each one the moment it exits, with no result reading and no
// database: what this machine gives at best. An uncounted pass first has the
// marketplace make and keep every page, as a remote server's work would not
// land here.
//
// Each run has 160 members for each worker slot (2,400 at a limit of 15):
// when the members run out, slots fall idle one by one while the last pages
// finish, about half a page time each, and that end must weigh little
// against the rate (1.3 % of a 600-page run at limit 15, 4 % at limit 50).
//
// A last run, on a bad network, has one contact page in twenty fail once
// (HTTP 500) at 200 ms: every page must still be stored, at no less than 0.9
// of the ideal rate, the rate at which the worker limit would fetch every
// request (the retries included) if each took only the latency.
//
//   bench_harvest [--members N] [--limit L] [--latencies 200,0] [--https] [--failing-members N]
// With --limit or --latencies only those runs are made, over http (or
// https with --https); --members sets every run's members;
// --failing-members 0 leaves out the bad network.
#include "harvest/contact_harvest.h"
#include "harvest/marketplace_urls.h"
#include "harvest/member_harvest.h"
#include "harvest/process_launcher.h"
#include "shell/work_directory.h"
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

double Seconds(const rusage& usage) {
  return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return Seconds(usage);
}

// Where a run's CPU went: quenlo (this process), its ended workers, the
// marketplace process, and how busy the machine's cores were in all (other
// programs included), from /proc.
struct CpuLedger {
  double quenlo = 0, workers = 0, server = 0, busy = 0, total = 0;

  static CpuLedger Now(qint64 serverPid) {
    CpuLedger now;
    now.quenlo = CpuSeconds();
    rusage children{};
    getrusage(RUSAGE_CHILDREN, &children);
    now.workers = Seconds(children);
    QFile stat(QStringLiteral("/proc/%1/stat").arg(serverPid));
    if (stat.open(QIODevice::ReadOnly)) {
      const QList<QByteArray> fields = stat.readAll().split(' ');
      if (fields.size() > 15) now.server = (fields[13].toDouble() + fields[14].toDouble()) / 100.0;
    }
    QFile machine(QStringLiteral("/proc/stat"));
    if (machine.open(QIODevice::ReadOnly)) {
      const QList<QByteArray> fields = machine.readLine().simplified().split(' ');
      for (int i = 1; i < fields.size(); ++i) now.total += fields[i].toDouble() / 100.0;
      now.busy = now.total - (fields.size() > 5 ? (fields[4].toDouble() + fields[5].toDouble()) / 100.0 : 0);
    }
    return now;
  }
  CpuLedger Since(const CpuLedger& start) const {
    return {quenlo - start.quenlo, workers - start.workers, server - start.server, busy - start.busy,
            total - start.total};
  }
};

// One measured harvest.
struct Run {
  int latencyMs = 200;
  int limit = 15;
  bool https = false;
};

// The marketplace process; its host lines (and under https its
// SSL_CERT_FILE line) go into this process's environment.
class Marketplace {
 public:
  Marketplace(int members, const Run& run, const QStringList& more = {}) {
    process_.setProgram(QStringLiteral(QUENLO_BUILD_DIR "/sample-marketplace"));
    QStringList arguments = {"--members", QString::number(members), "--page-kb", "40", "--latency",
                             QString::number(run.latencyMs)};
    if (run.https) arguments.append("--tls");
    process_.setArguments(arguments + more);
    process_.start();
    const int expected = run.https ? 6 : 5;
    int lines = 0;
    while (lines < expected && process_.waitForReadyRead(10000)) {
      while (process_.canReadLine()) {
        const QString line = QString::fromUtf8(process_.readLine()).trimmed();
        ++lines;
        const qsizetype eq = line.indexOf('=');
        if (eq > 0) qputenv(line.left(eq).toUtf8().constData(), line.mid(eq + 1).toUtf8());
      }
    }
    ok_ = lines >= expected;
  }
  ~Marketplace() {
    process_.terminate();
    process_.waitForFinished(5000);
  }
  bool ok() const { return ok_; }
  qint64 pid() const { return process_.processId(); }

 private:
  QProcess process_;
  bool ok_ = false;
};

struct Figures {
  double seconds = 0;
  double cpu = 0;
  int pages = 0;
  double launching = 0;  // seconds quenlo's one thread spent starting workers
  CpuLedger used;
  double Rate() const { return pages / seconds; }
  double CpuShare() const { return cpu / seconds; }
};

// Every member's contact page through bare worker processes, `limit` at a time.
Figures Baseline(const QStringList& members, int limit, qint64 serverPid) {
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
      QElapsedTimer launch;
      launch.start();
      process->start(DefaultWorkerProgram(),
                     {WorkerCommandLine(BuildContactUrl(member), "Base_" + member, 1)});
      figures.launching += launch.nsecsElapsed() / 1e9;
    }
  };
  QElapsedTimer clock;
  const double cpu = CpuSeconds();
  const CpuLedger start = CpuLedger::Now(serverPid);
  clock.start();
  startNext();
  loop.exec();
  figures.seconds = clock.nsecsElapsed() / 1e9;
  figures.cpu = CpuSeconds() - cpu;
  figures.used = CpuLedger::Now(serverPid).Since(start);
  for (const QString& file : QDir().entryList({"Base_*"}, QDir::Files)) QFile::remove(file);
  return figures;
}

// The harvest's own launcher, with the time each start takes in quenlo's thread summed.
class TimedLauncher final : public WorkerLauncher {
 public:
  bool Ready(QString* reason) override { return inner_.Ready(reason); }
  void Launch(const QString& argument, const QString& resultFile, int flag) override {
    QElapsedTimer launch;
    launch.start();
    inner_.Launch(argument, resultFile, flag);
    seconds += launch.nsecsElapsed() / 1e9;
  }
  bool HasEnded(const QString& resultFile) override { return inner_.HasEnded(resultFile); }
  bool TakeEndNotice() override { return inner_.TakeEndNotice(); }
  std::optional<int> ExitStatus(const QString& resultFile) override {
    return inner_.ExitStatus(resultFile);
  }
  void StopAll() override { inner_.StopAll(); }
  double seconds = 0;

 private:
  ProcessLauncher inner_;
};

Figures Harvest(int limit, qint64 serverPid, ContactHarvestOutcome* outcome = nullptr) {
  TimedLauncher launcher;
  HarvestHooks hooks;
  hooks.launcher = &launcher;
  hooks.workerLimit = [limit] { return limit; };
  QElapsedTimer clock;
  const double cpu = CpuSeconds();
  const CpuLedger start = CpuLedger::Now(serverPid);
  clock.start();
  const ContactHarvestOutcome harvested = HarvestContacts(hooks);
  Figures figures;
  figures.seconds = clock.nsecsElapsed() / 1e9;
  figures.cpu = CpuSeconds() - cpu;
  figures.used = CpuLedger::Now(serverPid).Since(start);
  figures.pages = harvested.collected;
  figures.launching = launcher.seconds;
  if (outcome) *outcome = harvested;
  return figures;
}

void Print(const char* what, const Figures& f) {
  std::printf("  %-9s %4d pages in %6.2f s = %7.1f pages/s, quenlo CPU %5.2f s = %5.1f %% of a core\n",
              what, f.pages, f.seconds, f.Rate(), f.cpu, 100 * f.CpuShare());
  const double perPage = 1000.0 / std::max(1, f.pages);
  std::printf("            CPU a page: workers %.2f ms, quenlo %.2f ms, marketplace %.2f ms; "
              "cores busy %.0f %% (everything on the machine)\n",
              f.used.workers * perPage, f.used.quenlo * perPage, f.used.server * perPage,
              100 * f.used.busy / std::max(1e-9, f.used.total));
  std::printf("            starting a worker holds quenlo's thread %.2f ms, %.0f %% of the run\n",
              f.launching * perPage, 100 * f.launching / f.seconds);
}

// A work folder where quenlo would make its own (in the runtime directory
// where there is one), so that the results cross the file system a user's do.
QString WorkTemplate() {
  const QString parent = WorkDirectory();
  QDir().mkpath(parent);
  return QDir(parent).filePath(QStringLiteral("bench-XXXXXX"));
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

int Measure(int members, const Run& run) {
  const int limit = run.limit;
  const int latencyMs = run.latencyMs;
  Marketplace market(members, run);
  QTemporaryDir data;
  QTemporaryDir work(WorkTemplate());
  if (!PrepareMembers(market, data, work, members)) return 1;
  const QStringList names = LoadContactWorkList();

  // A first pass, not counted, lets the marketplace make and keep every
  // contact page, so baseline and harvest both meet a server that only serves.
  Baseline(names, limit, market.pid());
  const Figures base = Baseline(names, limit, market.pid());
  const Figures harvest = Harvest(limit, market.pid());
  std::printf("%s, latency %d ms, %d members, worker limit %d, pages of about 40 KB\n",
              run.https ? "https" : "http", latencyMs, members, limit);
  Print("baseline", base);
  Print("harvest", harvest);
  std::printf("  harvest / baseline rate: %.3f\n", harvest.Rate() / base.Rate());
  if (latencyMs > 0) {
    const double ideal = limit * 1000.0 / latencyMs;
    std::printf("  ideal (limit / latency) %.1f pages/s; harvest / ideal: %.3f, baseline / ideal: %.3f (target >= %s)\n",
                ideal, harvest.Rate() / ideal, base.Rate() / ideal, limit > 15 ? "0.9" : "0.95");
    std::printf("  quenlo CPU while waiting: %.1f %% of a core%s\n", 100 * harvest.CpuShare(),
                limit > 15 ? "" : " (target < 10 %)");
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
  Marketplace market(members, Run{kLatencyMs, limit, false}, {"--faults", "500x1@contact:%20"});
  QTemporaryDir data;
  QTemporaryDir work(WorkTemplate());
  if (!PrepareMembers(market, data, work, members)) return 1;
  ContactHarvestOutcome outcome;
  const Figures harvest = Harvest(limit, market.pid(), &outcome);
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
  int members = 0;  // 160 a worker slot
  int failingMembers = 2400;
  int limit = 15;
  QList<int> latencies = {200, 0};
  bool chosen = false;
  bool https = false;
  const QStringList args = app.arguments();
  for (qsizetype i = 1; i < args.size(); ++i) {
    if (args[i] == "--https") https = chosen = true;
    if (i + 1 >= args.size()) continue;
    if (args[i] == "--members") members = args[i + 1].toInt();
    if (args[i] == "--limit") limit = args[i + 1].toInt(), chosen = true;
    if (args[i] == "--failing-members") failingMembers = args[i + 1].toInt();
    if (args[i] == "--latencies") {
      latencies.clear();
      for (const QString& value : args[i + 1].split(',')) latencies.append(value.toInt());
      chosen = true;
    }
  }
  QList<Run> runs;
  for (int latency : latencies) runs.append({latency, limit, https});
  if (!chosen) runs += {Run{200, 15, true}, Run{200, 50, false}};
  qputenv("QUENLO_PITREL", QUENLO_BUILD_DIR "/pitrel");
  int status = 0;
  for (const Run& run : runs) status |= Measure(members > 0 ? members : 160 * run.limit, run);
  if (failingMembers > 0) status |= MeasureFailingOnce(failingMembers, limit);
  return status;
}
