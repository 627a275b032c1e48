#include "harvest/harvest_cli.h"

#include "harvest/contact_harvest.h"
#include "harvest/member_harvest.h"
#include "harvest/process_launcher.h"
#include "harvest/profile_harvest.h"
#include "harvest/regions.h"
#include "harvest/stop_on_interrupt.h"
#include "harvest/worker_protocol.h"
#include "store/database.h"
#include "store/marketplace_settings.h"
#include "store/worker_limit.h"

#include <QFile>
#include <cstdio>
#include <optional>

namespace quenlo {

namespace {

constexpr int kInterruptedStatus = 130;

struct HarvestRequest {
  QString harvest;  // members, contacts or profiles
  QString keyword;
  QString region = kAllRegions;
  std::optional<int> threads;
};

void PrintError(const QString& text) {
  std::fprintf(stderr, "quenlo: %s\n", text.toLocal8Bit().constData());
}

// Parses the arguments; on a mistake returns nullopt with *error set.
std::optional<HarvestRequest> ParseRequest(const QStringList& args, QString* error) {
  HarvestRequest request;
  QStringList words;
  for (qsizetype i = 0; i < args.size(); ++i) {
    if (args[i] != QLatin1String("--threads")) {
      words.append(args[i]);
      continue;
    }
    bool ok = false;
    const int threads = i + 1 < args.size() ? args[i + 1].toInt(&ok) : 0;
    if (!ok || threads < 1 || threads > 50) {
      *error = QStringLiteral("--threads needs a number from 1 to 50");
      return std::nullopt;
    }
    request.threads = threads;
    ++i;
  }
  if (words.isEmpty()) {
    *error = QStringLiteral("name a harvest: members, contacts or profiles");
    return std::nullopt;
  }
  request.harvest = words.takeFirst();
  if (request.harvest == QLatin1String("members")) {
    if (words.isEmpty() || words.size() > 2 || words[0].trimmed().isEmpty()) {
      *error = QStringLiteral("usage: quenlo members KEYWORD [REGION] [--threads N]");
      return std::nullopt;
    }
    request.keyword = words[0].trimmed();
    if (request.keyword.contains(kCommandSeparator)) {
      *error = QStringLiteral("the keyword cannot hold \"%1\", which separates the worker's fields")
                   .arg(kCommandSeparator);
      return std::nullopt;
    }
    if (words.size() == 2) request.region = words[1];
    if (!RegionEntries().contains(request.region)) {
      *error = QStringLiteral("unknown region \"%1\"; one of: %2")
                   .arg(request.region, RegionEntries().join(QLatin1Char(' ')));
      return std::nullopt;
    }
  } else if (request.harvest == QLatin1String("contacts") ||
             request.harvest == QLatin1String("profiles")) {
    if (!words.isEmpty()) {
      *error = QStringLiteral("unexpected argument \"%1\"").arg(words[0]);
      return std::nullopt;
    }
  } else {
    *error = QStringLiteral("unknown harvest \"%1\"").arg(request.harvest);
    return std::nullopt;
  }
  return request;
}

int ExitStatus(HarvestEnd end) {
  switch (end) {
    case HarvestEnd::Finished: return 0;
    case HarvestEnd::Stopped: return kInterruptedStatus;
    case HarvestEnd::WorkerMissing: return 1;
  }
  return 1;
}

struct RunEnd {
  HarvestEnd end = HarvestEnd::Finished;
  int storeFailures = 0;
  bool nothingRead = false;  // there was work, and no page of it could be read
};

bool NothingRead(HarvestEnd end, int members, int filled) {
  return end == HarvestEnd::Finished && members > 0 && filled == 0;
}

// Runs the harvest asked for; status gets the line to print at the end.
RunEnd RunRequested(const HarvestRequest& request, HarvestHooks& hooks, QString& status) {
  if (request.harvest == QLatin1String("members")) {
    const auto outcome = HarvestMemberNames(request.keyword, RegionValue(request.region), hooks);
    if (status.isEmpty()) status = QStringLiteral("已下载会员数：0");
    status += QStringLiteral(" (%1 pages)").arg(outcome.pages);
    // A page that could not be loaded reads as no hits; say both, so that a
    // script's user is not left guessing why nothing came.
    if (outcome.pages == 0 && outcome.end == HarvestEnd::Finished)
      PrintError(QStringLiteral("the first search page gave no hits or could not be loaded from %1")
                     .arg(MarketplaceHostsInForce().search));
    return {outcome.end, outcome.storeFailures};
  }
  if (request.harvest == QLatin1String("contacts")) {
    const auto outcome = HarvestContacts(hooks);
    if (!status.isEmpty()) status += QStringLiteral(" (%1 with contact details)").arg(outcome.filled);
    return {outcome.end, outcome.storeFailures, NothingRead(outcome.end, outcome.members, outcome.filled)};
  }
  const auto outcome = HarvestProfiles(hooks);
  status = QStringLiteral("已下载企业介绍数：%1/%2 (%3 pages read)")
               .arg(outcome.collected)
               .arg(outcome.members)
               .arg(outcome.filled);
  return {outcome.end, outcome.storeFailures, NothingRead(outcome.end, outcome.members, outcome.filled)};
}

}  // namespace

int RunHarvestCommand(const QStringList& args) {
  QString error;
  const std::optional<HarvestRequest> request = ParseRequest(args, &error);
  if (!request) {
    PrintError(error);
    return 2;
  }
  if (!QFile::exists(DatabasePath())) {
    PrintError(QStringLiteral("no record base at %1 (create one with quenlo --create-database DIR)")
                   .arg(DatabasePath()));
    return 1;
  }
  // A base that exists but cannot be opened (locked, read-only, not a record
  // base): the run ends before any page is fetched, and says why.
  if (const DbStatus reachable = DbCheckConnection(); !reachable.Ok()) {
    PrintError(QStringLiteral("cannot open the record base: %1").arg(reachable.Reason()));
    return 1;
  }
  ProcessLauncher launcher;
  if (QString reason; !launcher.Ready(&reason)) {
    PrintError(reason);
    return 1;
  }

  StopOnInterrupt interrupt;
  QString status;
  HarvestHooks hooks;
  hooks.launcher = &launcher;
  hooks.stopRequested = [&] { return interrupt.Requested(); };
  const int limit = request->threads.value_or(StoredWorkerLimit());
  hooks.workerLimit = [limit] { return limit; };
  hooks.showStatus = [&](const QString& text) { status = text; };

  const RunEnd run = RunRequested(*request, hooks, status);
  if (!status.isEmpty()) std::printf("%s\n", status.toLocal8Bit().constData());
  if (run.end == HarvestEnd::Stopped) PrintError(QStringLiteral("stopped; repeats removed"));
  std::fflush(stdout);
  // What was fetched but could not be kept makes the run a failure for a
  // script, even though the harvest went on to its end.
  if (run.nothingRead) {
    PrintError(QStringLiteral("no page could be read from %1 (QUENLO_MAIN_HOST); the members stay "
                              "for the next run")
                   .arg(MarketplaceHostsInForce().main));
    return 1;
  }
  if (run.storeFailures > 0 && run.end == HarvestEnd::Finished) {
    PrintError(QStringLiteral("%1 results could not be stored in %2")
                   .arg(run.storeFailures)
                   .arg(DatabasePath()));
    return 1;
  }
  return ExitStatus(run.end);
}

}  // namespace quenlo
