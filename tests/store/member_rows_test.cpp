// Renaming a member in both tables, and rows kept whole and put back.
#include "store/member_rows.h"

#include "store_test_support.h"

namespace quenlo {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

class MemberRowsTest : public StoreTest {
 protected:
  static void AddMember(const QString& member, const QString& company, const QString& intro) {
    RunSql(QStringLiteral("INSERT INTO 地址表(AName, CName) VALUES(?, ?)"), {member, company});
    RunSql(QStringLiteral("INSERT INTO 介绍表(AName, Intro) VALUES(?, ?)"), {member, intro});
  }
};

TEST_F(MemberRowsTest, ARenameReachesBothTablesAndOnlyThatMember) {
  AddMember("alpha", "甲公司", "甲的介绍");
  AddMember("beta", "乙公司", "乙的介绍");
  ASSERT_TRUE(Succeeded(DbRenameMember("alpha", "alpha2")));
  EXPECT_THAT(Column("地址表", "AName"), ElementsAre("alpha2", "beta"));
  EXPECT_THAT(Column("介绍表", "AName"), ElementsAre("alpha2", "beta"));
  EXPECT_THAT(Column("介绍表", "Intro"), ElementsAre("甲的介绍", "乙的介绍"));
}

TEST_F(MemberRowsTest, ARenameToATakenOrUnsafeNameChangesNothingAndSaysWhy) {
  AddMember("alpha", "甲公司", "");
  AddMember("beta", "乙公司", "");
  // A profile row left behind by a deletion from the address table holds its name too.
  RunSql(QStringLiteral("INSERT INTO 介绍表(AName) VALUES('gone')"));

  const DbStatus taken = DbRenameMember("alpha", "beta");
  EXPECT_FALSE(taken.Ok());
  EXPECT_EQ(taken.Message(), "会员编号“beta”已被另一条记录使用。");
  EXPECT_FALSE(DbRenameMember("alpha", "gone").Ok());
  for (const char* unsafe : {"", "a b", "../x", "名字", "a/b"}) {
    const DbStatus refused = DbRenameMember("alpha", unsafe);
    EXPECT_FALSE(refused.Ok()) << unsafe;
    EXPECT_THAT(refused.Message().toStdString(), HasSubstr("不能使用")) << unsafe;
  }
  EXPECT_THAT(Column("地址表", "AName"), ElementsAre("alpha", "beta"));
  EXPECT_THAT(Column("介绍表", "AName"), ElementsAre("alpha", "beta", "gone"));
  EXPECT_TRUE(Succeeded(DbRenameMember("alpha", "alpha")));  // unchanged: nothing to do
}

// The second update failing must take the first back with it.
TEST_F(MemberRowsTest, ARenameThatFailsHalfWayLeavesBothTablesAsTheyWere) {
  AddMember("alpha", "甲公司", "");
  RunSql(
      QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON 介绍表 "
                     "BEGIN SELECT RAISE(ABORT, 'profile locked'); END"));
  const DbStatus renamed = DbRenameMember("alpha", "alpha2");
  EXPECT_FALSE(renamed.Ok());
  EXPECT_THAT(renamed.Message().toStdString(), HasSubstr("profile locked"));
  EXPECT_THAT(Column("地址表", "AName"), ElementsAre("alpha"));
  EXPECT_THAT(Column("介绍表", "AName"), ElementsAre("alpha"));
}

TEST_F(MemberRowsTest, DeletedRowsComeBackWithTheirIdsAndEveryValue) {
  AddMember("alpha", "甲公司", "");
  AddMember("beta", "乙, \"公司\"", "");
  AddMember("beta", "乙的第二行", "");
  AddMember("gamma", "丙公司", "");
  StoredRows kept;
  ASSERT_TRUE(Succeeded(DbReadMemberRows("地址表", "beta", &kept)));
  ASSERT_TRUE(Succeeded(DbReadMemberRows("地址表", "gamma", &kept)));
  EXPECT_EQ(kept.rows.size(), 3u);
  const QStringList idsBefore = Column("地址表", "ID");
  RunSql(QStringLiteral("DELETE FROM 地址表 WHERE AName IN ('beta', 'gamma')"));

  ASSERT_TRUE(Succeeded(DbRestoreRows(kept)));
  EXPECT_EQ(Column("地址表", "ID"), idsBefore);
  EXPECT_THAT(Column("地址表", "CName"),
              ElementsAre("甲公司", "乙, \"公司\"", "乙的第二行", "丙公司"));
  // All or nothing: rows that are back already make a second restore fail whole.
  EXPECT_FALSE(DbRestoreRows(kept).Ok());
  EXPECT_EQ(Column("地址表", "ID"), idsBefore);
}

}  // namespace
}  // namespace quenlo
