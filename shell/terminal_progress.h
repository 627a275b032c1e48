// The progress display of the command line: on a terminal one line,
// rewritten in place at every call and ended with a line break at End(); into
// a log or a pipe whole lines, one per tenth of the way, so logs stay short.
#pragma once

#include "ports/progress_sink.h"
#include "shell/progress_text.h"

#include <cstdio>

namespace quenlo {

class TerminalProgress final : public ProgressSink {
 public:
  enum class Style { Auto, Rewrite, Log };  // Auto: Rewrite on a terminal, else Log

  explicit TerminalProgress(std::FILE* out = stderr,
                            ProgressText::Clock clock = &ProgressText::SystemSeconds,
                            Style style = Style::Auto);

  void Begin(const QString& caption, int total, int& start) override;
  void Step(int count, const QString& unit) override;
  void SetPosition(int position) override;
  void End() override;

  // The line as it stands now (without the carriage return).
  QString Line() const;

 private:
  void Redraw();
  void WriteLogLine(const QString& line);

  std::FILE* out_;
  ProgressText text_;
  QString percent_ = QStringLiteral("0%");
  QString counts_;
  QString times_;
  int lastWidth_ = 0;
  bool open_ = false;
  bool rewrite_;
  int lastLoggedTenth_ = -1;
};

}  // namespace quenlo
