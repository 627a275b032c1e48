#include "export/save_file_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

namespace quenlo {

namespace {
QString& LastExportDirectory() {
  static QString directory;
  return directory;
}
}  // namespace

QString ExportStartDirectory() {
  // Not the current directory: the window program works in its own hidden
  // work directory, where an export would be lost among the workers' files.
  if (!LastExportDirectory().isEmpty() && QFileInfo(LastExportDirectory()).isDir())
    return LastExportDirectory();
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

void RememberExportDirectory(const QString& fileName) {
  if (!fileName.isEmpty()) LastExportDirectory() = QFileInfo(fileName).absolutePath();
}

SaveFileChoice SaveFileDialog::AskSaveFileName(const QStringList& filters,
                                               const QString& selected) {
  // The export asks about an existing file itself (once it has added the
  // ending), so the dialog hands the name back as typed.
  QString filter = selected;
  const QString fileName = QFileDialog::getSaveFileName(
      parent_, QStringLiteral("另存为"), ExportStartDirectory(), filters.join(QStringLiteral(";;")),
      &filter, QFileDialog::DontConfirmOverwrite);
  RememberExportDirectory(fileName);
  return {fileName, filter};
}

}  // namespace quenlo
