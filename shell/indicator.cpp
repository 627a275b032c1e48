#include "shell/indicator.h"

#include "ports/event_pump.h"
#include "widgets/form_helpers.h"

#include <QLabel>
#include <QPainter>

namespace quenlo {
namespace {

void Place(QWidget& w, int left, int top, int width, int height) {
  w.setGeometry(ToPixelsX(left, &w), ToPixelsY(top, &w), ToPixelsX(width, &w),
                ToPixelsY(height, &w));
}

QLabel* MakeLabel(QWidget* parent, const QString& text, Qt::Alignment align, const char* color) {
  auto* label = new QLabel(text, parent);
  label->setAlignment(align | Qt::AlignVCenter);
  label->setStyleSheet(QStringLiteral("color: %1; background: transparent;").arg(color));
  return label;
}

}  // namespace

ProgressBar::ProgressBar(QWidget* parent) : QWidget(parent) {}

void ProgressBar::Clear() {
  drawn_ = 0;
  update();
}

void ProgressBar::DrawUpTo(double fraction) {
  if (fraction <= drawn_) return;  // what is drawn stays until Clear()
  drawn_ = fraction;
  update();
}

void ProgressBar::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().window());
  const int width = int(std::min(drawn_, 1.0) * this->width());
  painter.fillRect(0, 0, width, height(), QColor(0, 0, 255));
}

Indicator::Indicator() {
  setObjectName(QStringLiteral("Indicator"));
  setWindowTitle(QString::fromUtf8(kIndicatorTitle));
  setAttribute(Qt::WA_ShowWithoutActivating);
  setFixedSize(ToPixelsX(8715, this), ToPixelsY(720, this));

  lbl_ = MakeLabel(this, QStringLiteral("进度条指示器"), Qt::AlignLeft, "blue");
  lbl_->setObjectName(QStringLiteral("LBL"));
  Place(*lbl_, 75, 105, 8565, 255);
  l1_ = MakeLabel(this, QString(), Qt::AlignRight, "red");
  l1_->setObjectName(QStringLiteral("L1"));
  Place(*l1_, 2850, 105, 5805, 255);
  pic_ = new ProgressBar(this);
  pic_->setObjectName(QStringLiteral("Pic"));
  Place(*pic_, 60, 360, 8580, 285);

  percent_ = MakeLabel(pic_, QStringLiteral("0%"), Qt::AlignHCenter, "red");
  percent_->setObjectName(QStringLiteral("Percent"));
  QFont bold = percent_->font();
  bold.setFamilies({QStringLiteral("SimSun"), QStringLiteral("WenQuanYi Micro Hei")});
  bold.setPointSize(12);
  bold.setBold(true);
  percent_->setFont(bold);
  percent_->setGeometry(pic_->rect());
  l2_ = MakeLabel(pic_, QString(), Qt::AlignRight, "black");
  l2_->setObjectName(QStringLiteral("L2"));
  l2_->setGeometry(pic_->rect().adjusted(0, 0, -4, 0));
}

IndicatorProgress::IndicatorProgress(ProgressText::Clock clock) : text_(std::move(clock)) {}

IndicatorProgress::~IndicatorProgress() { delete window_.data(); }

Indicator& IndicatorProgress::EnsureWindow() {
  if (!window_) {
    window_ = new Indicator;
    CenterForm(*window_);
    SetTopMost(*window_);
  }
  return *window_;
}

void IndicatorProgress::Begin(const QString& caption, int total, int& start) {
  text_.Begin(caption, total, start);
  Indicator& window = EnsureWindow();
  window.Lbl()->setText(caption);
  ActivePump().ProcessPendingExceptInput();
  window.Pic()->Clear();
  SetPosition(start);
  window.show();
  ActivePump().ProcessPendingExceptInput();
}

void IndicatorProgress::Step(int count, const QString& unit) {
  const ProgressText::StepTexts texts = text_.Step(count, unit);
  Indicator& window = EnsureWindow();
  window.Percent()->setText(texts.percent);
  if (texts.caption) window.Lbl()->setText(*texts.caption);
  if (texts.counts) window.L1()->setText(*texts.counts);
  if (texts.times) window.L2()->setText(*texts.times);
  SetPosition(text_.Position());
}

void IndicatorProgress::SetPosition(int position) {
  text_.SetPosition(position);
  EnsureWindow().Pic()->DrawUpTo(text_.Fraction());
  ActivePump().ProcessPendingExceptInput();
}

void IndicatorProgress::End() {
  // Closed for good: the next operation opens a fresh, centred window
  // rather than one still showing this operation's figures.
  if (window_) {
    window_->close();
    delete window_.data();
  }
  ActivePump().ProcessPending();
}

}  // namespace quenlo
