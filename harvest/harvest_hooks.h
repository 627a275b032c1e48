// What a harvest talks to while it runs: the worker launcher, the stop
// request, the worker limit, the status text and the running indicator. The
// main window, the command line and the tests each supply their own.
// Messages, progress and event pumping go through the shell's ports.
#pragma once

#include <QString>
#include <functional>

namespace quenlo {

class WorkerLauncher;

struct HarvestHooks {
  WorkerLauncher* launcher = nullptr;
  // True once the user asked the running harvest to stop.
  std::function<bool()> stopRequested = [] { return false; };
  // Read at every launch decision, so a change applies at once.
  std::function<int()> workerLimit = [] { return 15; };
  // The status label under the main window's pages.
  std::function<void(const QString&)> showStatus = [](const QString&) {};
  // The start button becomes the stop button, and back.
  std::function<void()> enterRunning = [] {};
  std::function<void()> leaveRunning = [] {};
};

// Said when a contact or profile harvest had members to fetch and could read
// none of their pages: the count of members collected alone would read as
// success.
inline const QString kNoPageReadMessage =
    QStringLiteral("没有读到任何页面，会员留待下次下载。请检查网络连接和市场网址设置。");

// How a harvest run ended.
enum class HarvestEnd {
  Finished,       // every unit collected, or nothing to do
  Stopped,        // the stop request ended it
  WorkerMissing,  // no worker could be started; the user was told
};

}  // namespace quenlo
