// The query that the query window hands to the member-name harvest, and the
// remembered last query (settings Return_Str1 / Return_Str2).
#pragma once

#include "harvest/worker_protocol.h"

#include <QString>

namespace quenlo {

inline const QString kQueryWindowCaption = QStringLiteral("请输入查询条件");
inline const QString kDefaultKeyword = QStringLiteral("网络");
inline const QString kDefaultRegionEntry = QStringLiteral("浙江");
inline const QString kEmptyKeywordMessage = QStringLiteral("关键词不能为空！");
// The worker's command line separates its fields with this character.
inline const QString kKeywordSeparatorMessage =
    QStringLiteral("关键词不能包含“") + kCommandSeparator + QStringLiteral("”！");

// The confirmed, trimmed keyword; empty unless the last opening was confirmed.
QString& QueryKeyword();
// The region value of the confirmed entry; empty unless confirmed.
QString& QueryRegionValue();

struct RememberedQuery {
  QString keyword;      // empty when none was confirmed yet
  QString regionEntry;  // the entry as the list shows it
};
RememberedQuery LoadRememberedQuery();

// Why a keyword cannot be searched for (empty, or holding the worker's field
// separator); an empty text when it can.
QString KeywordProblem(const QString& keyword);
// Confirms a query: false when the trimmed keyword has a problem (nothing is
// changed then). Otherwise sets the hand-back values and remembers the query.
bool ConfirmQuery(const QString& keyword, const QString& regionEntry);
// A new opening of the window: the hand-back values are cleared.
void ClearQuery();

}  // namespace quenlo
