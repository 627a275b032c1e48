#include "tools/sample_market/catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace sample_market {
namespace {

std::vector<std::string> TextsOf(const Member& m) {
  std::vector<std::string> texts = {m.name,    m.company,  m.person,   m.sex,
                                    m.job,     m.phone,    m.mobile,   m.fax,
                                    m.address, m.postcode, m.credit.seller, m.credit.buyer,
                                    m.credit.location, m.credit.signed_up, m.credit.last_login};
  texts.insert(texts.end(), m.web_links.begin(), m.web_links.end());
  texts.insert(texts.end(), m.profile.begin(), m.profile.end());
  texts.insert(texts.end(), m.introduction.begin(), m.introduction.end());
  return texts;
}

TEST(SampleCatalogueTest, MemberKIsTheSameWhateverTheCatalogueSize) {
  Catalogue small({.seed = 5, .members = 10, .hostile_names = false});
  Catalogue large({.seed = 5, .members = 600, .hostile_names = false});
  for (int number = 1; number <= 10; ++number) {
    EXPECT_EQ(TextsOf(small.at(number)), TextsOf(large.at(number))) << number;
  }
  Catalogue reseeded({.seed = 6, .members = 10, .hostile_names = false});
  EXPECT_NE(TextsOf(small.at(1)), TextsOf(reseeded.at(1)));
}

TEST(SampleCatalogueTest, NamesAreUniqueAndUsableAsHostLabels) {
  Catalogue catalogue({.seed = 1, .members = 600, .hostile_names = false});
  std::set<std::string> names;
  for (const Member& m : catalogue.members()) {
    EXPECT_TRUE(names.insert(m.name).second) << "repeated " << m.name;
    EXPECT_TRUE(std::all_of(m.name.begin(), m.name.end(),
                            [](char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); }))
        << m.name;
    EXPECT_EQ(catalogue.Find(m.name), &m);
  }
  EXPECT_EQ(catalogue.Find("nosuchmember"), nullptr);
}

TEST(SampleCatalogueTest, OneSearchPageShowsEveryListingLinkAndBothContactForms) {
  Catalogue catalogue;
  std::set<ListingLink> links;
  int own_pages = 0;
  for (int number = 1; number <= 40; ++number) {
    links.insert(catalogue.at(number).listing_link);
    own_pages += catalogue.at(number).contact_form == ContactForm::kMarketplacePage;
  }
  EXPECT_EQ(links.size(), 4u);
  EXPECT_EQ(own_pages, 20);
}

TEST(SampleCatalogueTest, TheDefaultCatalogueHoldsEveryVariantTheCondensersMeet) {
  Catalogue catalogue;
  auto some = [&](auto&& predicate) {
    return std::any_of(catalogue.members().begin(), catalogue.members().end(), predicate);
  };
  auto site = [](const Member& m) { return m.contact_form == ContactForm::kMemberSite; };
  EXPECT_TRUE(some([](const Member& m) { return m.address.starts_with("中国 "); }));
  EXPECT_TRUE(some([](const Member& m) { return m.company.find('\'') != std::string::npos; }));
  EXPECT_TRUE(some([](const Member& m) { return m.mobile.empty(); }));
  EXPECT_TRUE(some([](const Member& m) { return m.profile_form == ProfileForm::kDirectoryEntry; }));
  EXPECT_TRUE(some([](const Member& m) { return m.contact_has_leave_message; }));
  EXPECT_TRUE(some([](const Member& m) { return !m.contact_has_leave_message; }));
  EXPECT_TRUE(some([](const Member& m) { return m.credit.province == "其他"; }));
  EXPECT_TRUE(some([](const Member& m) { return m.credit.location.empty(); }));
  EXPECT_TRUE(some([&](const Member& m) { return site(m) && m.web_links.size() == 2; }));
  EXPECT_TRUE(some([&](const Member& m) { return site(m) && m.web_links.empty(); }));
  EXPECT_TRUE(some([&](const Member& m) { return site(m) && m.postcode.size() == 18; }));   // full-width
  EXPECT_TRUE(some([&](const Member& m) { return !site(m) && m.postcode.size() == 18; }));
}

TEST(SampleCatalogueTest, ValuesHoldNoSeparatorCharactersOrLineBreaks) {
  Catalogue catalogue({.seed = 3, .members = 600, .hostile_names = true});
  for (const Member& m : catalogue.members()) {
    for (const std::string& text : TextsOf(m)) {
      for (std::string_view forbidden : {"〗", "★", "〖", "\r", "\n"}) {
        EXPECT_EQ(text.find(forbidden), std::string::npos) << m.name << ": " << text;
      }
    }
  }
}

TEST(SampleCatalogueTest, HostileNamesTakeTheirPlacesWhenAskedFor) {
  Catalogue plain;
  Catalogue hostile({.seed = 1, .members = 100, .hostile_names = true});
  for (std::size_t i = 0; i < kHostileNames.size(); ++i) {
    const Member& m = hostile.at(static_cast<int>(3 * (i + 1)));
    EXPECT_EQ(m.name, kHostileNames[i]);
    EXPECT_EQ(m.listing_link, ListingLink::kOfferListText);
    EXPECT_EQ(hostile.Find(kHostileNames[i]), &m);
    EXPECT_EQ(plain.Find(kHostileNames[i]), nullptr);
  }
  EXPECT_EQ(hostile.at(4).name, plain.at(4).name);
}

}  // namespace
}  // namespace sample_market
