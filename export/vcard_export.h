// vCard exports of the address list: one card per row the grid shows, or per
// record of 地址表, written under a temporary name and put in place only
// when complete (as the CSV exports are).
#pragma once

#include <QIODevice>
#include <QString>

#include "export/phone_numbers.h"

namespace quenlo {

class GridModel;

// One card per visible data row, the fields found by the grid's field-name
// row, with progress. False when a write fails.
bool WriteGridVCards(const GridModel& grid, QIODevice& device,
                     PhoneStyle phones = PhoneStyle::kInternational);

// These show "文件保存出错！" and leave the target as it was when they fail.
bool ExportGridToVCard(const GridModel& grid, const QString& fileName,
                       PhoneStyle phones = PhoneStyle::kInternational);
// Every record of table (地址表: the program's own tables only) in the base's
// order; an empty table writes nothing and says "表格中没有数据！".
bool ExportTableToVCard(const QString& table, const QString& fileName,
                        PhoneStyle phones = PhoneStyle::kInternational);

}  // namespace quenlo
