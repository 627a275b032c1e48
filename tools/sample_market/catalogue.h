// The sample marketplace's members: a catalogue generated deterministically
// from a seed. Member k (counted from 1) is the same whatever the catalogue's
// size, so a test may grow the catalogue without changing the members it knows.
//
// Every value is held as the pages show it. expected_results.h turns a member
// into the fields a correct page condenser extracts.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace sample_market {

// How a member's contact page answers.
enum class ContactForm {
  kMarketplacePage,  // the marketplace's own page, read from its text
  kMemberSite,       // a 302 to the member's own site, read from its mark-up
};

// How a search-result block names its member.
enum class ListingLink {
  kMemberSite,     // <A href="http://NAME.<member domain>/">
  kOfferList,      // http://<main host>/company/offerlist/NAME.html
  kDirectory,      // http://<directory host>/athena/NAME.html
  kRelative,       // a relative link ending in /NAME.html, and no known address
  kOfferListText,  // the offer-list address written as text (hostile names)
};

enum class ProfileForm { kFullProfile, kDirectoryEntry };

// The sixteen labelled facts of a full profile, in this order.
inline constexpr std::array<std::string_view, 16> kProfileLabels = {
    "公司主页：", "资信参考人：", "会员评价：", "证书及荣誉：", "工商注册信息：",
    "研发部门人数：", "主要市场：", "主要经营地点：", "公司成立时间：", "员工人数：",
    "公司注册地：", "注册资本：", "经营模式：", "企业类型：", "主营行业：",
    "主营产品或服务："};

struct Credit {
  std::string seller;      // 卖家信用
  std::string buyer;       // 买家信用
  std::string location;    // 所在地 as shown: province + city, a place abroad, or empty
  std::string province;    // the province it starts with, "其他" abroad, empty when no location
  std::string city;        // the rest, "其他" abroad, empty when no location
  std::string signed_up;   // 注册时间
  std::string last_login;  // 上次登录
};

struct Member {
  int number = 0;    // position in the catalogue, from 1
  std::string name;  // the member name (AName)

  ContactForm contact_form = ContactForm::kMarketplacePage;
  bool contact_has_leave_message = false;  // "点此留言 联系方式" heading on the own page
  std::string company;   // may hold "'"
  std::string person;
  std::string sex;       // 先生 / 女士
  std::string job;
  std::string phone;     // own page: 0571-88881234; member site: 0571 8888 1234
  std::string mobile;    // may be empty
  std::string fax;       // own page: 0571-88881235; member site: 0571 88881235; may be empty
  std::string address;   // may start with "中国 "
  std::string postcode;  // six digits, sometimes full-width
  std::vector<std::string> web_links;  // absolute URLs; at most one on the own page

  ListingLink listing_link = ListingLink::kMemberSite;
  bool has_offer_list = false;  // otherwise /company/offerlist/NAME.html is 404

  ProfileForm profile_form = ProfileForm::kFullProfile;
  std::array<std::string, 16> profile;    // values for kProfileLabels, as shown
  std::vector<std::string> introduction;  // paragraphs, as shown

  Credit credit;
};

struct CatalogueOptions {
  std::uint32_t seed = 1;
  int members = 100;
  // Replaces a few members by names that break careless code: quotes,
  // spaces, "/", "..", SQL text (kHostileNames, at members 3, 6, 9, 12, 15).
  // Search pages write their offer-list address as text, so the worker reads
  // them back unchanged. Their pages are served under the name as requested,
  // but a client that squashes "/../" never reaches the page of "../evil".
  bool hostile_names = false;
};

inline constexpr std::array<std::string_view, 5> kHostileNames = {
    "a'b", "x y", "../evil", "a/b", "'; DROP TABLE 地址表; --"};

class Catalogue {
 public:
  explicit Catalogue(const CatalogueOptions& options = {});

  const std::vector<Member>& members() const { return members_; }
  int size() const { return static_cast<int>(members_.size()); }
  const Member& at(int number) const { return members_.at(number - 1); }  // from 1
  const Member* Find(std::string_view name) const;
  std::uint32_t seed() const { return seed_; }

 private:
  std::uint32_t seed_;
  std::vector<Member> members_;
  std::unordered_map<std::string, int> index_by_name_;
};

// Generates member `number` of the catalogue for `seed`.
Member GenerateMember(std::uint32_t seed, int number);

}  // namespace sample_market
