// A progress sink that records what the display would have shown. It is the
// active sink from its construction to its destruction.
#pragma once

#include <QString>
#include <functional>
#include <vector>

#include "ports/progress_sink.h"

namespace quenlo::testing {

struct ProgressCall {
  QString caption;
  int total;
};

class RecordingProgress final : public ProgressSink {
 public:
  RecordingProgress();
  ~RecordingProgress() override;
  RecordingProgress(const RecordingProgress&) = delete;
  RecordingProgress& operator=(const RecordingProgress&) = delete;

  void Begin(const QString& caption, int total, int& start) override;
  void Step(int count, const QString& unit) override;
  void SetPosition(int position) override;
  void End() override;

  std::vector<ProgressCall> begins;  // every Begin, in order
  QString caption;                   // of the last Begin
  int total = -1;                    // of the last Begin
  int position = 0;
  int steps = 0;  // counts stepped, over all Begins
  int ends = 0;
  bool open = false;  // between a Begin and the next End
  // What the window might do while a step pumps its events.
  std::function<void()> onStep;
};

}  // namespace quenlo::testing
