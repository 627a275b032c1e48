// Helpers shared by the export tests: the recording doubles of the ports, a
// save dialog that answers with a given name, and grids laid out like the
// address list.
#pragma once

#include <QString>
#include <QStringList>

#include "browser/address_list.h"
#include "browser/grid_model.h"
#include "browser/grid_operations.h"
#include "export/export_records.h"
#include "export/export_target.h"
#include "tests/support/recording_messenger.h"
#include "tests/support/recording_progress.h"

namespace quenlo::testing {

// A save dialog answering with name, under filter (when none is given, the
// filter the dialog opened with).
class GivenFileName final : public SaveFileAsker {
 public:
  explicit GivenFileName(QString name, QString filter = {})
      : name_(std::move(name)), filter_(std::move(filter)) {}
  SaveFileChoice AskSaveFileName(const QStringList& filters_, const QString& selected_) override {
    ++asked;
    filters = filters_;
    selected = selected_;
    return {name_, filter_.isEmpty() ? selected_ : filter_};
  }
  int asked = 0;
  QStringList filters;
  QString selected;

 private:
  QString name_;
  QString filter_;
};

// The address list's header rows plus one data row per entry of rows; each
// entry gives the texts of columns 1.. (the row number is filled in).
inline void FillAddressGrid(GridModel& grid, const QList<QStringList>& rows) {
  GridSetupColumns(grid, AddressFieldNames(), AddressCaptions());
  grid.SetFixedCols(1);
  grid.SetTag(QStringLiteral("地址表"));
  for (const QStringList& texts : rows) {
    const int row = grid.Rows();
    grid.SetRows(row + 1);
    grid.SetTextMatrix(row, 0, QString::number(row - 1));
    for (int i = 0; i < texts.size(); ++i) grid.SetTextMatrix(row, i + 1, texts[i]);
  }
}

}  // namespace quenlo::testing
