// The main window's command handler, start-up, worker limit and shutdown.
#include "shell/main_window.h"

#include "shell/main_window_parts.h"
#include "shell/work_directory.h"
#include "store/settings.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QInputDialog>
#include <QPushButton>
#include <QTabBar>
#include <QTimer>

namespace quenlo {
namespace {

const QString kUnavailable = QStringLiteral("此版本未提供该功能");

// While its harvest runs a start button carries the stop caption; pressing it
// then only asks the harvest to stop.
bool IsStopRequest(const QPushButton* button, Command command) {
  if (!button) return false;
  if (command == Command::HarvestContacts)
    return button->text() == QString::fromUtf8(kStopContactsCaption);
  if (command == Command::HarvestMemberNames)
    return button->text() == QString::fromUtf8(kStopMembersCaption);
  return false;
}

}  // namespace

void MainWindow::RunCommand(Command command) {
  if (parts_->held.count(command)) return;
  QPushButton* button = CommandButton(command);
  if (IsStopRequest(button, command)) {
    button->setEnabled(false);
    return;
  }
  // The profile harvest's stop button disables itself: the harvest sees that.
  if (command == Command::StopProfileHarvest && button) button->setEnabled(false);
  const auto it = parts_->actions.find(command);
  if (it != parts_->actions.end() && it->second) it->second();
}

void MainWindow::SetCommandAction(Command command, std::function<void()> action) {
  parts_->actions[command] = std::move(action);
  UpdateAvailability(command);
  // The stop button of the profile harvest follows its start command.
  if (command == Command::HarvestProfiles) UpdateAvailability(Command::StopProfileHarvest);
}

void MainWindow::HoldCommand(Command command, bool held, const QString& why) {
  if (held) parts_->held[command] = why;
  else parts_->held.erase(command);
  UpdateAvailability(command);
}

void MainWindow::UpdateAvailability(Command command) {
  const auto has = [this](Command c) {
    const auto it = parts_->actions.find(c);
    return it != parts_->actions.end() && bool(it->second);
  };
  // The stop command needs no action of its own: it stops what HarvestProfiles started.
  const bool stopsProfiles = command == Command::StopProfileHarvest;
  const bool wired = stopsProfiles ? has(Command::HarvestProfiles) : has(command);
  const auto held = parts_->held.find(command);
  const bool usable = wired && held == parts_->held.end();
  const QString tip = !wired ? kUnavailable : held != parts_->held.end() ? held->second : QString();
  if (QPushButton* button = CommandButton(command)) {
    // Only a running profile harvest enables its stop button.
    button->setEnabled(usable && !stopsProfiles);
    button->setToolTip(tip);
  }
  for (QAction* item : parts_->menuItems[command]) {
    item->setEnabled(usable);
    item->setToolTip(tip);
  }
}

void MainWindow::SetVersionCheck(std::function<void()> reset, std::function<void()> check) {
  parts_->versionReset = std::move(reset);
  parts_->versionCheck = std::move(check);
}

void MainWindow::Start() {
  SetWorkerLimit(StoredWorkerLimit());
  parts_->tabBar->setCurrentIndex(0);
  for (QWidget* page : parts_->pages) page->setVisible(page == CurrentPage());
  RunCommand(Command::Refresh);
  if (parts_->versionReset) parts_->versionReset();
  parts_->newEditionTimer->start();
}

int MainWindow::WorkerLimit() const { return parts_->workerLimit; }

void MainWindow::SetWorkerLimit(int limit) {
  if (limit >= kMinWorkerLimit && limit <= kMaxWorkerLimit) parts_->workerLimit = limit;
}

void MainWindow::SetWorkerLimitAsker(AnswerAsker ask) { parts_->askWorkerLimit = std::move(ask); }

void MainWindow::ChangeWorkerLimit() {
  AnswerAsker ask = parts_->askWorkerLimit;
  if (!ask) {
    ask = [this](const QString& prompt, const QString& defaultAnswer) {
      bool ok = false;
      const QString answer = QInputDialog::getText(this, QStringLiteral("Quenlo"), prompt,
                                                   QLineEdit::Normal, defaultAnswer, &ok);
      return ok ? answer : QString();
    };
  }
  const std::optional<int> limit = AskWorkerLimit(parts_->workerLimit, ask);
  if (!limit) return;
  parts_->workerLimit = *limit;
  if (!SaveSettingValue(QString::fromLatin1(kSettingsApplication),
                        QString::fromLatin1(kSettingsSection), QStringLiteral("Max_Thread"),
                        QString::number(*limit)))
    ShowMessage(
        QStringLiteral("线程数已改为 %1，但无法保存，下次启动时仍用原来的设置。").arg(*limit));
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // Only the workers' own files go: the directory may hold other "Temp…" files.
  RemoveLeftoverResultFiles(QDir::currentPath());
  // A harvest still pumping events stops at its next look at its button.
  for (Command harvest : {Command::HarvestContacts, Command::HarvestMemberNames}) {
    if (IsStopRequest(CommandButton(harvest), harvest)) CommandButton(harvest)->setEnabled(false);
  }
  if (QPushButton* stopProfiles = CommandButton(Command::StopProfileHarvest))
    stopProfiles->setEnabled(false);
  parts_->newEditionTimer->stop();
  parts_->progress.End();
  event->accept();
  QCoreApplication::quit();
}

}  // namespace quenlo
