// Messages of the window program: a message box with OK, questions with Yes and No.
#pragma once

#include "ports/messenger.h"

namespace quenlo {

class MessageBoxMessenger final : public Messenger {
 public:
  void ShowMessage(const QString& text) override;
  bool AskYesNo(const QString& text) override;
};

}  // namespace quenlo
