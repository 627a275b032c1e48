#include <QRandomGenerator>
#include <map>

#include "store_test_support.h"

namespace quenlo {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class RemoveDuplicatesTest : public StoreTest {
 protected:
  static void RemoveDuplicatesOf(const QString& table) {
    EXPECT_TRUE(
        Succeeded(DbRemoveDuplicates(table, QStringLiteral("AName"), QStringLiteral("ID"))));
  }
  static void InsertWithId(const QString& table, int id, const QVariant& name) {
    RunSql("INSERT INTO " + table + "(ID,AName) VALUES(?,?)", {id, name});
  }
  static QStringList IdsAndNames(const QString& table) {
    QStringList rows;
    const QStringList ids = Column(table, QStringLiteral("ID"));
    const QStringList names = Column(table, QStringLiteral("AName"));
    for (int i = 0; i < ids.size(); ++i) rows << ids[i] + "/" + names[i];
    return rows;
  }
  const QString contacts_ = QStringLiteral("地址表");
};

TEST_F(RemoveDuplicatesTest, EmptyTableStaysEmpty) {
  RemoveDuplicatesOf(contacts_);
  EXPECT_THAT(Column(contacts_, QStringLiteral("ID")), IsEmpty());
}

TEST_F(RemoveDuplicatesTest, KeepsTheOldestRowOfEachKey) {
  InsertWithId(contacts_, 3, QStringLiteral("b"));
  InsertWithId(contacts_, 2, QStringLiteral("a"));
  InsertWithId(contacts_, 1, QStringLiteral("b"));
  RemoveDuplicatesOf(contacts_);
  EXPECT_THAT(IdsAndNames(contacts_), ElementsAre(QStringLiteral("1/b"), QStringLiteral("2/a")));
}

TEST_F(RemoveDuplicatesTest, KeysCompareCaseSensitivelyAndNullKeysGo) {
  InsertWithId(contacts_, 1, QVariant());
  InsertWithId(contacts_, 2, QStringLiteral("A"));  // would equal the walk's "A"-marked key
  InsertWithId(contacts_, 3, QStringLiteral("abc"));
  InsertWithId(contacts_, 4, QStringLiteral("ABC"));
  InsertWithId(contacts_, 5, QStringLiteral(""));
  InsertWithId(contacts_, 6, QStringLiteral(""));
  InsertWithId(contacts_, 7, QVariant());
  InsertWithId(contacts_, 8, QStringLiteral("abc"));
  RemoveDuplicatesOf(contacts_);
  EXPECT_THAT(IdsAndNames(contacts_), ElementsAre(QStringLiteral("2/A"), QStringLiteral("3/abc"),
                                                  QStringLiteral("4/ABC"), QStringLiteral("5/")));
}

TEST_F(RemoveDuplicatesTest, TenThousandRowsKeepExactlyTheOldestRowOfEveryName) {
  QRandomGenerator random(20240601);
  std::map<QString, int> oldest;
  RunSql(QStringLiteral("BEGIN"));
  for (int id = 1; id <= 10000; ++id) {
    const QString name = QStringLiteral("member%1").arg(random.bounded(3000));
    // Insert out of ID order, so row order on disk says nothing.
    const int shuffledId = (id * 7919) % 10007;
    InsertWithId(contacts_, shuffledId, name);
    RunSql(QStringLiteral("INSERT INTO 介绍表(AName) VALUES(?)"), {name});
    auto [it, fresh] = oldest.emplace(name, shuffledId);
    if (!fresh) it->second = std::min(it->second, shuffledId);
  }
  RunSql(QStringLiteral("COMMIT"));

  RemoveDuplicatesOf(contacts_);
  RemoveDuplicatesOf(QStringLiteral("介绍表"));

  std::map<QString, int> kept;
  const QStringList ids = Column(contacts_, QStringLiteral("ID"));
  const QStringList names = Column(contacts_, QStringLiteral("AName"));
  for (int i = 0; i < ids.size(); ++i) EXPECT_TRUE(kept.emplace(names[i], ids[i].toInt()).second);
  EXPECT_EQ(kept, oldest);
  EXPECT_EQ(Column(QStringLiteral("介绍表"), QStringLiteral("AName")).size(), int(oldest.size()));
}

TEST_F(RemoveDuplicatesTest, RefusesNamesThatAreNoColumnsOfTheTable) {
  InsertWithId(contacts_, 1, QStringLiteral("x"));
  InsertWithId(contacts_, 2, QStringLiteral("x"));
  EXPECT_EQ(DbRemoveDuplicates(contacts_, QStringLiteral("AName"),
                               QStringLiteral("ID; DROP TABLE 地址表"))
                .Message(),
            QStringLiteral(
                "数据库打开错误(SELECT * FROM 地址表 ORDER BY AName,ID; DROP TABLE 地址表)！"));
  EXPECT_FALSE(
      DbRemoveDuplicates(QStringLiteral("无此表"), QStringLiteral("AName"), QStringLiteral("ID"))
          .Ok());
  EXPECT_EQ(Column(contacts_, QStringLiteral("ID")).size(), 2);
}

}  // namespace
}  // namespace quenlo
