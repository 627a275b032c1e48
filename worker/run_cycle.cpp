#include "worker/run_cycle.h"

#include <exception>

#include "worker/contact.h"
#include "worker/member_list.h"
#include "worker/page_verdict.h"
#include "worker/profile.h"
#include "worker/result_file.h"
#include "worker/trade_credit.h"

namespace pitrel {

LoadedPage LoadPage(PageEngine& engine, const std::string& url) {
  // The engine's connect and total timeouts bound the wait, so every worker ends.
  try {
    return engine.Load(url);
  } catch (const std::exception& e) {
    LoadedPage page;
    page.requested_url = page.location_url = url;
    page.error = std::string("could not read the page: ") + e.what();
    page.failure = FetchFailure::kNotAPage;  // out of memory or the like: the page costs too much
    return page;
  }
}

const std::string& GetBodyText(const LoadedPage& page) { return page.BodyText(); }
const std::string& GetBodyHtml(const LoadedPage& page) { return page.BodyHtml(); }

// Every condenser is offered the page's text and mark-up; each is worked out
// only for the condenser that reads it: the results are the same, and the
// other would cost about as much again as the condenser's own.
std::string Condense(int flag, const LoadedPage& page, const MarketplaceHosts& hosts) {
  switch (flag) {
    case kMemberListFlag: return CondenseMemberList(GetBodyHtml(page), hosts);
    case kContactFlag:
      // The marketplace's own page is read from its text, a member's site from its mark-up.
      if (page.location_url == page.requested_url)
        return CondenseContact(GetBodyText(page), {}, page.requested_url, page.location_url);
      return CondenseContact({}, GetBodyHtml(page), page.requested_url, page.location_url);
    case kProfileFlag: return CondenseProfile(GetBodyText(page), {});
    case kTradeCreditFlag: return CondenseTradeCredit(GetBodyText(page));
    default: return {};
  }
}

int RunJob(const WorkerJob& job, PageEngine& engine, const MarketplaceHosts& hosts) {
  const LoadedPage page = LoadPage(engine, job.url);
  const std::optional<PageFailure> failure = JudgePage(page);
  if (job.flag < kMemberListFlag || job.flag > kTradeCreditFlag) return ExitStatusFor(failure);
  const std::string resultFile = ResultFileFor(job.flag, job.result_file);
  if (SaveFailureReport(failure, resultFile)) SaveResult(Condense(job.flag, page, hosts), resultFile);
  return ExitStatusFor(failure);
}

}  // namespace pitrel
