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

QString MaxThreadSetting() {
  return GetSettingValue(QString::fromLatin1(kSettingsApplication),
                         QString::fromLatin1(kSettingsSection), QStringLiteral("Max_Thread"),
                         QString());
}

// While its harvest runs a start button carries the stop caption; pressing it
// then only asks the harvest to stop.
bool IsStopRequest(const QPushButton* button, int index) {
  if (!button) return false;
  if (index == 0) return button->text() == QString::fromUtf8(kStopContactsCaption);
  if (index == 4) return button->text() == QString::fromUtf8(kStopMembersCaption);
  return false;
}

}  // namespace

void MainWindow::RunCommand(int index) {
  QPushButton* button = Com(index);
  if (IsStopRequest(button, index)) {
    button->setEnabled(false);
    return;
  }
  // Command 11 is the profile harvest's stop button: it disables itself.
  if (index == 11 && button) button->setEnabled(false);
  const auto it = parts_->actions.find(index);
  if (it != parts_->actions.end() && it->second) it->second();
}

void MainWindow::SetCommandAction(int index, std::function<void()> action) {
  parts_->actions[index] = std::move(action);
  UpdateAvailability(index);
  // The stop button of the profile harvest follows its start command.
  if (index == 10) UpdateAvailability(11);
}

void MainWindow::UpdateAvailability(int index) {
  const auto has = [this](int i) {
    const auto it = parts_->actions.find(i);
    return it != parts_->actions.end() && bool(it->second);
  };
  // 11 needs no action of its own: it stops what 10 started.
  const bool wired = index == 11 ? has(10) : has(index);
  if (QPushButton* button = Com(index)) {
    // 11 is only enabled by a running profile harvest.
    button->setEnabled(wired && index != 11);
    button->setToolTip(wired ? QString() : kUnavailable);
  }
  for (QAction* item : parts_->menuItems[index]) {
    item->setEnabled(wired);
    item->setToolTip(wired ? QString() : kUnavailable);
  }
}

void MainWindow::SetVersionCheck(std::function<void()> reset, std::function<void()> check) {
  parts_->versionReset = std::move(reset);
  parts_->versionCheck = std::move(check);
}

void MainWindow::Start() {
  SetWorkerLimit(WorkerLimitFromSetting(MaxThreadSetting()));
  parts_->tabBar->setCurrentIndex(0);
  for (int i = 0; i < 2; ++i) parts_->pages[i]->setVisible(i == 0);
  RunCommand(2);
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
    ShowMessage(QStringLiteral("线程数已改为 %1，但无法保存，下次启动时仍用原来的设置。").arg(*limit));
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // Only the workers' own files go: the directory may hold other "Temp…" files.
  RemoveLeftoverResultFiles(QDir::currentPath());
  // A harvest still pumping events stops at its next look at its button.
  for (int index : {0, 4}) {
    if (IsStopRequest(Com(index), index)) Com(index)->setEnabled(false);
  }
  if (QPushButton* stopProfiles = Com(11)) stopProfiles->setEnabled(false);
  parts_->newEditionTimer->stop();
  parts_->progress.End();
  event->accept();
  QCoreApplication::quit();
}

}  // namespace quenlo
