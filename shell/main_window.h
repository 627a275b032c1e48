// The main window: tab strip, record controls, command buttons, menus,
// status label, the profile tab and the help tab. It routes every command to the subsystem that does
// the work; the shell's wiring registers the subsystems' actions with
// SetCommandAction and hands them the controls they drive through the
// accessors below.
#pragma once

#include <QMainWindow>
#include <QString>
#include <functional>
#include <memory>

#include "shell/command.h"
#include "store/worker_limit.h"

class QComboBox;
class QPlainTextEdit;
class QTabBar;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace quenlo {

class GridModel;

// Windows RGB values (red in the low byte) of the stop-button convention.
inline constexpr quint32 kStartButtonColor = 12640511;  // light orange
inline constexpr quint32 kStopButtonColor = 255;        // red

// The pages in the order of their tabs, by page number (the number in their
// object names): the address list, the profile list, the help page.
inline constexpr int kRecordsPage = 0;
inline constexpr int kHelpPage = 1;
inline constexpr int kProfilesPage = 2;
inline constexpr int kTabPages[] = {kRecordsPage, kProfilesPage, kHelpPage};

// Captions a harvest's start button carries while it serves as its stop button.
inline constexpr char kStopContactsCaption[] = "中止地址下载";  // HarvestContacts
inline constexpr char kStopMembersCaption[] = "中止会员下载";   // HarvestMemberNames

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit MainWindow(QWidget* parent = nullptr);
  ~MainWindow() override;

  // Runs a command exactly as a click on its button does (menus and keys call
  // it too). The two harvest commands first apply the stop-button convention:
  // while the button shows its stop caption, running the command only
  // disables the button.
  void RunCommand(Command command);
  // Registers what a command does. A command without an action is shown disabled.
  void SetCommandAction(Command command, std::function<void()> action);
  // Holds a command back while another task runs (one harvest at a time):
  // its button and menu items are disabled, keep their captions and say why
  // in their tooltips; running it does nothing. Released, it is as before.
  void HoldCommand(Command command, bool held, const QString& why = QString());
  // The once-per-start new-version check: reset at start-up, run ten seconds later.
  void SetVersionCheck(std::function<void()> reset, std::function<void()> check);

  // Start-up: worker limit from the settings, tab 0, Refresh, version-check
  // reset and its timer. Called once after every subsystem has registered.
  void Start();

  QPushButton* CommandButton(Command command) const;  // nullptr for a menu-only command
  void SetButtonBackColor(Command command, quint32 windowsRgb);
  QLabel* StatusLabel() const;       // the counts the harvests and the address list report
  QComboBox* SearchFieldBox() const;  // the field the keyword is looked for in
  QLineEdit* KeywordEdit() const;
  QWidget* GridHost() const;  // the grid view is placed in here (it has a layout)
  GridModel& RecordGrid();    // the record grid's data
  // The same for the profile tab.
  QComboBox* ProfileFieldBox() const;
  QLineEdit* ProfileKeywordEdit() const;
  QWidget* ProfileGridHost() const;
  GridModel& ProfileGrid();

  int WorkerLimit() const;  // 5 to 50, read by the harvests at every launch decision
  void SetWorkerLimit(int limit);

  // The worker-limit dialog (menu "下载线程数"): asks until the answer is
  // usable, then keeps and stores the new limit.
  void ChangeWorkerLimit();
  // Replaces the input box of that dialog (tests answer through it).
  void SetWorkerLimitAsker(AnswerAsker ask);

  quint32 ButtonBackColor(Command command) const;  // Windows RGB; 0 for a menu-only command

  // The controls the layout moves: the tab strip, its tab bar, the pages
  // (0 records, 1 help), the manual and the frame of help commands.
  QWidget* TabStrip() const;
  QTabBar* TabBar() const;
  QWidget* Page(int index) const;  // by page number; nullptr for one that does not exist
  QWidget* CurrentPage() const;    // the page of the current tab
  void ShowPage(int index);        // selects the page's tab
  QPlainTextEdit* HelpText() const;
  QWidget* HelpFrame() const;
  QWidget* RecordBar() const;  // search boxes and command buttons above the grid
  QWidget* ProfileBar() const;  // the same above the profile grid

  // The smallest size at which every control of the layout is whole; the
  // window cannot be made smaller.
  QSize LayoutMinimumSize() const;

 signals:
  // The base changed behind the grids (a harvest stored rows): they refill.
  void StoredRecordsChanged();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenus();
  void BuildTabKeys();
  // Shows whether a command does anything in this build.
  void UpdateAvailability(Command command);

  struct Parts;
  std::unique_ptr<Parts> parts_;
};

}  // namespace quenlo
