// What the contact and profile harvests share: one page a member, fetched
// through the dispatcher, counted, logged and ended the same way.
#pragma once

#include "harvest/harvest_hooks.h"
#include "harvest/harvest_tally.h"

#include <QString>

namespace quenlo {

class Dispatcher;
class DispatchTable;

struct MemberPagesOutcome {
  HarvestEnd end = HarvestEnd::Finished;
  int members = 0;    // members whose page was due
  int collected = 0;  // members done with: read, failed for good or left empty
  int filled = 0;     // results of a page that was read (contact details, a profile)
  HarvestTally tally;
};

// Runs the dispatcher to its end, takes its counts and logs the run under harvest.
void RunMemberPages(MemberPagesOutcome& outcome, Dispatcher& dispatcher, const DispatchTable& table,
                    const QString& harvest);

// Says so when not one page was read, closes the progress and leaves the
// running state.
void EndMemberPages(const MemberPagesOutcome& outcome, HarvestHooks& hooks);

}  // namespace quenlo
