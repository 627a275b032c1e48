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
  QWidget* tabStrip = nullptr;  // the tab bar above the pages
  QTabBar* tabBar = nullptr;
  std::array<QWidget*, 2> pages{};  // 0: the record controls, 1: help
  QWidget* recordBar = nullptr;     // search boxes and command buttons on page 0
  QComboBox* searchFieldBox = nullptr;
  QLineEdit* keywordEdit = nullptr;
  QWidget* gridHost = nullptr;
  QPlainTextEdit* helpText = nullptr;
  QGroupBox* helpFrame = nullptr;
  QLabel* statusLabel = nullptr;

  std::map<Command, QPushButton*> buttons;
  std::map<Command, quint32> backColors;
  std::map<Command, std::function<void()>> actions;
  std::map<Command, QList<QAction*>> menuItems;
  std::map<Command, QString> held;  // commands held back, and why

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
