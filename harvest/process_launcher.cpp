#include "harvest/process_launcher.h"

#include "harvest/worker_protocol.h"
#include "store/marketplace_settings.h"
#include "store/proxy_setting.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>

#include <unistd.h>

namespace quenlo {

QString WorkerCommandLine(const QString& argument, const QString& resultFile, int flag) {
  return FromProtocol(
      pitrel::WorkerCommandLine(argument.toStdString(), resultFile.toStdString(), flag));
}

QString DefaultWorkerProgram() {
  const QString fromEnvironment = qEnvironmentVariable(kWorkerProgramVariable);
  if (!fromEnvironment.isEmpty()) return fromEnvironment;
  const QDir own(QCoreApplication::applicationDirPath());
  const QString beside = own.filePath(QStringLiteral("pitrel"));
  // An installed quenlo keeps its workers with its other private helpers.
  const QString installed =
      QDir::cleanPath(own.filePath(QStringLiteral(QUENLO_HELPERS_FROM_BIN "/pitrel")));
  return QFileInfo::exists(beside) || !QFileInfo::exists(installed) ? beside : installed;
}

ProcessLauncher::ProcessLauncher(QString program, int deadlineMs)
    : program_(std::move(program)), deadlineMs_(deadlineMs) {}

ProcessLauncher::~ProcessLauncher() {
  // A QProcess kills its process when destroyed; let go of the running ones
  // instead (their result files are cleared at shutdown).
  for (auto& worker : workers_) {
    if (worker.process && worker.process->state() != QProcess::NotRunning) {
      worker.process->disconnect(this);
      worker.process->setParent(nullptr);
    }
  }
}

bool ProcessLauncher::Ready(QString* reason) {
  const QFileInfo info(program_);
  if (info.isFile() && info.isExecutable()) return true;
  if (reason) *reason = QStringLiteral("找不到下载程序：\r\n") + QDir::toNativeSeparators(program_);
  return false;
}

void ProcessLauncher::Launch(const QString& argument, const QString& resultFile, int flag) {
  // A separator inside a field would hand the worker other fields (another
  // result file among them): such a unit ends at once without a worker.
  if (argument.contains(kCommandSeparator) || resultFile.contains(kCommandSeparator)) {
    Worker& skipped = workers_[resultFile];
    skipped = Worker{};
    skipped.ended = true;
    endNotice_ = true;
    return;
  }
  auto* process = new QProcess(this);
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const auto& [name, value] : WorkerHostEnvironment() + WorkerProxyEnvironment())
    environment.insert(name, value);
  process->setProcessEnvironment(environment);
  process->setWorkingDirectory(QDir::currentPath());
  process->setStandardInputFile(QProcess::nullDevice());
  process->setStandardOutputFile(QProcess::nullDevice());
  process->setStandardErrorFile(QProcess::nullDevice());
  // A worker of its own process group: Ctrl+C in quenlo's terminal stops the
  // harvest, not the pages already on their way.
  process->setChildProcessModifier([] { ::setpgid(0, 0); });
  connect(process, &QProcess::finished, this, [this, process] { OnEnded(process); });
  connect(process, &QProcess::errorOccurred, this, [this, process](QProcess::ProcessError error) {
    if (error == QProcess::FailedToStart) OnEnded(process);
  });

  Worker& worker = workers_[resultFile];
  worker.process = process;
  worker.started.start();
  worker.ended = false;
  ++running_;
  peak_ = std::max(peak_, running_);
  process->start(program_, {WorkerCommandLine(argument, resultFile, flag)});
}

void ProcessLauncher::OnEnded(QProcess* process) {
  if (process->property("ended").toBool()) return;  // finished after an error report
  process->setProperty("ended", true);
  --running_;
  endNotice_ = true;
  for (auto& worker : workers_) {
    if (worker.process == process) worker.ended = true;
  }
  process->deleteLater();
}

bool ProcessLauncher::HasEnded(const QString& resultFile) {
  const auto found = workers_.find(resultFile);
  if (found == workers_.end()) return true;
  Worker& worker = *found;
  if (worker.ended || !worker.process) return true;
  if (worker.started.elapsed() > deadlineMs_) {
    worker.process->kill();  // its finished signal arrives later; this unit is done with it
    worker.ended = true;
  }
  return worker.ended;
}

bool ProcessLauncher::TakeEndNotice() { return std::exchange(endNotice_, false); }

QList<qint64> ProcessLauncher::RunningProcessIds() const {
  QList<qint64> ids;
  for (const auto& worker : workers_) {
    if (worker.process && worker.process->state() == QProcess::Running)
      ids.append(worker.process->processId());
  }
  return ids;
}

}  // namespace quenlo
