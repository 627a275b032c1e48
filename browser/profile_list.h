// The profile list: 介绍表, the facts the profile harvest takes from each
// member's company-profile page, in the record grid of its own tab.
#pragma once

#include "browser/record_list.h"

namespace quenlo {

// 介绍表 with its fifteen grid columns: the row number, the member name, then
// the profile's facts under the labels of the profile page.
const RecordList& ProfileList();

}  // namespace quenlo
