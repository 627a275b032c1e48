// The query window 查询条件: a keyword and a region before a member-name
// harvest. Modeless; it deletes itself when closed, and a confirmed query is
// left in QueryKeyword / QueryRegionValue.
#pragma once

#include <QWidget>

class QComboBox;
class QLineEdit;

namespace quenlo {

class QueryWindow final : public QWidget {
  Q_OBJECT

 public:
  explicit QueryWindow(QWidget* parent = nullptr);

  // Opens a new window: remembered query, centred, on top, hand-back cleared.
  static QueryWindow* Open();

  QLineEdit* Keyword() const { return keyword_; }
  QComboBox* Region() const { return region_; }
  void Confirm();
  void Cancel();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLineEdit* keyword_;
  QComboBox* region_;
};

// Shows the query window and returns once it is closed.
void AskSearchQuery();
// Brings an open query window to the front; false when none is open.
bool RaiseOpenQueryWindow();

}  // namespace quenlo
