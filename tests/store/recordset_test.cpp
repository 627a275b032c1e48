#include "store_test_support.h"

namespace quenlo {
namespace {

using ::testing::ElementsAre;

class RecordsetTest : public StoreTest {
 protected:
  void SetUp() override {
    StoreTest::SetUp();
    for (const char* name : {"a", "b", "c", "d"}) {
      RunSql(QStringLiteral("INSERT INTO 地址表(AName,CName) VALUES(?,'')"),
             {QString::fromUtf8(name)});
    }
  }
  Connection connection_;
  Recordset records_;
};

TEST_F(RecordsetTest, MovesBothWaysAndReadsFieldsByNameOrIndex) {
  ASSERT_TRUE(Succeeded(
      DbOpenRecordset(connection_, records_, QStringLiteral("SELECT * FROM 地址表 ORDER BY ID"))));
  ASSERT_EQ(records_.RecordCount(), 4);
  EXPECT_FALSE(records_.Bof());
  EXPECT_EQ(records_.FieldName(1), QStringLiteral("AName"));
  EXPECT_EQ(records_.FieldIndex(QStringLiteral("aname")), 1);
  EXPECT_EQ(records_.FieldIndex(QStringLiteral("Nope")), -1);
  EXPECT_EQ(records_.Value(QStringLiteral("AName")).toString(), QStringLiteral("a"));

  records_.MoveLast();
  EXPECT_EQ(records_.Value(1).toString(), QStringLiteral("d"));
  records_.MoveNext();
  EXPECT_TRUE(records_.Eof());
  EXPECT_THROW(records_.Value(1), std::out_of_range);
  records_.MoveNext();  // staying past the end is harmless
  records_.MovePrevious();
  EXPECT_EQ(records_.Value(1).toString(), QStringLiteral("d"));
  records_.MoveFirst();
  records_.MovePrevious();
  EXPECT_TRUE(records_.Bof());
  EXPECT_THROW(records_.Value(QStringLiteral("NoSuchField")), std::out_of_range);
}

TEST_F(RecordsetTest, DeletingTheCurrentRowRemovesJustThatRowAndMovesSkipIt) {
  ASSERT_TRUE(Succeeded(DbOpenRecordset(
      connection_, records_,
      QStringLiteral("SELECT AName FROM 地址表 WHERE CName='' ORDER BY AName DESC"))));
  records_.MoveNext();  // on "c"
  EXPECT_TRUE(Succeeded(records_.DeleteCurrent()));
  EXPECT_EQ(records_.RecordCount(), 3);
  EXPECT_FALSE(records_.DeleteCurrent().Ok());  // already gone
  records_.MoveNext();
  EXPECT_EQ(records_.Value(0).toString(), QStringLiteral("b"));
  records_.MovePrevious();
  EXPECT_EQ(records_.Value(0).toString(), QStringLiteral("d"));
  DbCloseRecordset(connection_, records_);
  EXPECT_THAT(Column(QStringLiteral("地址表"), QStringLiteral("AName")),
              ElementsAre(QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("d")));
}

TEST_F(RecordsetTest, RowsOfAJoinOrAGroupCannotBeDeleted) {
  RunSql(QStringLiteral("INSERT INTO 介绍表(AName) VALUES('a')"));
  ASSERT_TRUE(
      Succeeded(DbOpenRecordset(connection_, records_,
                                QStringLiteral("SELECT 地址表.AName, Intro FROM 地址表, 介绍表 "
                                               "WHERE 地址表.AName = 介绍表.AName"))));
  ASSERT_EQ(records_.RecordCount(), 1);
  EXPECT_FALSE(records_.DeleteCurrent().Ok());
  ASSERT_TRUE(Succeeded(DbOpenRecordset(
      connection_, records_, QStringLiteral("SELECT AName, count(*) FROM 地址表 GROUP BY AName"))));
  ASSERT_EQ(records_.RecordCount(), 4);
  EXPECT_FALSE(records_.DeleteCurrent().Ok());
  DbCloseRecordset(connection_, records_);
  EXPECT_EQ(Column(QStringLiteral("地址表"), QStringLiteral("AName")).size(), 4);
  EXPECT_EQ(Column(QStringLiteral("介绍表"), QStringLiteral("AName")).size(), 1);
}

TEST_F(RecordsetTest, ARecordsetIsASnapshotThatLaterWritesDoNotDisturb) {
  ASSERT_TRUE(Succeeded(DbOpenRecordset(connection_, records_,
                                        QStringLiteral("SELECT AName FROM 地址表 ORDER BY ID"))));
  RunSql(QStringLiteral("INSERT INTO 地址表(AName) VALUES('e')"));
  RunSql(QStringLiteral("UPDATE 地址表 SET AName='x' WHERE AName='a'"));
  EXPECT_EQ(records_.RecordCount(), 4);
  EXPECT_EQ(records_.Value(0).toString(), QStringLiteral("a"));
}

}  // namespace
}  // namespace quenlo
