// Helpers shared by the export tests: a recording messenger and progress
// sink installed for one test, a save dialog that answers with a given name,
// and grids laid out like the address list.
#pragma once

#include <QString>
#include <QStringList>

#include "browser/address_list.h"
#include "browser/grid_model.h"
#include "browser/grid_operations.h"
#include "export/export_records.h"
#include "ports/messenger.h"
#include "ports/progress_sink.h"

namespace quenlo::testing {

class RecordingMessenger final : public Messenger {
 public:
  RecordingMessenger() { SetActiveMessenger(this); }
  ~RecordingMessenger() override { SetActiveMessenger(nullptr); }
  void ShowMessage(const QString& text) override { messages.append(text); }
  bool AskYesNo(const QString& text) override {
    questions.append(text);
    return answer;
  }
  QStringList messages;
  QStringList questions;
  bool answer = false;
};

class RecordingProgress final : public ProgressSink {
 public:
  RecordingProgress() { SetActiveProgress(this); }
  ~RecordingProgress() override { SetActiveProgress(nullptr); }
  void Begin(const QString& text, int total_, int& start) override {
    caption = text;
    total = total_;
    position = start;
    open = true;
  }
  void Step(int count, const QString&) override { position += count; }
  void SetPosition(int p) override { position = p; }
  void End() override { open = false; }
  QString caption;
  int total = -1;
  int position = 0;
  bool open = false;
};

class GivenFileName final : public SaveFileAsker {
 public:
  explicit GivenFileName(QString name) : name_(std::move(name)) {}
  QString AskSaveFileName(const QStringList& filters_) override {
    ++asked;
    filters = filters_;
    return name_;
  }
  int asked = 0;
  QStringList filters;

 private:
  QString name_;
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
