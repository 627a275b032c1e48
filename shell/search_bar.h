// The row above a record grid: the condition "field contains keyword" (a
// field box that offers its list only, the label "包含", a keyword box),
// followed by the page's command buttons.
#pragma once

#include <QString>
#include <QStringList>

class QComboBox;
class QLineEdit;
class QPushButton;
class QWidget;

namespace quenlo {

// The object names of a bar's three controls.
struct SearchBarNames {
  const char* fieldBox;
  const char* containsLabel;
  const char* keywordEdit;
};

struct SearchBar {
  QWidget* bar = nullptr;
  QComboBox* fieldBox = nullptr;
  QLineEdit* keywordEdit = nullptr;
};

// A bar on page whose field box offers entries, entry chosen first.
SearchBar BuildSearchBar(QWidget* page, const SearchBarNames& names, const QStringList& entries,
                         int chosen);
// A command button at the right end of the bar.
QPushButton* AddBarButton(const SearchBar& bar, const QString& caption);

}  // namespace quenlo
