#include "tests/support/recording_progress.h"

namespace quenlo::testing {

RecordingProgress::RecordingProgress() { SetActiveProgress(this); }

RecordingProgress::~RecordingProgress() { SetActiveProgress(nullptr); }

void RecordingProgress::Begin(const QString& text, int count, int& start) {
  begins.push_back({text, count});
  caption = text;
  total = count;
  if (start < 0) start = position;
  position = start;
  open = true;
}

void RecordingProgress::Step(int count, const QString&) {
  position += count;
  steps += count;
  if (onStep) onStep();
}

void RecordingProgress::SetPosition(int to) { position = to; }

void RecordingProgress::End() {
  ++ends;
  open = false;
}

}  // namespace quenlo::testing
