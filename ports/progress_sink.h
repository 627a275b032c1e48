// The one shared progress display of every long operation. The window draws it,
// the command line prints it as a line on stderr, tests record it.
// All calls come from the window thread.
#pragma once

#include <QString>

namespace quenlo {

class ProgressSink {
 public:
  virtual ~ProgressSink() = default;
  // Opens or refreshes the display. A negative start continues from the
  // remembered position and hands that position back through start.
  virtual void Begin(const QString& caption, int total, int& start) = 0;
  // Advances by count. unit "pages" (any case) refreshes the count and time
  // texts, an empty unit changes no text, any other unit becomes the caption.
  virtual void Step(int count, const QString& unit) = 0;
  virtual void SetPosition(int position) = 0;
  virtual void End() = 0;
};

// The sink in force; never null (the default one only keeps the numbers).
ProgressSink& ActiveProgress();
void SetActiveProgress(ProgressSink* sink);  // nullptr restores the default

inline void ProgressBegin(const QString& caption, int total, int& start) {
  ActiveProgress().Begin(caption, total, start);
}
inline void ProgressBegin(const QString& caption, int total) {
  int start = 0;
  ActiveProgress().Begin(caption, total, start);
}
inline void ProgressStep(int count, const QString& unit) { ActiveProgress().Step(count, unit); }
inline void ProgressSetPosition(int position) { ActiveProgress().SetPosition(position); }
inline void ProgressEnd() { ActiveProgress().End(); }

}  // namespace quenlo
