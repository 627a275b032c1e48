// The shared progress window: a caption, the counts, a blue bar with the
// percentage and the times. IndicatorProgress drives it as the active
// ProgressSink of the window program; at most one such window exists.
#pragma once

#include "ports/progress_sink.h"
#include "shell/progress_text.h"

#include <QPointer>
#include <QWidget>

class QLabel;

namespace quenlo {

inline constexpr char kIndicatorTitle[] = "请稍侯 …";

// The bar: a blue rectangle that only grows until Clear().
class ProgressBar final : public QWidget {
  Q_OBJECT
 public:
  explicit ProgressBar(QWidget* parent = nullptr);
  void Clear();
  void DrawUpTo(double fraction);  // of the bar's width; may exceed 1
  double Drawn() const { return drawn_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  double drawn_ = 0;
};

class Indicator final : public QWidget {
  Q_OBJECT
 public:
  Indicator();
  QLabel* Lbl() const { return lbl_; }
  QLabel* L1() const { return l1_; }
  QLabel* L2() const { return l2_; }
  QLabel* Percent() const { return percent_; }
  ProgressBar* Pic() const { return pic_; }

 private:
  QLabel* lbl_;
  QLabel* l1_;
  ProgressBar* pic_;
  QLabel* percent_;
  QLabel* l2_;
};

class IndicatorProgress final : public ProgressSink {
 public:
  explicit IndicatorProgress(ProgressText::Clock clock = &ProgressText::SystemSeconds);
  ~IndicatorProgress() override;

  void Begin(const QString& caption, int total, int& start) override;
  void Step(int count, const QString& unit) override;
  void SetPosition(int position) override;
  void End() override;

  Indicator* Window() const { return window_; }  // null until first needed
  const ProgressText& Text() const { return text_; }

 private:
  Indicator& EnsureWindow();

  ProgressText text_;
  QPointer<Indicator> window_;
};

}  // namespace quenlo
