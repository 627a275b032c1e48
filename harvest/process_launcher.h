// Workers as processes: pitrel beside quenlo's own executable or where an
// installation keeps its helpers (or the program named by QUENLO_PITREL),
// started in the current directory with the marketplace hosts and quenlo's
// proxy in force in its environment. Each worker is a process group of its
// own and dies with quenlo, however quenlo ends.
// Window thread only; exits are seen through the event loop.
#pragma once

#include "harvest/worker_launcher.h"

#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>

class QProcess;

namespace quenlo {

inline constexpr char kWorkerProgramVariable[] = "QUENLO_PITREL";
inline constexpr int kWorkerDeadlineMs = 90'000;  // the worker gives up after 30 s itself

// QUENLO_PITREL when set; otherwise "pitrel" in the directory of the running
// executable, or in the installed helpers' folder (libexec/quenlo) when only
// that one exists.
QString DefaultWorkerProgram();

class ProcessLauncher final : public QObject, public WorkerLauncher {
  Q_OBJECT

 public:
  explicit ProcessLauncher(QString program = DefaultWorkerProgram(),
                           int deadlineMs = kWorkerDeadlineMs);
  // Workers still running are stopped (StopAll).
  ~ProcessLauncher() override;

  bool Ready(QString* reason) override;
  void Launch(const QString& argument, const QString& resultFile, int flag) override;
  bool HasEnded(const QString& resultFile) override;
  bool TakeEndNotice() override;
  std::optional<int> ExitStatus(const QString& resultFile) override;
  void StopAll() override;

  const QString& Program() const { return program_; }
  int Running() const { return running_; }
  int PeakRunning() const { return peak_; }
  void ResetPeak() { peak_ = running_; }
  QList<qint64> RunningProcessIds() const;

 private:
  struct Worker {
    QPointer<QProcess> process;
    QElapsedTimer started;
    bool ended = false;
    std::optional<int> exitStatus;
  };
  void OnEnded(QProcess* process, const QString& resultFile);

  QString program_;
  int deadlineMs_;
  QHash<QString, Worker> workers_;  // by result file: the latest launch only
  int running_ = 0;
  int peak_ = 0;
  bool endNotice_ = false;
};

}  // namespace quenlo
