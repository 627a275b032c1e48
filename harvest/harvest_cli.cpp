#include "harvest/harvest_cli.h"

#include "harvest/contact_harvest.h"
#include "harvest/harvest_log.h"
#include "harvest/member_harvest.h"
#include "harvest/process_launcher.h"
#include "harvest/profile_harvest.h"
#include "harvest/regions.h"
#include "harvest/stop_on_interrupt.h"
#include "harvest/worker_protocol.h"
#include "store/database.h"
#include "store/harvest_settings.h"
#include "store/marketplace_settings.h"
#include "store/worker_limit.h"

#include <QFile>
#include <cstdio>
#include <optional>

namespace quenlo {

namespace {

constexpr int kInterruptedStatus = 130;
constexpr int kListedFailures = 20;  // on the terminal; the log has them all

struct HarvestRequest {
  QString harvest;  // members, contacts or profiles
  QString keyword;
  QString region = kAllRegions;
  std::optional<int> threads;
  std::optional<int> retries;
  std::optional<int> delayMs;
};

void PrintError(const QString& text) {
  std::fprintf(stderr, "quenlo: %s\n", text.toLocal8Bit().constData());
}

struct NumberOption {
  const char* name;
  SettingRange range;
  std::optional<int> HarvestRequest::*value;
};
constexpr SettingRange kThreadsRange{1, 50, 0};
const NumberOption kNumberOptions[] = {
    {"--threads", kThreadsRange, &HarvestRequest::threads},
    {"--retries", kRetriesRange, &HarvestRequest::retries},
    {"--delay", kDelayRange, &HarvestRequest::delayMs},
};

// Takes the option at args[*i] and its value when it is one of the number
// options; false with *error set for a value out of range.
bool TakeNumberOption(const QStringList& args, qsizetype* i, HarvestRequest& request, bool* taken,
                      QString* error) {
  for (const NumberOption& option : kNumberOptions) {
    if (args[*i] != QLatin1String(option.name)) continue;
    *taken = true;
    const std::optional<int> value = *i + 1 < args.size() ? WholeNumberIn(args[*i + 1], option.range)
                                                          : std::nullopt;
    if (!value) {
      *error = QStringLiteral("%1 needs a number from %2 to %3")
                   .arg(QLatin1String(option.name))
                   .arg(option.range.min)
                   .arg(option.range.max);
      return false;
    }
    request.*option.value = value;
    ++*i;
    return true;
  }
  *taken = false;
  return true;
}

// Parses the arguments; on a mistake returns nullopt with *error set.
std::optional<HarvestRequest> ParseRequest(const QStringList& args, QString* error) {
  HarvestRequest request;
  QStringList words;
  for (qsizetype i = 0; i < args.size(); ++i) {
    bool taken = false;
    if (!TakeNumberOption(args, &i, request, &taken, error)) return std::nullopt;
    if (!taken) words.append(args[i]);
  }
  if (words.isEmpty()) {
    *error = QStringLiteral("name a harvest: members, contacts or profiles");
    return std::nullopt;
  }
  request.harvest = words.takeFirst();
  if (request.harvest == QLatin1String("members")) {
    if (words.isEmpty() || words.size() > 2 || words[0].trimmed().isEmpty()) {
      *error = QStringLiteral(
          "usage: quenlo members KEYWORD [REGION] [--threads N] [--retries N] [--delay MS]");
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
    case HarvestEnd::WorkerMissing:
    case HarvestEnd::StoreFailed: return 1;
  }
  return 1;
}

struct RunEnd {
  HarvestEnd end = HarvestEnd::Finished;
  HarvestTally tally;
  bool nothingRead = false;  // there was work, and no page of it could be read
};

// ", 3 failed" for the status line when pages failed for good.
QString FailedNote(const HarvestTally& tally) {
  return tally.failed.empty() ? QString() : QStringLiteral(", %1 failed").arg(tally.failed.size());
}

bool NothingRead(HarvestEnd end, int members, int filled) {
  return end == HarvestEnd::Finished && members > 0 && filled == 0;
}

// Runs the harvest asked for; status gets the line to print at the end.
RunEnd RunRequested(const HarvestRequest& request, HarvestHooks& hooks, QString& status) {
  if (request.harvest == QLatin1String("members")) {
    const auto outcome = HarvestMemberNames(request.keyword, RegionValue(request.region), hooks);
    if (status.isEmpty()) status = QStringLiteral("已下载会员数：0");
    // The count never reads as if nothing were missing.
    status += QStringLiteral(" (%1 pages%2)").arg(outcome.pages).arg(FailedNote(outcome.tally));
    if (outcome.pages == 0 && outcome.end == HarvestEnd::Finished && outcome.tally.Complete())
      PrintError(QStringLiteral("the first search page gave no hits or could not be loaded from %1")
                     .arg(MarketplaceHostsInForce().search));
    return {outcome.end, outcome.tally};
  }
  if (request.harvest == QLatin1String("contacts")) {
    const auto outcome = HarvestContacts(hooks);
    if (!status.isEmpty())
      status += QStringLiteral(" (%1 with contact details%2)")
                    .arg(outcome.filled)
                    .arg(FailedNote(outcome.tally));
    return {outcome.end, outcome.tally, NothingRead(outcome.end, outcome.members, outcome.filled)};
  }
  const auto outcome = HarvestProfiles(hooks);
  status = QStringLiteral("已下载企业介绍数：%1/%2 (%3 pages read%4)")
               .arg(outcome.collected)
               .arg(outcome.members)
               .arg(outcome.filled)
               .arg(FailedNote(outcome.tally));
  return {outcome.end, outcome.tally, NothingRead(outcome.end, outcome.members, outcome.filled)};
}

// The pages read, retried and failed for good, and which failed.
void PrintReport(const HarvestTally& tally) {
  PrintError(QStringLiteral("pages: ") + TallyLine(tally));
  const int listed = std::min<int>(int(tally.failed.size()), kListedFailures);
  for (int i = 0; i < listed; ++i)
    PrintError(QStringLiteral("  %1: %2").arg(PageName(tally.failed[size_t(i)]),
                                             FailureText(tally.failed[size_t(i)])));
  if (int(tally.failed.size()) > listed)
    PrintError(QStringLiteral("  and %1 more").arg(int(tally.failed.size()) - listed));
  if (!tally.storageFailure.isEmpty())
    PrintError(tally.storageFailure + QStringLiteral("; the harvest stopped there"));
  if (!tally.Complete())
    PrintError(QStringLiteral("the rest is stored; the failed pages stay for the next run (log: %1)")
                   .arg(HarvestLogPath()));
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
  HarvestSettings settings = StoredHarvestSettings();
  settings.retries = request->retries.value_or(settings.retries);
  settings.delayMs = request->delayMs.value_or(settings.delayMs);
  ApplyHarvestSettings(hooks, settings);
  hooks.showStatus = [&](const QString& text) { status = text; };

  const RunEnd run = RunRequested(*request, hooks, status);
  if (!status.isEmpty()) std::printf("%s\n", status.toLocal8Bit().constData());
  std::fflush(stdout);
  if (run.end != HarvestEnd::WorkerMissing) PrintReport(run.tally);
  if (run.end == HarvestEnd::Stopped) PrintError(QStringLiteral("stopped; repeats removed"));
  if (run.nothingRead) {
    PrintError(QStringLiteral("no page could be read from %1 (QUENLO_MAIN_HOST); the members stay "
                              "for the next run")
                   .arg(MarketplaceHostsInForce().main));
    return 1;
  }
  // A page that failed for good makes the run a failure for a script, though
  // everything else was stored.
  if (run.end == HarvestEnd::Finished && !run.tally.failed.empty()) return 1;
  return ExitStatus(run.end);
}

}  // namespace quenlo
