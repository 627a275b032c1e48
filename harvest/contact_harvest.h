// The contact harvest: for every member whose company name is still empty,
// fetch the contact page and write the ten contact fields into its row.
#pragma once

#include "harvest/harvest_hooks.h"
#include "harvest/member_pages.h"
#include "store/db_status.h"

#include <QString>
#include <QStringList>

namespace quenlo {

inline const QString kContactHarvestCaption = QStringLiteral("正在下载阿里会员联系方式……");
inline const QString kContactStartCaption = QStringLiteral("下载会员地址");
inline const QString kContactStopCaption = QStringLiteral("中止地址下载");
inline const QString kNoContactsToFetch =
    QStringLiteral("没有需要下载地址的会员，请先用“下载阿里会员名”下载需要的会员名称。");

// Members of 地址表 without a company name, in table order; names that are
// not safe to use are left out.
QStringList LoadContactWorkList();

// Writes a tagged contact result ("家具", member, then the ten fields, joined
// by the field separator) into the member's row. Any other number of parts
// than twelve stores nothing.
DbStatus StoreContact(const QString& taggedResult);

using ContactHarvestOutcome = MemberPagesOutcome;

ContactHarvestOutcome HarvestContacts(HarvestHooks& hooks);

}  // namespace quenlo
