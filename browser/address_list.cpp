#include "browser/address_list.h"

#include <QRegularExpression>

#include "browser/grid_operations.h"
#include "ports/messenger.h"
#include "ports/progress_sink.h"
#include "store/database.h"

namespace quenlo {

namespace {

const QString kDeletingCaption = QStringLiteral("正在删除地址记录……");

// The column of an entry such as "02:公司名称": its leading digits (0 when none).
int EntryColumn(const QString& entry) {
  int digits = 0;
  while (digits < entry.size() && entry[digits].isDigit()) ++digits;
  return entry.left(digits).toInt();
}

// The field a search entry filters on: the grid's field-name row as it stands,
// or the address list's own column when the grid shows something else.
QString SearchField(const GridModel& grid, int column) {
  const QString shown = grid.TextMatrix(0, column);
  if (IsKnownColumn(kContactTable, shown)) return shown;
  const QString own = column > 0 ? AddressFieldNames().value(column) : QString();
  return IsKnownColumn(kContactTable, own) ? own : QString();
}

}  // namespace

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

QStringList AddressSearchEntries() {
  QStringList entries;
  for (int i = 1; i < AddressCaptions().size(); ++i) {
    entries << QStringLiteral("%1:%2").arg(i, 2, 10, QLatin1Char('0')).arg(AddressCaptions()[i]);
  }
  return entries;
}

QString AddressCountText(const GridModel& grid) {
  return QStringLiteral("共%1条记录").arg(GridDataRowCount(grid));
}

QString EscapeLikePattern(const QString& text) {
  QString escaped = text;
  escaped.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
  escaped.replace(QLatin1Char('%'), QStringLiteral("\\%"));
  escaped.replace(QLatin1Char('_'), QStringLiteral("\\_"));
  return escaped;
}

void RefreshAddressList(GridModel& grid, const QString& entry, const QString& keyword,
                        const TextMeasure& measure) {
  QString where;
  QVariantList params;
  bool searchable = true;
  if (!entry.isEmpty() && !keyword.isEmpty()) {
    const QString field = SearchField(grid, EntryColumn(entry));
    searchable = !field.isEmpty();
    where = field + QStringLiteral(" LIKE ? ESCAPE '\\'");
    params << QStringLiteral("%") + EscapeLikePattern(keyword) + QStringLiteral("%");
  }
  GridSetupColumns(grid, AddressFieldNames(), AddressCaptions());
  grid.SetFixedCols(1);
  grid.SetTag(kContactTable);
  if (searchable) {
    GridLoadTable(grid, where, QStringLiteral("ID ASC"), measure, params);
  } else {
    // An entry naming no column of the table finds nothing.
    GridAutoFitColumns(measure, grid, 2, false);
  }
}

bool DeleteAddressRows(GridModel& grid) {
  if (grid.Rows() <= grid.FixedRows()) return false;
  const int top = std::min(grid.Row(), grid.RowSel());
  const int bottom = std::max(grid.Row(), grid.RowSel());
  if (top < grid.FixedRows() || bottom >= grid.Rows()) return false;
  const QString question = QStringLiteral("您确定要删除第%1至第%2行？")
                               .arg(top - grid.FixedRows() + 1)
                               .arg(bottom - grid.FixedRows() + 1);
  if (!AskYesNo(question)) return false;

  // The members are read before the first step lets the window run.
  QStringList members;
  for (int row = top; row <= bottom; ++row) members << grid.TextMatrix(row, 1);
  ProgressBegin(kDeletingCaption, bottom - top + 1);
  int deletedTo = top - 1;
  for (int row = top; row <= bottom; ++row) {
    const DbStatus deleted =
        DbExecute(QStringLiteral("DELETE FROM 地址表 WHERE AName=?"), {members[row - top]});
    if (!deleted.Ok()) {
      ShowMessage(QStringLiteral("删除第%1行的记录时出错，删除已停止：%2")
                      .arg(row - grid.FixedRows() + 1)
                      .arg(deleted.Message()));
      break;
    }
    deletedTo = row;
    ProgressStep(1, QStringLiteral("pages"));
  }
  int first = top;
  int last = deletedTo;
  if (last >= first) GridDeleteRows(grid, first, last, false);
  ProgressEnd();
  return true;
}

}  // namespace quenlo
