// The progress display of the command line: one line on a terminal stream,
// rewritten in place at every call, ended with a line break at End().
#pragma once

#include "shell/ports/progress_sink.h"
#include "shell/progress_text.h"

#include <cstdio>

namespace quenlo {

class TerminalProgress final : public ProgressSink {
 public:
  explicit TerminalProgress(std::FILE* out = stderr,
                            ProgressText::Clock clock = &ProgressText::SystemSeconds);

  void Begin(const QString& caption, int total, int& start) override;
  void Step(int count, const QString& unit) override;
  void SetPosition(int position) override;
  void End() override;

  // The line as it stands now (without the carriage return).
  QString Line() const;

 private:
  void Redraw();

  std::FILE* out_;
  ProgressText text_;
  QString percent_ = QStringLiteral("0%");
  QString counts_;
  QString times_;
  int lastWidth_ = 0;
  bool open_ = false;
};

}  // namespace quenlo
