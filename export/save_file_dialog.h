// The save dialog of the export commands: the window's common file dialog.
#pragma once

#include "export/export_records.h"

class QWidget;

namespace quenlo {

class SaveFileDialog final : public SaveFileAsker {
 public:
  explicit SaveFileDialog(QWidget* parent) : parent_(parent) {}
  QString AskSaveFileName(const QStringList& filters) override;

 private:
  QWidget* parent_;
};

}  // namespace quenlo
