#include "shell/message_box_messenger.h"

#include <QApplication>
#include <QMessageBox>

namespace quenlo {
namespace {
const QString kTitle = QStringLiteral("Quenlo");
}

void MessageBoxMessenger::ShowMessage(const QString& text) {
  QMessageBox::information(QApplication::activeWindow(), kTitle, text);
}

bool MessageBoxMessenger::AskYesNo(const QString& text) {
  return QMessageBox::question(QApplication::activeWindow(), kTitle, text,
                               QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

}  // namespace quenlo
