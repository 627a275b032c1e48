#include "harvest/member_harvest.h"

#include "harvest/dispatch_pass.h"
#include "harvest/marketplace_urls.h"
#include "harvest/member_name.h"
#include "harvest/result_file.h"
#include "harvest/store_failures.h"
#include "harvest/wait_ticks.h"
#include "harvest/worker_launcher.h"
#include "harvest/worker_protocol.h"
#include "ports/messenger.h"
#include "ports/progress_sink.h"
#include "store/database.h"

#include <QFile>
#include <climits>

namespace quenlo {

namespace {

constexpr int kFirstPagePolls = 100000;
constexpr int kPollTicks = 500;

void RemoveRepeatedMembers() {
  for (const QString& table : {kContactTable, kProfileTable}) {
    try {
      const DbStatus removed =
          DbRemoveDuplicates(table, QStringLiteral("AName"), QStringLiteral("ID"));
      if (!removed.Ok()) ShowMessage(removed.Message());
    } catch (const std::exception& error) {
      ShowMessage(QStringLiteral("删除重复会员失败：") + QString::fromUtf8(error.what()));
    }
  }
}

// A name enters both tables or neither.
DbStatus InsertMemberName(const QString& name) {
  DbTransaction bothTables;
  DbStatus status = bothTables.Begin();
  for (const QString& table : {kContactTable, kProfileTable}) {
    if (status.Ok()) status = DbExecute("INSERT INTO " + table + "(AName) VALUES(?)", {name});
  }
  return status.Ok() ? bothTables.Commit() : status;
}

// Page 1 alone: its first line tells how many pages there are. An empty text
// when the worker gave nothing or the user stopped the wait.
QString FetchFirstPage(const QString& keyword, const QString& regionValue, HarvestHooks& hooks,
                       bool* stopped) {
  const QString file = SearchPageResultFile(1);
  if (QFile::exists(file)) QFile::remove(file);
  WorkerLauncher& launcher = *hooks.launcher;
  launcher.Launch(BuildSearchUrl(keyword, regionValue, 1), file, pitrel::kMemberListFlag);
  for (int poll = 0; poll < kFirstPagePolls; ++poll) {
    WaitTicks(kPollTicks, [&] { return launcher.TakeEndNotice() || hooks.stopRequested(); });
    // As in every pass, the page counts once its worker is gone: the worker
    // renames its result into place just before it exits, and the pages
    // launched next must not make one worker more than the limit.
    if (launcher.HasEnded(file)) return ResultReady(file) ? ReadResultFile(file, true) : QString();
    if (hooks.stopRequested()) {
      *stopped = true;
      return {};
    }
  }
  return {};
}

}  // namespace

QString SearchPageResultFile(int page) {
  return FromProtocol(pitrel::SearchPageResultFile(page));
}

int LeadingWholeNumber(const QString& text) {
  int i = 0;
  while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
  long long value = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    value = std::min<long long>(value * 10 + (text[i].unicode() - u'0'), INT_MAX);
  }
  return int(negative ? -value : value);
}

int SearchPageCount(int hits) { return hits <= 0 ? 0 : int((hits + 39LL) / 40); }

int StoreMemberNames(const QString& resultText, StoreFailures& failures) {
  const QStringList lines = resultText.split(QStringLiteral("\r\n"));
  // A page's names go in under one commit: forty names cost one sync, not eighty.
  DbTransaction page;
  if (const DbStatus begun = page.Begin(); !begun.Ok()) {
    failures.Report(lines.value(1), begun.Message());
    return 0;
  }
  int stored = 0;
  for (qsizetype i = 1; i < lines.size(); ++i) {
    const QString& name = lines[i];
    if (!IsSafeMemberName(name)) continue;
    if (const DbStatus inserted = InsertMemberName(name); inserted.Ok()) {
      ++stored;
    } else {
      failures.Report(name, inserted.Message());
    }
  }
  if (const DbStatus committed = page.Commit(); !committed.Ok()) {
    failures.Report(lines.value(1), committed.Message());
    return 0;
  }
  return stored;
}

MemberHarvestOutcome HarvestMemberNames(const QString& keyword, const QString& regionValue,
                                        HarvestHooks& hooks) {
  MemberHarvestOutcome outcome;
  StoreFailures failures;
  QString reason;
  auto storePage = [&](const QString& text) {
    outcome.namesStored += StoreMemberNames(text, failures);
    hooks.showStatus(QStringLiteral("已下载会员数：") + QString::number(outcome.namesStored));
  };

  if (!keyword.isEmpty() && !hooks.launcher->Ready(&reason)) {
    ShowMessage(reason);
    outcome.end = HarvestEnd::WorkerMissing;
  } else if (!keyword.isEmpty()) {
    ProgressBegin(kMemberHarvestCaption, 1);
    hooks.enterRunning();
    bool stopped = false;
    const QString firstPage = FetchFirstPage(keyword, regionValue, hooks, &stopped);
    const QString hitLine = firstPage.section(QStringLiteral("\r\n"), 0, 0);
    if (stopped) outcome.end = HarvestEnd::Stopped;
    if (!stopped && LeadingWholeNumber(firstPage) != 0) {
      outcome.pages = SearchPageCount(LeadingWholeNumber(hitLine));
      DispatchTable table(outcome.pages);
      if (outcome.pages > 0) table.PreCollect(1);
      ProgressBegin(kMemberHarvestCaption, outcome.pages);
      storePage(firstPage);
      ProgressStep(1, QStringLiteral("pages"));

      auto units = [&](int page) {
        return WorkUnit{BuildSearchUrl(keyword, regionValue, page), SearchPageResultFile(page)};
      };
      DispatchRules rules;
      rules.workerFlag = pitrel::kMemberListFlag;
      rules.deleteStaleFile = true;
      rules.stopTestFirst = true;
      rules.oneResultPerPass = true;
      Dispatcher dispatcher(rules, units, table, hooks,
                            [&](int, const QString& text) { storePage(text); });
      outcome.end = dispatcher.Run();
    }
  }

  RemoveRepeatedMembers();
  failures.Finish();
  outcome.storeFailures = failures.Count();
  hooks.leaveRunning();
  ProgressEnd();
  return outcome;
}

}  // namespace quenlo
