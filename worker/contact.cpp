#include "worker/contact.h"

#include <vector>

#include "worker/protocol.h"
#include "worker/text_cut.h"

namespace pitrel {
namespace {

constexpr std::string_view kCrLf = "\r\n";

struct ContactFields {
  std::string address, company, web, postcode, fax, mobile, telephone, job, sex, name;
};

std::string WithoutCountryPrefix(std::string_view address) {
  return RemoveAll(address, "中国 ");
}

// The text form reads the rendered text; its labels are consumed from the
// page's last field towards its first.
ContactFields FromText(std::string s) {
  if (Contains(s, "点此留言 联系方式")) CutAtMarker(s, "点此留言 联系方式", true);
  else s = CutAtMarker(s, "联系方式", false);
  if (Contains(s, "相关诚信通企业推荐")) s = CutAtMarker(s, "相关诚信通企业推荐", true);
  else s = CutAtMarker(s, "点击以下行业查找公司", true);
  for (std::string_view noise : {kCrLf, std::string_view("给我留言"),
                                 std::string_view("手机在线"), std::string_view("跟我洽谈")})
    s = RemoveAll(s, noise);

  ContactFields f;
  f.company = CutAtMarker(s, " ", true);
  f.web = RemoveAll(RemoveAll(CutAtMarker(s, "公司网站：", false), " "), kCrLf);
  f.postcode = Trim(CutAtMarker(s, "邮　　编：", false));
  f.address = WithoutCountryPrefix(Trim(CutAtMarker(s, "地　　址：", false)));
  f.fax = Trim(CutAtMarker(s, "传　　真：", false));
  f.mobile = Trim(CutAtMarker(s, "移动电话：", false));
  f.telephone = Trim(CutAtMarker(s, "电　　话：", false));
  CutAtMarker(s, ")", false);
  f.job = Trim(CutAtMarker(s, "(", false));
  s = Trim(s);
  f.sex = Trim(CutAtMarker(s, " ", false));
  f.name = Contains(s, " ") ? CutAtMarker(s, " ", false) : s;
  return f;
}

// The cell after `label`: the text after its last occurrence up to the next
// `end`, trimmed. s keeps the text before the label.
std::string CellAfter(std::string& s, std::string_view label, std::string_view end) {
  std::string rest = CutAtMarker(s, label, false);
  return Trim(CutAtMarker(rest, end, true));
}

// Every link target in the home-page cell, joined by ";".
std::string HomePageLinks(std::string& s) {
  std::string cell = CutAtMarker(s, ">公司主页：", false);
  std::string links = CutAtMarker(cell, "<!---------", true);
  std::string joined;
  constexpr std::string_view kOpening = "href=\"";
  while (Contains(links, kOpening)) {
    CutAtMarker(links, kOpening, true);
    joined.append(Trim(CutAtMarker(links, "\"", true))).append(";");
  }
  if (!joined.empty() && joined.back() == ';') joined.pop_back();
  return joined;
}

std::string WithoutLeadingZeros(std::string_view text) {
  const std::size_t first = text.find_first_not_of('0');
  return first == std::string_view::npos ? std::string() : std::string(text.substr(first));
}

// The mark-up form reads a member site's contact table, again from its last
// field towards its first.
ContactFields FromMarkup(std::string s) {
  s = RemoveAll(RemoveAll(s, kCrLf), "&nbsp;");
  s = CutAtMarker(s, ">联系方式</SPAN>", false);
  s = CutAtMarker(s, ">技术支持：阿里巴巴<", true);

  ContactFields f;
  f.address = WithoutCountryPrefix(CellAfter(s, ">地址：", "</TD>"));
  CutAtMarker(s, "</TD></TR>", false);
  f.company = Trim(CutAtMarker(s, ">", false));
  f.web = HomePageLinks(s);
  f.postcode = FoldWideDigits(RemoveAll(CellAfter(s, ">邮编：", "<"), " "));
  f.fax = FoldWideDigits(ReplaceAll(CellAfter(s, ">传真：", "<"), " ", "-"));
  f.mobile = CellAfter(s, ">移动电话：", "<");
  f.telephone = WithoutLeadingZeros(ReplaceAll(CellAfter(s, ">电话：", "<"), " ", "-"));
  CutAtMarker(s, "<BR><IMG", false);
  CutAtMarker(s, "）", false);
  f.job = CutAtMarker(s, "（", false);
  f.sex = Trim(CutAtMarker(s, ">", false));
  CutAtMarker(s, "</A", false);
  f.name = Trim(CutAtMarker(s, ">", false));
  return f;
}

}  // namespace

std::string FoldWideDigits(std::string_view text) {
  // "０".."９" are EF BC 90..99 in UTF-8.
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    if (i + 2 < text.size() && byte(i) == 0xEF && byte(i + 1) == 0xBC && byte(i + 2) >= 0x90 &&
        byte(i + 2) <= 0x99) {
      out.push_back(static_cast<char>('0' + (byte(i + 2) - 0x90)));
      i += 2;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

std::string CondenseContact(std::string_view text, std::string_view html,
                            std::string_view requestedUrl, std::string_view currentUrl) {
  const ContactFields f = currentUrl == requestedUrl ? FromText(std::string(text))
                                                     : FromMarkup(std::string(html));
  const std::string line = JoinFields({f.address, f.company, f.web, f.postcode, f.fax,
                                       f.mobile, f.telephone, f.job, f.sex, f.name});
  // Stored contact records have always carried ’ in place of '.
  return ReplaceAll(line, "'", "’");
}

}  // namespace pitrel
