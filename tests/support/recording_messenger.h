// A messenger that records what the user would have been told and asked, and
// answers every question as the test sets. It is the active messenger from
// its construction to its destruction (then the default one is again).
#pragma once

#include <QString>
#include <QStringList>

#include "ports/messenger.h"

namespace quenlo::testing {

enum class Answer { No, Yes };

class RecordingMessenger final : public Messenger {
 public:
  explicit RecordingMessenger(Answer answer = Answer::No);
  ~RecordingMessenger() override;
  RecordingMessenger(const RecordingMessenger&) = delete;
  RecordingMessenger& operator=(const RecordingMessenger&) = delete;

  void ShowMessage(const QString& text) override;
  bool AskYesNo(const QString& text) override;

  QStringList messages;   // shown, in order
  QStringList questions;  // asked, in order
  Answer answer;          // given to every question
};

}  // namespace quenlo::testing
