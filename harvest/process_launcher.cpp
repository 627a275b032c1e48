#include "harvest/process_launcher.h"

#include "harvest/page_failure.h"
#include "harvest/worker_protocol.h"
#include "store/marketplace_settings.h"
#include "store/proxy_setting.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>

#include <sys/prctl.h>
#include <unistd.h>

#include <csignal>

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

namespace {

constexpr int kStopWaitMs = 1000;

// In the worker between fork and exec: a process group of its own, so that
// Ctrl+C in quenlo's terminal stops the harvest, not the pages already on
// their way; and killed with quenlo, so that no worker outlives it, even a
// quenlo killed outright.
void DetachAndTie(pid_t quenlo) {
  ::setpgid(0, 0);
  ::prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (::getppid() != quenlo) ::_exit(127);  // quenlo died before the tie held
}

// The worker and whatever it started; the worker itself too when it has not
// yet made its group (just forked).
void KillGroup(const QProcess& process) {
  if (process.state() == QProcess::NotRunning || process.processId() <= 0) return;
  const pid_t worker = pid_t(process.processId());
  ::kill(-worker, SIGKILL);
  ::kill(worker, SIGKILL);
}

}  // namespace

ProcessLauncher::~ProcessLauncher() { StopAll(); }

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
  process->setChildProcessModifier([quenlo = ::getpid()] { DetachAndTie(quenlo); });
  connect(process, &QProcess::finished, this,
          [this, process, resultFile] { OnEnded(process, resultFile); });
  connect(process, &QProcess::errorOccurred, this,
          [this, process, resultFile](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart) OnEnded(process, resultFile);
          });

  Worker& worker = workers_[resultFile];
  worker.process = process;
  worker.started.start();
  worker.ended = false;
  worker.exitStatus.reset();
  ++running_;
  peak_ = std::max(peak_, running_);
  process->start(program_, {WorkerCommandLine(argument, resultFile, flag)});
}

void ProcessLauncher::OnEnded(QProcess* process, const QString& resultFile) {
  if (process->property("ended").toBool()) return;  // finished after an error report
  process->setProperty("ended", true);
  --running_;
  endNotice_ = true;
  const bool exited = process->state() == QProcess::NotRunning &&
                      process->error() != QProcess::FailedToStart &&
                      process->exitStatus() == QProcess::NormalExit;
  // Only the unit's latest launch is its worker; an earlier one's end tells nothing.
  if (const auto found = workers_.find(resultFile);
      found != workers_.end() && found->process == process) {
    found->ended = true;
    if (exited) found->exitStatus = process->exitCode();
  }
  process->deleteLater();
}

bool ProcessLauncher::HasEnded(const QString& resultFile) {
  const auto found = workers_.find(resultFile);
  if (found == workers_.end()) return true;
  Worker& worker = *found;
  if (worker.ended || !worker.process) return true;
  if (worker.started.elapsed() > deadlineMs_) {
    KillGroup(*worker.process);  // its finished signal arrives later; this unit is done with it
    worker.ended = true;
  }
  return worker.ended;
}

bool ProcessLauncher::TakeEndNotice() { return std::exchange(endNotice_, false); }

std::optional<int> ProcessLauncher::ExitStatus(const QString& resultFile) {
  const auto found = workers_.constFind(resultFile);
  return found == workers_.constEnd() ? std::nullopt : found->exitStatus;
}

void ProcessLauncher::StopAll() {
  QStringList stopped;
  for (auto it = workers_.begin(); it != workers_.end(); ++it) {
    if (!it->process || it->process->state() == QProcess::NotRunning) continue;
    KillGroup(*it->process);
    stopped.append(it.key());
  }
  // Reaped here, so that none is left even as a zombie once this returns.
  for (const QString& resultFile : stopped) {
    Worker& worker = workers_[resultFile];
    if (worker.process) worker.process->waitForFinished(kStopWaitMs);
    if (worker.process) OnEnded(worker.process, resultFile);
    worker.ended = true;
    worker.exitStatus.reset();
    RemoveWorkerFiles(resultFile);
  }
}

QList<qint64> ProcessLauncher::RunningProcessIds() const {
  QList<qint64> ids;
  for (const auto& worker : workers_) {
    if (worker.process && worker.process->state() == QProcess::Running)
      ids.append(worker.process->processId());
  }
  return ids;
}

}  // namespace quenlo
