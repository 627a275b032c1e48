// What a harvest talks to while it runs: the worker launcher, the stop
// request, the worker limit, the retry and pacing policy, the status text
// and the running indicator. The main window, the command line and the
// tests each supply their own. Messages, progress and event pumping go
// through the shell's ports.
#pragma once

#include "harvest/retry_policy.h"
#include "store/harvest_settings.h"

#include <QString>
#include <chrono>
#include <functional>

namespace quenlo {

class WorkerLauncher;

// A number drawn evenly from [0, 1).
double RandomJitter();

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

  // How a page that could not be read is tried again.
  RetryPolicy retry;
  // The least pause between page starts to one host (host_pacing.h).
  std::chrono::milliseconds delay{0};
  // The most pages one member search fetches.
  int searchPageCap = kSearchPageCapRange.fallback;
  // A number in [0, 1) for every jittered wait: random unless a test fixes it.
  std::function<double()> jitter = RandomJitter;
};

// Takes the retries, the delay and the search-page cap from the settings.
void ApplyHarvestSettings(HarvestHooks& hooks, const HarvestSettings& settings);

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
  StoreFailed,    // results could not be kept (record base or work folder); the user was told
};

}  // namespace quenlo
