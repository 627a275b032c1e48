#include "shell/about_window.h"

#include "shell/help_links.h"
#include "shell/url_opener.h"
#include "widgets/form_helpers.h"

#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace quenlo {
namespace {

// The maker's emblem, drawn rather than shipped so nothing has to be found at run time.
QPixmap DrawEmblem() {
  QPixmap pixmap(96, 96);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setBrush(QColor(0xFF, 0xC0, 0xC0).darker(110));
  painter.setPen(Qt::NoPen);
  painter.drawRoundedRect(4, 4, 88, 88, 18, 18);
  painter.setBrush(QColor(0x1F, 0x4E, 0xA8));
  painter.drawEllipse(QPointF(48, 44), 26, 26);
  painter.setPen(QPen(Qt::white, 8, Qt::SolidLine, Qt::RoundCap));
  painter.drawLine(QPointF(58, 56), QPointF(76, 78));
  painter.setBrush(QColor(0xFF, 0xF3, 0xE0));
  painter.setPen(Qt::NoPen);
  painter.drawEllipse(QPointF(48, 44), 14, 14);
  return pixmap;
}

class SiteLink final : public QLabel {
 public:
  explicit SiteLink(QWidget* parent) : QLabel(parent) {
    setPixmap(DrawEmblem());
    setCursor(Qt::PointingHandCursor);
    setToolTip(QStringLiteral("访问我们的网站"));
  }

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
      OpenUrl(ReadMakerDetails().site);
  }
};

QLabel* Detail(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

}  // namespace

AboutWindow::AboutWindow() {
  setObjectName(QStringLiteral("Rightform"));
  setWindowTitle(QString::fromUtf8(kAboutTitle));
  setAttribute(Qt::WA_DeleteOnClose);
  const MakerDetails maker = ReadMakerDetails();

  auto* details = new QGridLayout;
  int row = 0;
  const auto add = [&](const QString& caption, const QString& value) {
    details->addWidget(new QLabel(caption, this), row, 0);
    details->addWidget(Detail(value, this), row++, 1);
  };
  add(QStringLiteral("软件名称："), QStringLiteral("Quenlo1.0 阿里巴巴会员联系方式收集"));
  add(QStringLiteral("版权所有："), maker.name);
  add(QStringLiteral("网　　站："), maker.siteName + QStringLiteral("  ") + maker.site.toString());
  add(QStringLiteral("电　　话："), maker.phone);
  add(QStringLiteral("电子邮件："), maker.email);
  add(QStringLiteral("Q　　Q："), maker.qq);

  picture_ = new SiteLink(this);
  picture_->setObjectName(QStringLiteral("Pic"));
  ok_ = new QPushButton(QStringLiteral("确定"), this);
  ok_->setObjectName(QStringLiteral("OK"));
  connect(ok_, &QPushButton::clicked, this, &QWidget::close);

  auto* top = new QHBoxLayout;
  top->addWidget(picture_, 0, Qt::AlignTop);
  top->addLayout(details, 1);
  auto* bottom = new QHBoxLayout;
  bottom->addStretch();
  bottom->addWidget(ok_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(
      new QLabel(QStringLiteral("本软件只收集企业自行公开的联系方式，请合法使用。"), this));
  layout->addLayout(bottom);
}

AboutWindow& ShowAboutWindow() {
  static QPointer<AboutWindow> window;
  if (!window) {
    window = new AboutWindow;
    window->adjustSize();
    CenterForm(*window);
    SetTopMost(*window);
  }
  window->show();
  window->raise();
  return *window;
}

}  // namespace quenlo
