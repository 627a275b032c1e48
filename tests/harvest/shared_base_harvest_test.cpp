// Member harvests into a base that is not theirs alone: two quenlo
// processes harvesting into it at once, and a base whose mode and times
// change while a harvest runs. Real quenlo and pitrel processes, the sample
// marketplace, a real base.
#include "harvest_world.h"

#include <sys/stat.h>
#include <utime.h>

#include <QProcess>
#include <QSet>
#include <atomic>
#include <memory>
#include <thread>

namespace quenlo {
namespace {

using testing::HarvestWorld;

constexpr int kMembers = 2000;  // fifty search pages
constexpr int kRunLimitMs = 120'000;

sample_market::MarketplaceOptions Catalogue() {
  sample_market::MarketplaceOptions options;
  options.members = kMembers;
  options.latency_ms = 5;  // long enough for the two runs to overlap throughout
  return options;
}

// quenlo's command line, started in the world's environment with a work
// folder beside the world's.
std::unique_ptr<QProcess> StartQuenlo(const HarvestWorld& world, const QStringList& arguments) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("QUENLO_WORK_DIR"), world.work.path() + "/quenlo-work");
  auto quenlo = std::make_unique<QProcess>();
  quenlo->setProcessEnvironment(environment);
  quenlo->start(QStringLiteral(QUENLO_BUILD_DIR "/quenlo"), arguments);
  EXPECT_TRUE(quenlo->waitForStarted());
  return quenlo;
}

// Waits for the run to end; its exit status, or -1 when it had to be killed.
int Finish(QProcess& quenlo) {
  if (!quenlo.waitForFinished(kRunLimitMs)) {
    quenlo.kill();
    quenlo.waitForFinished();
    return -1;
  }
  return quenlo.exitStatus() == QProcess::NormalExit ? quenlo.exitCode() : -1;
}

std::string ErrorsOf(QProcess& quenlo) { return quenlo.readAllStandardError().toStdString(); }

QSet<QString> AsSet(const QStringList& list) { return {list.begin(), list.end()}; }

// Every catalogue member once in each table: nothing lost, nothing repeated.
void ExpectEveryMemberOnce(const HarvestWorld& world) {
  const QStringList contacts = HarvestWorld::Column(kContactTable, "AName");
  EXPECT_EQ(contacts.size(), kMembers);
  EXPECT_EQ(AsSet(contacts), AsSet(world.CatalogueNames(kMembers)));
  const QStringList profiles = HarvestWorld::Column(kProfileTable, "AName");
  EXPECT_EQ(profiles.size(), kMembers);
  EXPECT_EQ(AsSet(profiles), AsSet(contacts));
}

TEST(SharedBaseHarvest, TwoQuenloProcessesHarvestingIntoOneBaseBothStoreEveryName) {
  HarvestWorld world(Catalogue());
  ASSERT_TRUE(world.started && world.data.Created());
  // Two different searches over the same members, as a window and a script would run them.
  const auto first = StartQuenlo(world, {"members", "hits2000", "--threads", "5"});
  const auto second = StartQuenlo(world, {"members", "网络", "--threads", "8"});
  EXPECT_EQ(Finish(*first), 0) << ErrorsOf(*first);
  EXPECT_EQ(Finish(*second), 0) << ErrorsOf(*second);
  ExpectEveryMemberOnce(world);
}

// chmod and touch give the file a new status-change time; it stays the same file.
TEST(SharedBaseHarvest, AHarvestStoresEveryNameWhileTheBasesModeAndTimesKeepChanging) {
  HarvestWorld world(Catalogue());
  ASSERT_TRUE(world.started && world.data.Created());
  const QByteArray base = QFile::encodeName(world.data.File());
  std::atomic<bool> harvesting = true;
  std::atomic<int> changes = 0;
  std::thread changer([&] {
    for (mode_t mode = 0600; harvesting; mode ^= 0044, ++changes) {
      ::chmod(base.constData(), mode);
      ::utime(base.constData(), nullptr);
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  });
  const auto quenlo = StartQuenlo(world, {"members", "网络", "--threads", "5"});
  const int status = Finish(*quenlo);
  harvesting = false;
  changer.join();
  EXPECT_EQ(status, 0) << ErrorsOf(*quenlo);
  EXPECT_GT(changes, 100);
  ExpectEveryMemberOnce(world);
}

}  // namespace
}  // namespace quenlo
