#include "harvest/member_harvest.h"

#include "harvest/dispatch_pass.h"
#include "harvest/harvest_log.h"
#include "harvest/marketplace_urls.h"
#include "harvest/member_name.h"
#include "harvest/worker_launcher.h"
#include "harvest/worker_protocol.h"
#include "ports/messenger.h"
#include "ports/progress_sink.h"
#include "store/database.h"
#include "store/marketplace_settings.h"

#include <climits>

namespace quenlo {

namespace {

const QString kLineBreak = QStringLiteral("\r\n");

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

// A name enters each table that does not hold it yet, both or neither: a
// harvest killed midway leaves no repeat behind.
DbStatus InsertMemberName(const QString& name) {
  DbTransaction bothTables;
  DbStatus status = bothTables.Begin();
  for (const QString& table : {kContactTable, kProfileTable}) {
    if (status.Ok())
      status = DbExecute("INSERT INTO " + table + "(AName) SELECT ? WHERE NOT EXISTS (SELECT 1 FROM " +
                             table + " WHERE AName=?)",
                         {name, name});
  }
  return status.Ok() ? bothTables.Commit() : status;
}

// What one search is fetching: its pages grow from one once the first page
// tells the hit count.
class MemberSearch {
 public:
  MemberSearch(const QString& keyword, const QString& regionValue, HarvestHooks& hooks,
               MemberHarvestOutcome& outcome)
      : keyword_(keyword), regionValue_(regionValue), hooks_(hooks), outcome_(outcome),
        host_(MarketplaceHostsInForce().search) {}

  void Run() {
    DispatchRules rules;
    rules.workerFlag = pitrel::kMemberListFlag;
    rules.deleteStaleFile = true;
    rules.stopTestFirst = true;
    rules.oneResultPerPass = true;
    Dispatcher dispatcher(
        rules, [this](int page) { return Unit(page); }, table_, hooks_,
        [this](int page, const QString& text) { return Store(page, text); });
    outcome_.end = dispatcher.Run();
    outcome_.tally = dispatcher.Tally();
  }

 private:
  WorkUnit Unit(int page) const {
    return {BuildSearchUrl(keyword_, regionValue_, page), SearchPageResultFile(page), host_, {}};
  }

  DbStatus Store(int page, const QString& text) {
    // A first page without a leading hit count lists nothing worth storing.
    if (page == 1 && LeadingWholeNumber(text) == 0) return {};
    if (page == 1) Plan(LeadingWholeNumber(text.section(kLineBreak, 0, 0)));
    PageNames names = StoreMemberNames(text);
    outcome_.namesStored += names.stored;
    outcome_.pagesCut += names.cut;
    hooks_.showStatus(QStringLiteral("已下载会员数：") + QString::number(outcome_.namesStored));
    return names.status;
  }

  void Plan(int hits) {
    const int pages = SearchPageCount(hits);
    outcome_.pages = std::min(pages, hooks_.searchPageCap);
    if (pages > outcome_.pages)
      ShowMessage(QStringLiteral("搜索结果称有 %1 条，共 %2 页；只下载前 %3 页（设置 Max_Search_Pages）。")
                      .arg(hits)
                      .arg(pages)
                      .arg(outcome_.pages));
    table_.Extend(outcome_.pages);
    ProgressBegin(kMemberHarvestCaption, outcome_.pages);
  }

  QString keyword_;
  QString regionValue_;
  HarvestHooks& hooks_;
  MemberHarvestOutcome& outcome_;
  QString host_;
  DispatchTable table_{1};
};

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

PageNames StoreMemberNames(const QString& resultText) {
  QStringList names = resultText.split(kLineBreak).mid(1);
  PageNames page;
  page.cut = names.size() > kMaxNamesPerPage;
  names = names.mid(0, kMaxNamesPerPage);
  // A page's names go in under one commit: forty names cost one sync, not eighty.
  DbTransaction pageCommit;
  page.status = pageCommit.Begin();
  for (const QString& name : names) {
    if (!page.status.Ok()) break;
    if (!IsSafeMemberName(name)) continue;
    page.status = InsertMemberName(name);
    page.stored += page.status.Ok();
  }
  if (page.status.Ok()) page.status = pageCommit.Commit();
  if (!page.status.Ok()) page.stored = 0;
  return page;
}

MemberHarvestOutcome HarvestMemberNames(const QString& keyword, const QString& regionValue,
                                        HarvestHooks& hooks) {
  MemberHarvestOutcome outcome;
  QString reason;
  if (!keyword.isEmpty() && !hooks.launcher->Ready(&reason)) {
    ShowMessage(reason);
    outcome.end = HarvestEnd::WorkerMissing;
  } else if (!keyword.isEmpty()) {
    ProgressBegin(kMemberHarvestCaption, 1);
    hooks.enterRunning();
    MemberSearch(keyword, regionValue, hooks, outcome).Run();
    if (outcome.pagesCut > 0)
      ShowMessage(QStringLiteral("有 %1 页列出的会员名多于 %2 个，每页只保存了前 %2 个。")
                      .arg(outcome.pagesCut)
                      .arg(kMaxNamesPerPage));
    LogHarvest(QStringLiteral("members"), outcome.tally);
  }

  RemoveRepeatedMembers();
  hooks.leaveRunning();
  ProgressEnd();
  return outcome;
}

}  // namespace quenlo
