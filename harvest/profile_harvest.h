// The company-profile harvest: for every member whose introduction is still
// empty, fetch the profile page and write thirteen columns of 介绍表.
#pragma once

#include "harvest/harvest_hooks.h"
#include "harvest/member_pages.h"
#include "store/db_status.h"

#include <QString>
#include <QStringList>

namespace quenlo {

inline const QString kProfileHarvestCaption = QStringLiteral("正在下载阿里会员企业介绍……");

// Members of 介绍表 without an introduction, in table order; names that are
// not safe to use are left out.
QStringList LoadProfileWorkList();

// Writes a tagged profile result (member, then the profile fields, joined by
// the field separator); missing fields are stored as empty text.
DbStatus StoreProfile(const QString& taggedResult);

using ProfileHarvestOutcome = MemberPagesOutcome;

ProfileHarvestOutcome HarvestProfiles(HarvestHooks& hooks);

}  // namespace quenlo
