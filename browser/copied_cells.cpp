#include "browser/copied_cells.h"

#include <QStringList>
#include <algorithm>
#include <functional>

#include "browser/grid_operations.h"

namespace quenlo {
namespace {

QString TabField(QString text) {
  static const QString kSpecial = QStringLiteral("\t\r\n\"");
  if (std::none_of(text.cbegin(), text.cend(), [](QChar c) { return kSpecial.contains(c); }))
    return text;
  return u'"' + text.replace(u'"', QStringLiteral("\"\"")) + u'"';
}

QString TabLine(const CellBlock& block, const std::function<QString(int col)>& cell) {
  QStringList fields;
  for (int col = block.left; col <= block.right; ++col) fields << TabField(cell(col));
  return fields.join(u'\t') + u'\n';
}

}  // namespace

QString CopiedCellsText(const GridModel& grid, const CellBlock& block) {
  if (block.bottom < block.top || block.right < block.left) return {};
  const int captionRow = grid.FixedRows() - 1;
  QString text = TabLine(
      block, [&](int col) { return CaptionWithoutSortMark(grid.TextMatrix(captionRow, col)); });
  for (int row = block.top; row <= block.bottom; ++row) {
    text += TabLine(block, [&](int col) { return grid.TextMatrix(row, col); });
  }
  return text;
}

}  // namespace quenlo
