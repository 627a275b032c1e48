// The main window's controls and state, shared by the files that build,
// command and lay out the window. Private to the shell.
#pragma once

#include "browser/grid_model.h"
#include "shell/indicator.h"
#include "shell/main_window.h"
#include "shell/message_box_messenger.h"
#include "shell/search_bar.h"

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
  std::array<QWidget*, 3> pages{};  // by page number: records, help, profiles
  SearchBar recordSearch;           // search boxes and command buttons on the records page
  QWidget* gridHost = nullptr;
  SearchBar profileSearch;  // the same on the profiles page
  QWidget* profileGridHost = nullptr;
  QPlainTextEdit* helpText = nullptr;
  QGroupBox* helpFrame = nullptr;
  QLabel* statusLabel = nullptr;

  std::map<Command, QPushButton*> buttons;
  std::map<Command, quint32> backColors;
  std::map<Command, std::function<void()>> actions;
  std::map<Command, QList<QAction*>> menuItems;
  std::map<Command, QString> held;  // commands held back, and why

  GridModel grid;
  GridModel profileGrid;
  int workerLimit = kDefaultWorkerLimit;
  AnswerAsker askWorkerLimit;
  std::function<void()> versionReset;
  std::function<void()> versionCheck;
  QTimer* newEditionTimer = nullptr;

  IndicatorProgress progress;
  MessageBoxMessenger messenger;
};

}  // namespace quenlo
