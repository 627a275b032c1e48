#include "worker/member_list.h"

#include <vector>

#include "worker/leading_number.h"
#include "worker/marketplace_hosts.h"
#include "worker/text_cut.h"

namespace pitrel {
namespace {

constexpr std::string_view kCompanyBlock = "<DIV class=info>";
// Links on the page keep their own scheme, whatever the hosts are set to.
constexpr std::string_view kLinkMarkers[] = {"href=\"http://", "href=\"https://"};
constexpr std::string_view kCrLf = "\r\n";

// The hit count stands between ">共找到" and "条符合"; s keeps what follows.
long TakeHitCount(std::string& s) {
  CutAtMarker(s, ">共找到", true);
  const std::string countText = Trim(CutAtMarker(s, "条符合", true));
  // A count too large for 32 bits is no count at all: "0" rather than no result.
  return RoundToInt32(LeadingNumber(countText)).value_or(0);
}

// The text between the first `start` and the next ".html"; empty when no ".html" follows.
std::string BetweenAddressAndHtml(std::string block, std::string_view start) {
  CutAtMarker(block, start, true);
  return CutAtMarker(block, ".html", true);
}

// The page layer writes the hosts of links in lower case; configured hosts
// may be written in any.
std::string LowerAscii(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return text;
}

// The text after the last link opening of either scheme; empty without one.
std::string AfterLastLink(std::string head) {
  std::size_t last = std::string::npos;
  std::string_view marker;
  for (std::string_view each : kLinkMarkers)
    if (const std::size_t at = head.rfind(each);
        at != std::string::npos && (last == std::string::npos || at > last))
      last = at, marker = each;
  return last == std::string::npos ? std::string() : head.substr(last + marker.size());
}

// The first of "http://" + place and "https://" + place that block holds; empty for neither.
std::string LinkTo(std::string_view block, const std::string& place) {
  for (const char* scheme : {"http://", "https://"})
    if (Contains(block, scheme + place)) return scheme + place;
  return {};
}

std::string MemberNameOf(std::string block, const MarketplaceHosts& hosts) {
  const std::string memberSite =
      "." + LowerAscii(std::string(HostWithoutScheme(hosts.member_domain))) + "/";
  const std::string offerList = LinkTo(
      block, LowerAscii(std::string(HostWithoutScheme(hosts.main_host))) + "/company/offerlist/");
  const std::string directory =
      LinkTo(block, LowerAscii(std::string(HostWithoutScheme(hosts.directory_host))) + "/athena/");
  if (Contains(block, memberSite)) {
    std::string head = CutAtMarker(block, memberSite, true);
    return Trim(AfterLastLink(head));
  }
  if (!offerList.empty()) return BetweenAddressAndHtml(block, offerList);
  if (!directory.empty()) return BetweenAddressAndHtml(block, directory);
  std::string head = CutAtMarker(block, ".html", true);
  return CutAtMarker(head, "/", false);
}

std::vector<std::string> SplitAt(std::string_view text, std::string_view separator) {
  std::vector<std::string> parts;
  std::size_t pos = 0;
  for (std::size_t hit; (hit = text.find(separator, pos)) != std::string_view::npos;
       pos = hit + separator.size()) {
    parts.emplace_back(text.substr(pos, hit - pos));
  }
  parts.emplace_back(text.substr(pos));
  return parts;
}

}  // namespace

std::string CondenseMemberList(std::string_view html, const MarketplaceHosts& hosts) {
  std::string s(html);
  const long count = TakeHitCount(s);
  CutAtMarker(s, ">公司信息</DIV>", true);
  CutAtMarker(s, "清空全部选择</A>", false);
  // A page lists companies when it opens at least one company block. Testing
  // for a second block instead would drop the member of a single-hit search.
  const bool listsCompanies = Contains(s, kCompanyBlock);
  CutAtMarker(s, kCompanyBlock, true);
  CutAtMarker(s, "查看该公司发布的供应信息", false);
  s = RemoveAll(s, kCrLf);
  if (!listsCompanies) return {};

  std::string out = std::to_string(count);
  for (const std::string& block : SplitAt(s, kCompanyBlock))
    out.append(kCrLf).append(MemberNameOf(block, hosts));
  return out;
}

}  // namespace pitrel
