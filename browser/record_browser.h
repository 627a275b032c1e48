// The record browser on screen: the grid view over one record list, its
// search, copy and (for the address list) in-grid editing, deletion and
// undo. Widgets only wire events to the windowless operations
// (record_list.h, address_list.h, grid_operations.h, cell_editor.h,
// undo_history.h).
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "browser/cell_editor.h"
#include "browser/grid_model.h"
#include "browser/record_list.h"
#include "browser/undo_history.h"

namespace quenlo {

class GridView;
class LineEditCellBox;
class TextMeasure;

class RecordBrowser : public QObject {
  Q_OBJECT

 public:
  struct Options {
    // In-grid editing, deletion and undo: the address list only.
    bool editable = false;
    // Receives the member on a double-click in the web-address column.
    std::function<void(const QString& member)> openContactPage;
    // Receives the member on a double-click on a member name, before an
    // edit of that cell begins.
    std::function<void(const QString& member)> memberDoubleClicked;
  };

  // Creates the view (a child of parent) over grid, which shows list.
  RecordBrowser(const RecordList& list, GridModel& grid, QWidget* parent, Options options);
  ~RecordBrowser() override;

  GridView& View() const { return *view_; }
  LineEditCellBox& EditBox() const { return *box_; }

  // Reloads the list, filtered when entry and keyword are both given, and
  // remembers that search. Returns the count text for the status label.
  QString Refresh(const QString& entry, const QString& keyword);
  // Reloads with the search last used, once the list has been shown.
  void Refill();
  bool HasBeenFilled() const { return filled_; }

  // Deletes the selected rows after asking (editable lists only). The count
  // text, or an empty text when nothing changed.
  QString DeleteSelected();
  void CommitEdit();
  void CancelEdit();

  bool CanUndo() const { return !undo_.IsEmpty(); }
  // Takes back the newest edit or deletion (an edit in progress is saved
  // first, so that is what goes). The count text afterwards.
  QString Undo();

  // The selected cells, captions first, to the clipboard as tab-separated text.
  void CopySelection() const;
  // Makes the member's row current when the grid shows it.
  bool ShowMember(const QString& member);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 signals:
  // A member was renamed in both tables, by an edit or an undo: other
  // lists showing it are out of date.
  void MemberRenamed();

 private:
  void DoubleClicked();
  void Pressed(float x, float y);

  const RecordList& list_;
  GridModel& grid_;
  GridView* view_;
  std::unique_ptr<LineEditCellBox> box_;
  CellEditor editor_;
  Options options_;
  UndoHistory undo_;
  QString entry_;
  QString keyword_;
  bool filled_ = false;
  // Counts the fills and sorts: rows deleted from an older one cannot go back in place.
  int fill_generation_ = 0;
};

}  // namespace quenlo
