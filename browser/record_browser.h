// The record browser on screen: the grid view, its edit box and the commands
// that refresh and prune the address list. Widgets only wire events to the
// windowless operations (address_list.h, grid_operations.h, cell_editor.h).
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "browser/cell_editor.h"
#include "browser/grid_model.h"

namespace quenlo {

class GridView;
class LineEditCellBox;
class TextMeasure;

class RecordBrowser : public QObject {
  Q_OBJECT

 public:
  // Creates the view (a child of parent) over grid; openContactPage receives
  // a member name on a double-click in the web-address column.
  RecordBrowser(GridModel& grid, QWidget* parent,
                std::function<void(const QString& member)> openContactPage);
  ~RecordBrowser() override;

  GridView& View() const { return *view_; }
  LineEditCellBox& EditBox() const { return *box_; }

  // Reloads the address list, filtered when entry and keyword are both given.
  // Returns the count text for the status label.
  QString Refresh(const QString& entry, const QString& keyword);
  // Deletes the selected rows after asking. The count text, or an empty text
  // when nothing changed.
  QString DeleteSelected();
  void CommitEdit();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  GridModel& grid_;
  GridView* view_;
  std::unique_ptr<LineEditCellBox> box_;
  CellEditor editor_;
  std::function<void(const QString&)> open_contact_page_;
};

}  // namespace quenlo
