// The member-name and contact harvests through quenlo's command line
// against the sample marketplace over https, its hosts given as
// https://127.0.0.1:PORT, straight and through quenlo's proxy.
#include "harvest/harvest_cli.h"
#include "harvest/worker_protocol.h"
#include "harvest_world.h"
#include "store/proxy_setting.h"
#include "tools/logging_proxy/logging_proxy.h"
#include "tools/sample_market/expected_results.h"

#include <QSet>

namespace quenlo {
namespace {

using testing::HarvestWorld;

sample_market::MarketplaceOptions OverHttps(int members) {
  sample_market::MarketplaceOptions options;
  options.members = members;
  options.tls = true;
  return options;
}

QSet<QString> AsSet(const QStringList& list) { return {list.begin(), list.end()}; }

TEST(HttpsHarvestTest, MemberNamesAndContactsArriveWholeOverHttps) {
  HarvestWorld world(OverHttps(60));
  ASSERT_TRUE(qgetenv("QUENLO_MAIN_HOST").startsWith("https://127.0.0.1:"));
  ASSERT_TRUE(qgetenv("QUENLO_SEARCH_HOST").startsWith("https://127.0.0.1:"));
  ASSERT_EQ(RunHarvestCommand({"members", "hits60", "--threads", "5"}), 0)
      << world.messenger.messages.join("\n").toStdString();
  EXPECT_EQ(AsSet(HarvestWorld::Column(kContactTable, "AName")), AsSet(world.CatalogueNames(60)));
  ASSERT_EQ(RunHarvestCommand({"contacts"}), 0)
      << world.messenger.messages.join("\n").toStdString();

  const char* columns[] = {"CAddr", "CName",  "CUrl", "CPC",  "RFax",
                           "RMob",  "RPhone", "RJob", "RSex", "RName"};
  QSet<int> forms;
  for (const auto& member : world.market.catalogue().members()) {
    const QString name = QString::fromStdString(member.name);
    const std::vector<std::string> expected = sample_market::ExpectedContactFields(member);
    forms.insert(int(member.contact_form));
    for (std::size_t i = 0; i < std::size(columns); ++i)
      EXPECT_EQ(HarvestWorld::ByMember(kContactTable, columns[i]).value(name),
                QString::fromStdString(expected[i]))
          << member.name << " " << columns[i];
  }
  EXPECT_EQ(forms.size(), 2) << "both contact forms, the member sites' behind a redirect";
  EXPECT_TRUE(world.WorkFiles().isEmpty()) << world.WorkFiles().join(" ").toStdString();
}

TEST(HttpsHarvestTest, QuenlosProxyCarriesEveryPageOfTheHarvests) {
  HarvestWorld world(OverHttps(20));
  logging_proxy::LoggingProxy proxy;
  ASSERT_TRUE(proxy.Start());
  qputenv(kProxyVariable, QByteArray::fromStdString(proxy.Url()));
  const int members = RunHarvestCommand({"members", "hits20"});
  const int contacts = RunHarvestCommand({"contacts"});
  qunsetenv(kProxyVariable);
  ASSERT_EQ(members, 0);
  ASSERT_EQ(contacts, 0);
  EXPECT_EQ(HarvestWorld::Column(kContactTable, "CName", "CName<>''").size(), 20);

  // One tunnel for each request the marketplace saw, redirects included.
  const std::vector<std::string> log = proxy.Log();
  EXPECT_EQ(log.size(), world.market.RequestedPaths().size());
  for (const std::string& line : log) EXPECT_EQ(line, "CONNECT " + world.market.host() + " -> 200");
}

}  // namespace
}  // namespace quenlo
