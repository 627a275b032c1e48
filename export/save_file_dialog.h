// The save dialog of the export commands: the window's common file dialog.
#pragma once

#include "export/export_records.h"

#include <QString>

class QWidget;

namespace quenlo {

// Where the save dialog opens: the folder of this session's last export,
// else the user's documents folder, else the home folder.
QString ExportStartDirectory();
void RememberExportDirectory(const QString& fileName);

class SaveFileDialog final : public SaveFileAsker {
 public:
  explicit SaveFileDialog(QWidget* parent) : parent_(parent) {}
  SaveFileChoice AskSaveFileName(const QStringList& filters, const QString& selected) override;

 private:
  QWidget* parent_;
};

}  // namespace quenlo
