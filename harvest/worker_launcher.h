// Starting page-fetch workers. A harvest knows a worker only by its result
// file; the launcher also notices when a worker ends, so that a worker that
// ends without a result does not hold its place for ever.
#pragma once

#include <QString>
#include <optional>

namespace quenlo {

class WorkerLauncher {
 public:
  virtual ~WorkerLauncher() = default;
  // Whether workers can be started at all; when not, *reason says why.
  virtual bool Ready(QString* reason) = 0;
  // Starts one worker on argument, result file and flag (worker/protocol.h).
  // Does not wait for it.
  virtual void Launch(const QString& argument, const QString& resultFile, int flag) = 0;
  // The worker last launched for resultFile has ended (exited, crashed, was
  // killed, could not start) or overran its time and was stopped.
  virtual bool HasEnded(const QString& resultFile) = 0;
  // True once after any worker ended: a reason to look for results now.
  virtual bool TakeEndNotice() = 0;
  // The exit status of the ended worker last launched for resultFile;
  // nothing when it did not exit by itself (killed, crashed, never started).
  virtual std::optional<int> ExitStatus(const QString& resultFile) = 0;
  // Ends every worker still running, at once, and deletes what they left
  // under their result-file names: a stopped harvest throws their pages away.
  virtual void StopAll() = 0;
};

// The worker's command-line text: argument, result file and flag joined by
// the command separator.
QString WorkerCommandLine(const QString& argument, const QString& resultFile, int flag);

}  // namespace quenlo
