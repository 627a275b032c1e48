#include "browser/address_list.h"

#include "browser/grid_operations.h"
#include "ports/messenger.h"
#include "ports/progress_sink.h"
#include "store/database.h"

namespace quenlo {

namespace {

const QString kDeletingCaption = QStringLiteral("正在删除地址记录……");

// Deletes the member's rows; what they held is added to *deleted once they are gone.
DbStatus DeleteMember(const QString& member, RowDeletion* deleted) {
  StoredRows rows;
  if (const DbStatus read = DbReadMemberRows(kContactTable, member, &rows); !read.Ok()) return read;
  const DbStatus gone = DbExecute(QStringLiteral("DELETE FROM 地址表 WHERE AName=?"), {member});
  if (gone.Ok() && deleted != nullptr) {
    deleted->stored.table = rows.table;
    deleted->stored.columns = rows.columns;
    for (QVariantList& row : rows.rows) deleted->stored.rows.push_back(std::move(row));
  }
  return gone;
}

QStringList GridRowTexts(const GridModel& grid, int row) {
  QStringList texts;
  for (int col = 0; col < grid.Cols(); ++col) texts << grid.TextMatrix(row, col);
  return texts;
}

}  // namespace

const RecordList& AddressList() {
  static const RecordList list{kContactTable, AddressFieldNames(), AddressCaptions()};
  return list;
}

const QStringList& AddressFieldNames() {
  static const QStringList names = {
      QString(),         QStringLiteral("AName"),  QStringLiteral("CName"),
      QStringLiteral("RName"), QStringLiteral("RMob"),   QStringLiteral("RPhone"),
      QStringLiteral("RFax"),  QStringLiteral("RSex"),   QStringLiteral("RJob"),
      QStringLiteral("CAddr"), QStringLiteral("CPC"),    QStringLiteral("CUrl")};
  return names;
}

const QStringList& AddressCaptions() {
  static const QStringList captions = {
      QStringLiteral("序号"), QStringLiteral("会员编号"), QStringLiteral("公司名称"),
      QStringLiteral("联系人"), QStringLiteral("手机"),   QStringLiteral("电话"),
      QStringLiteral("传真"), QStringLiteral("性别"),     QStringLiteral("职务"),
      QStringLiteral("地址"), QStringLiteral("邮编"),     QStringLiteral("网址")};
  return captions;
}

QStringList AddressSearchEntries() { return SearchEntries(AddressList()); }

QString AddressCountText(const GridModel& grid) { return RecordCountText(grid); }

void RefreshAddressList(GridModel& grid, const QString& entry, const QString& keyword,
                        const TextMeasure& measure) {
  RefreshRecordList(AddressList(), grid, entry, keyword, measure);
}

bool DeleteAddressRows(GridModel& grid, RowDeletion* deleted) {
  if (grid.Rows() <= grid.FixedRows()) return false;
  const int top = std::min(grid.Row(), grid.RowSel());
  const int bottom = std::max(grid.Row(), grid.RowSel());
  if (top < grid.FixedRows() || bottom >= grid.Rows()) return false;
  const QString question = QStringLiteral("您确定要删除第%1至第%2行？")
                               .arg(top - grid.FixedRows() + 1)
                               .arg(bottom - grid.FixedRows() + 1);
  if (!AskYesNo(question)) return false;

  // The rows are read before the first step lets the window run.
  QStringList members;
  std::vector<QStringList> rowTexts;
  for (int row = top; row <= bottom; ++row) {
    members << grid.TextMatrix(row, kMemberColumn);
    rowTexts.push_back(GridRowTexts(grid, row));
  }
  ProgressBegin(kDeletingCaption, bottom - top + 1);
  int deletedTo = top - 1;
  for (int row = top; row <= bottom; ++row) {
    const DbStatus gone = DeleteMember(members[row - top], deleted);
    if (!gone.Ok()) {
      ShowMessage(QStringLiteral("删除第%1行的记录时出错，删除已停止：%2")
                      .arg(row - grid.FixedRows() + 1)
                      .arg(gone.Message()));
      break;
    }
    deletedTo = row;
    ProgressStep(1, QStringLiteral("pages"));
  }
  if (deleted != nullptr) {
    deleted->firstRow = top;
    deleted->gridRows.assign(rowTexts.begin(), rowTexts.begin() + (deletedTo - top + 1));
  }
  int first = top;
  int last = deletedTo;
  if (last >= first) GridDeleteRows(grid, first, last, false);
  ProgressEnd();
  return true;
}

}  // namespace quenlo
