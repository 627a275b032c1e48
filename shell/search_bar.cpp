#include "shell/search_bar.h"

#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace quenlo {
namespace {

// The field box offers its list only: every key is swallowed except the ones
// that move the focus on.
class SwallowKeys final : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    return key != Qt::Key_Tab && key != Qt::Key_Backtab;
  }
};

// Room for a keyword of eight Chinese characters, however narrow the window.
constexpr int kKeywordMinimumCharacters = 8;

}  // namespace

SearchBar BuildSearchBar(QWidget* page, const SearchBarNames& names, const QStringList& entries,
                         int chosen) {
  SearchBar b;
  b.bar = new QWidget(page);
  auto* row = new QHBoxLayout(b.bar);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(4);
  b.fieldBox = new QComboBox(b.bar);
  b.fieldBox->setObjectName(QString::fromLatin1(names.fieldBox));
  b.fieldBox->addItems(entries);
  b.fieldBox->setCurrentIndex(chosen);
  b.fieldBox->installEventFilter(new SwallowKeys(b.fieldBox));
  auto* contains = new QLabel(QStringLiteral("包含"), b.bar);
  contains->setObjectName(QString::fromLatin1(names.containsLabel));
  b.keywordEdit = new QLineEdit(b.bar);
  b.keywordEdit->setObjectName(QString::fromLatin1(names.keywordEdit));
  b.keywordEdit->setMinimumWidth(
      b.keywordEdit->fontMetrics().horizontalAdvance(QString(kKeywordMinimumCharacters, u'字')) +
      b.keywordEdit->sizeHint().height());
  row->addWidget(b.fieldBox);
  row->addWidget(contains);
  row->addWidget(b.keywordEdit, 1);
  return b;
}

QPushButton* AddBarButton(const SearchBar& bar, const QString& caption) {
  auto* button = new QPushButton(caption, bar.bar);
  bar.bar->layout()->addWidget(button);
  return button;
}

}  // namespace quenlo
