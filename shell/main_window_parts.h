// The main window's controls and state, shared by the files that build,
// command and lay out the window. Private to the shell.
#pragma once

#include "browser/grid_model.h"
#include "shell/indicator.h"
#include "shell/main_window.h"
#include "shell/message_box_messenger.h"

#include <QList>
#include <array>
#include <functional>
#include <map>

class QAction;
class QGroupBox;
class QTimer;

namespace quenlo {

struct MainWindow::Parts {
  QWidget* sst = nullptr;  // tab strip: the tab bar above the pages
  QTabBar* tabBar = nullptr;
  std::array<QWidget*, 2> pages{};  // Pic(0) record controls, Pic(1) help
  QWidget* recordBar = nullptr;     // search boxes and command buttons on page 0
  QComboBox* scmb = nullptr;
  QLineEdit* skey = nullptr;
  QWidget* gridHost = nullptr;
  QPlainTextEdit* help = nullptr;
  QGroupBox* frm = nullptr;
  QLabel* lbl = nullptr;

  std::map<int, QPushButton*> buttons;
  std::map<int, quint32> backColors;
  std::map<int, std::function<void()>> actions;
  std::map<int, QList<QAction*>> menuItems;

  GridModel grid;
  int workerLimit = kDefaultWorkerLimit;
  AnswerAsker askWorkerLimit;
  std::function<void()> versionReset;
  std::function<void()> versionCheck;
  QTimer* newEditionTimer = nullptr;

  IndicatorProgress progress;
  MessageBoxMessenger messenger;
};

}  // namespace quenlo
