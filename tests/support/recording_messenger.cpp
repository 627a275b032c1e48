#include "tests/support/recording_messenger.h"

namespace quenlo::testing {

RecordingMessenger::RecordingMessenger(Answer answer) : answer(answer) { SetActiveMessenger(this); }

RecordingMessenger::~RecordingMessenger() { SetActiveMessenger(nullptr); }

void RecordingMessenger::ShowMessage(const QString& text) { messages.append(text); }

bool RecordingMessenger::AskYesNo(const QString& text) {
  questions.append(text);
  return answer == Answer::Yes;
}

}  // namespace quenlo::testing
