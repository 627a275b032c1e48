#include "tools/sample_market/expected_results.h"

namespace sample_market {
namespace {

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

std::string AsciiDigits(std::string text) {
  for (char d = '0'; d <= '9'; ++d) {
    std::string wide = "\xEF\xBC";
    wide += static_cast<char>(0x90 + (d - '0'));
    text = ReplaceAll(std::move(text), wide, std::string(1, d));
  }
  return text;
}

std::string ProfileValue(std::string_view shown) {
  return ReplaceAll(ReplaceAll(std::string(shown), " ", ""), "http://", ";");
}

}  // namespace

std::vector<std::string> ExpectedContactFields(const Member& m) {
  std::string address = ReplaceAll(m.address, "中国 ", "");
  std::string web, postcode = m.postcode, fax = m.fax, phone = m.phone;
  if (m.contact_form == ContactForm::kMarketplacePage) {
    if (!m.web_links.empty()) web = m.web_links.front();
  } else {
    for (const std::string& link : m.web_links) web += (web.empty() ? "" : ";") + link;
    postcode = AsciiDigits(postcode);
    fax = ReplaceAll(fax, " ", "-");
    phone = ReplaceAll(phone, " ", "-");
    phone.erase(0, phone.find_first_not_of('0') == std::string::npos ? phone.size()
                                                                       : phone.find_first_not_of('0'));
  }
  std::vector<std::string> fields = {address, m.company, web,   postcode, fax,
                                     m.mobile, phone,    m.job, m.sex,    m.person};
  for (std::string& field : fields) field = ReplaceAll(field, "'", "’");
  return fields;
}

std::vector<std::string> ExpectedProfileFields(const Member& m) {
  if (m.profile_form == ProfileForm::kDirectoryEntry) return {"公司黄页", ""};
  std::vector<std::string> fields = {"公司主页"};
  for (const std::string& value : m.profile) fields.push_back(ProfileValue(value));
  std::string introduction;
  for (const std::string& paragraph : m.introduction) introduction += ProfileValue(paragraph);
  fields.push_back(introduction);
  return fields;
}

std::vector<std::string> ExpectedCreditFields(const Member& m) {
  const Credit& c = m.credit;
  return {c.seller, c.buyer, c.province, c.city, c.signed_up, c.last_login};
}

std::string JoinFields(const std::vector<std::string>& fields) {
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) line += pitrel::kFieldSeparator;
    line += fields[i];
  }
  return line;
}

}  // namespace sample_market
