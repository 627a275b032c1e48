#include "export/save_file_dialog.h"

#include <QFileDialog>

namespace quenlo {

QString SaveFileDialog::AskSaveFileName(const QStringList& filters) {
  // The export asks about an existing file itself, and the name stays as typed.
  return QFileDialog::getSaveFileName(parent_, QStringLiteral("另存为"), QString(),
                                      filters.join(QStringLiteral(";;")), nullptr,
                                      QFileDialog::DontConfirmOverwrite);
}

}  // namespace quenlo
