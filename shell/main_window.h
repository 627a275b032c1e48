// The main window MF: tab strip, record controls, command buttons, menus,
// status label, help tab. It routes every command to the subsystem that does
// the work; subsystems register their actions with SetCommandAction and reach
// the controls they drive through the accessors below.
#pragma once

#include <QMainWindow>
#include <QString>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace quenlo {

class GridModel;

// Windows RGB values (red in the low byte) of the stop-button convention.
inline constexpr quint32 kStartButtonColor = 12640511;  // light orange
inline constexpr quint32 kStopButtonColor = 255;        // red

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

 private:
  struct Parts;
  Parts* parts_;
};

}  // namespace quenlo
