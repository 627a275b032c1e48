#include "worker/run_cycle.h"

#include <exception>

#include "worker/contact.h"
#include "worker/member_list.h"
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
    page.error = e.what();
    return page;
  }
}

std::string GetBodyText(const LoadedPage& page) { return page.body_text; }
std::string GetBodyHtml(const LoadedPage& page) { return page.body_html; }

std::string Condense(int flag, const LoadedPage& page, const MarketplaceHosts& hosts) {
  const std::string text = GetBodyText(page);
  const std::string html = GetBodyHtml(page);
  switch (flag) {
    case kMemberList: return CondenseMemberList(html, hosts);
    case kContact: return CondenseContact(text, html, page.requested_url, page.location_url);
    case kProfile: return CondenseProfile(text, html);
    case kTradeCredit: return CondenseTradeCredit(text);
    default: return {};
  }
}

std::string ResultFileFor(int flag, const std::string& resultFile) {
  return flag == kTradeCredit ? resultFile + ".t" : resultFile;
}

std::string RunJob(const WorkerJob& job, PageEngine& engine, const MarketplaceHosts& hosts) {
  const LoadedPage page = LoadPage(engine, job.url);
  if (job.flag < kMemberList || job.flag > kTradeCredit) return {};
  return SaveResult(Condense(job.flag, page, hosts), ResultFileFor(job.flag, job.result_file));
}

}  // namespace pitrel
