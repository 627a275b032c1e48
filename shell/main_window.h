// The main window MF: tab strip, record controls, command buttons, menus,
// status label, help tab. It routes every command to the subsystem that does
// the work; subsystems register their actions with SetCommandAction and reach
// the controls they drive through the accessors below.
#pragma once

#include <QMainWindow>
#include <QString>
#include <functional>
#include <memory>

#include "shell/worker_limit.h"

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

// Captions a harvest's start button carries while it serves as its stop button.
inline constexpr char kStopContactsCaption[] = "中止地址下载";  // Com(0)
inline constexpr char kStopMembersCaption[] = "中止会员下载";   // Com(4)

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit MainWindow(QWidget* parent = nullptr);
  ~MainWindow() override;

  // Runs command i exactly as a click on Com(i) does (menus and keys call it too).
  // Commands 0 and 4 first apply the stop-button convention: while the button
  // shows its stop caption, running the command only disables the button.
  void RunCommand(int index);
  // Registers what command i does. A command without an action is shown disabled.
  void SetCommandAction(int index, std::function<void()> action);
  // The once-per-start new-version check: reset at start-up, run ten seconds later.
  void SetVersionCheck(std::function<void()> reset, std::function<void()> check);

  // Start-up: worker limit from the settings, tab 0, command 2, version-check
  // reset and its timer. Called once after every subsystem has registered.
  void Start();

  QPushButton* Com(int index) const;  // nullptr for an index without a button
  void SetButtonBackColor(int index, quint32 windowsRgb);
  QLabel* Lbl() const;
  QComboBox* Scmb() const;
  QLineEdit* SKey() const;
  QWidget* GridHost() const;  // the grid view is placed in here (it has a layout)
  GridModel& Grid();          // the record grid's data (MSF)

  int WorkerLimit() const;  // 5 to 50, read by the harvests at every launch decision
  void SetWorkerLimit(int limit);

  // The worker-limit dialog (menu "下载线程数"): asks until the answer is
  // usable, then keeps and stores the new limit.
  void ChangeWorkerLimit();
  // Replaces the input box of that dialog (tests answer through it).
  void SetWorkerLimitAsker(AnswerAsker ask);

  quint32 ButtonBackColor(int index) const;  // Windows RGB; 0 for an index without a button

  // The controls the layout moves: tab strip SST, its tab bar, pages Pic(0..1),
  // help text THelp, help frame FRM.
  QWidget* TabStrip() const;
  QTabBar* TabBar() const;
  QWidget* Page(int index) const;  // nullptr for a page that does not exist
  QPlainTextEdit* HelpText() const;
  QWidget* HelpFrame() const;
  QWidget* RecordBar() const;  // search boxes and command buttons above the grid

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenus();
  // Shows whether command i does anything in this build.
  void UpdateAvailability(int index);

  struct Parts;
  std::unique_ptr<Parts> parts_;
};

}  // namespace quenlo
