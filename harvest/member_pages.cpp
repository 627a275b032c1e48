#include "harvest/member_pages.h"

#include "harvest/dispatch_pass.h"
#include "harvest/harvest_log.h"
#include "ports/messenger.h"
#include "ports/progress_sink.h"

namespace quenlo {

void RunMemberPages(MemberPagesOutcome& outcome, Dispatcher& dispatcher, const DispatchTable& table,
                    const QString& harvest) {
  outcome.end = dispatcher.Run();
  outcome.collected = table.Collected();
  outcome.tally = dispatcher.Tally();
  LogHarvest(harvest, outcome.tally);
}

void EndMemberPages(const MemberPagesOutcome& outcome, HarvestHooks& hooks) {
  if (outcome.end == HarvestEnd::Finished && outcome.members > 0 && outcome.filled == 0)
    ShowMessage(kNoPageReadMessage);
  ProgressEnd();
  hooks.leaveRunning();
}

}  // namespace quenlo
