// How windowless logic speaks to the user: the window turns these into message
// boxes, the command line into stderr lines, and tests record them.
#pragma once

#include <QString>

namespace quenlo {

class Messenger {
 public:
  virtual ~Messenger() = default;
  // A message with an OK button only.
  virtual void ShowMessage(const QString& text) = 0;
  // A question with Yes and No; true means Yes.
  virtual bool AskYesNo(const QString& text) = 0;
};

// The messenger in force; never null (the default one writes to stderr and answers No).
Messenger& ActiveMessenger();
// Installs a messenger (nullptr restores the default). The caller keeps ownership.
void SetActiveMessenger(Messenger* messenger);

inline void ShowMessage(const QString& text) { ActiveMessenger().ShowMessage(text); }
inline bool AskYesNo(const QString& text) { return ActiveMessenger().AskYesNo(text); }

}  // namespace quenlo
