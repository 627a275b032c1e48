#include "shell/terminal_progress.h"

#include "ports/event_pump.h"

#include <unistd.h>
#include <QStringList>
#include <algorithm>

namespace quenlo {

TerminalProgress::TerminalProgress(std::FILE* out, ProgressText::Clock clock, Style style)
    : out_(out),
      text_(std::move(clock)),
      rewrite_(style == Style::Rewrite || (style == Style::Auto && isatty(fileno(out)))) {}

void TerminalProgress::Begin(const QString& caption, int total, int& start) {
  text_.Begin(caption, total, start);
  open_ = true;
  lastLoggedTenth_ = -1;
  Redraw();
  ActivePump().ProcessPending();
}

void TerminalProgress::Step(int count, const QString& unit) {
  const ProgressText::StepTexts texts = text_.Step(count, unit);
  percent_ = texts.percent;
  if (texts.counts) counts_ = *texts.counts;
  if (texts.times) times_ = *texts.times;
  Redraw();
  ActivePump().ProcessPending();
}

void TerminalProgress::SetPosition(int position) {
  text_.SetPosition(position);
  ActivePump().ProcessPending();
}

void TerminalProgress::End() {
  if (open_ && rewrite_) {
    std::fputc('\n', out_);
    std::fflush(out_);
  }
  open_ = false;
  lastWidth_ = 0;
  ActivePump().ProcessPending();
}

QString TerminalProgress::Line() const {
  QStringList parts{text_.Caption(), percent_};
  if (!counts_.isEmpty()) parts << counts_;
  if (!times_.isEmpty()) parts << times_;
  return parts.join(QLatin1String("  "));
}

void TerminalProgress::Redraw() {
  if (!open_) return;
  const QString line = Line();
  if (!rewrite_) return WriteLogLine(line);
  // Blanks overwrite what a longer previous line left behind.
  const int pad = std::max(0, lastWidth_ - static_cast<int>(line.size()));
  lastWidth_ = static_cast<int>(line.size());
  std::fprintf(out_, "\r%s%*s", line.toLocal8Bit().constData(), pad, "");
  std::fflush(out_);
}

void TerminalProgress::WriteLogLine(const QString& line) {
  const int tenth = static_cast<int>(std::clamp(text_.Fraction(), 0.0, 1.0) * 10);
  if (tenth == lastLoggedTenth_) return;
  lastLoggedTenth_ = tenth;
  std::fprintf(out_, "%s\n", line.toLocal8Bit().constData());
  std::fflush(out_);
}

}  // namespace quenlo
