#include "store_test_support.h"

namespace quenlo {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class DatabaseOperationsTest : public StoreTest {};

TEST_F(DatabaseOperationsTest, NewMemberRowsReadEmptyTextSoTheHarvestsFindThem) {
  DbExecute(QStringLiteral("INSERT INTO 地址表(AName) VALUES(?)"), {QStringLiteral("member1")});
  DbExecute(QStringLiteral("INSERT INTO 介绍表(AName) VALUES(?)"), {QStringLiteral("member1")});
  DbExecute(QStringLiteral("INSERT INTO 地址表(AName) VALUES(?)"), {QStringLiteral("member2")});
  DbExecute(QStringLiteral("UPDATE 地址表 SET CName=? WHERE AName=?"),
            {QStringLiteral("某某公司"), QStringLiteral("member2")});

  Connection connection;
  Recordset records;
  DbOpenRecordset(connection, records, QStringLiteral("SELECT AName FROM 地址表 WHERE CName=''"));
  ASSERT_EQ(records.RecordCount(), 1);
  EXPECT_EQ(records.Value(QStringLiteral("AName")).toString(), QStringLiteral("member1"));
  DbOpenRecordset(connection, records, QStringLiteral("SELECT AName FROM 介绍表 WHERE Intro=''"));
  EXPECT_EQ(records.RecordCount(), 1);
  DbCloseRecordset(connection, records);
  EXPECT_FALSE(records.IsOpen());
  EXPECT_FALSE(connection.IsOpen());
  EXPECT_THAT(messenger_.shown, IsEmpty());
}

TEST_F(DatabaseOperationsTest, ValuesWithQuotesAndSqlCharactersAreStoredIntact) {
  const QStringList awkward = {QStringLiteral("O'Brien's"),
                               QStringLiteral("say \"hi\""),
                               QStringLiteral("100%_off"),
                               QStringLiteral("a; DROP TABLE 地址表; --"),
                               QStringLiteral("line1\r\nline2\nline3"),
                               QStringLiteral("’〗★〖中文")};
  for (const QString& value : awkward) {
    DbExecute(QStringLiteral("INSERT INTO 地址表(AName) VALUES(?)"), {value});
    DbExecute(QStringLiteral("UPDATE 地址表 SET CName=?,RJob=? WHERE AName=?"),
              {value + "-c", QString(), value});
  }
  QStringList expectedNames;
  for (const QString& value : awkward) expectedNames << value + "-c";
  EXPECT_EQ(Column(QStringLiteral("地址表"), QStringLiteral("AName")), awkward);
  EXPECT_EQ(Column(QStringLiteral("地址表"), QStringLiteral("CName")), expectedNames);
  // An empty text stays an empty text, so such rows still match RJob=''.
  Connection connection;
  Recordset records;
  DbOpenRecordset(connection, records, QStringLiteral("SELECT ID FROM 地址表 WHERE RJob=''"));
  EXPECT_EQ(records.RecordCount(), awkward.size());
}

TEST_F(DatabaseOperationsTest, LikeMatchesChineseTextAndIgnoresAsciiCase) {
  for (const char* name : {"深圳市电子有限公司", "电子", "上海机械厂", "ACME Electronics"}) {
    DbExecute(QStringLiteral("INSERT INTO 地址表(AName,CName) VALUES('m',?)"),
              {QString::fromUtf8(name)});
  }
  Connection connection;
  Recordset records;
  DbOpenRecordset(connection, records,
                  QStringLiteral("SELECT CName FROM 地址表 WHERE CName LIKE ? ORDER BY ID"),
                  {QStringLiteral("%电子%")});
  ASSERT_EQ(records.RecordCount(), 2);
  EXPECT_EQ(records.Value(0).toString(), QStringLiteral("深圳市电子有限公司"));
  DbOpenRecordset(connection, records,
                  QStringLiteral("SELECT CName FROM 地址表 WHERE CName LIKE '%electronic%'"));
  EXPECT_EQ(records.RecordCount(), 1);
  DbCloseRecordset(connection, records);
}

TEST_F(DatabaseOperationsTest, DeleteStarFromRemovesOnlyTheNamedMember) {
  for (const char* name : {"keep1", "gone", "keep2", "gone"}) {
    DbExecute(QStringLiteral("INSERT INTO 地址表(AName) VALUES(?)"), {QString::fromUtf8(name)});
  }
  DbExecute(QStringLiteral("DELETE * FROM 地址表 WHERE AName=?"), {QStringLiteral("gone")});
  EXPECT_THAT(Column(QStringLiteral("地址表"), QStringLiteral("AName")),
              ElementsAre(QStringLiteral("keep1"), QStringLiteral("keep2")));
}

TEST_F(DatabaseOperationsTest, FailingStatementsThrowWithoutAMessageAndChangeNothing) {
  DbExecute(QStringLiteral("INSERT INTO 地址表(AName) VALUES(?)"), {QStringLiteral("m")});
  EXPECT_THROW(DbExecute(QStringLiteral("UPDATE 无此表 SET CName='x'")), DbError);
  EXPECT_THROW(DbExecute(QStringLiteral("UPDATE 地址表 SET CName=? WHERE AName=?"),
                         {QStringLiteral("only one value")}),
               DbError);
  // A second statement smuggled behind the first is refused as a whole.
  EXPECT_THROW(DbExecute(QStringLiteral("UPDATE 地址表 SET CName='x'; DELETE FROM 地址表")),
               DbError);
  EXPECT_THAT(Column(QStringLiteral("地址表"), QStringLiteral("CName")), ElementsAre(QString()));
  EXPECT_THAT(messenger_.shown, IsEmpty());
}

TEST_F(DatabaseOperationsTest, IdsRiseAndAreNotReusedAfterDeletion) {
  for (int i = 0; i < 3; ++i) {
    DbExecute(QStringLiteral("INSERT INTO 地址表(AName) VALUES(?)"), {QString::number(i)});
  }
  DbExecute(QStringLiteral("DELETE * FROM 地址表 WHERE AName='2'"));
  DbExecute(QStringLiteral("INSERT INTO 地址表(AName) VALUES('new')"));
  EXPECT_THAT(Column(QStringLiteral("地址表"), QStringLiteral("ID")),
              ElementsAre(QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("4")));
}

TEST_F(DatabaseOperationsTest, LookupFindsByTextOrNumberAndGivesEmptyTextWhenAbsent) {
  DbExecute(QStringLiteral("INSERT INTO 地址表(AName,CName) VALUES('m1','公司一')"));
  DbExecute(QStringLiteral("INSERT INTO 地址表(AName,CName) VALUES('m2','公司二')"));
  DbExecute(QStringLiteral("INSERT INTO 地址表(AName,CName) VALUES('15',NULL)"));
  const QString table = QStringLiteral("地址表");

  EXPECT_EQ(DbLookup(table, QStringLiteral("m2"), QStringLiteral("AName"), QStringLiteral("CName")),
            QVariant(QStringLiteral("公司二")));
  EXPECT_EQ(DbLookup(table, 1, QStringLiteral("ID"), QStringLiteral("AName")),
            QVariant(QStringLiteral("m1")));
  // A number compared with a text column matches its decimal text.
  EXPECT_EQ(DbLookup(table, 15, QStringLiteral("AName"), QStringLiteral("ID")).toInt(), 3);
  const QVariant missing =
      DbLookup(table, QStringLiteral("nobody"), QStringLiteral("AName"), QStringLiteral("CName"));
  EXPECT_TRUE(missing.isValid());
  EXPECT_EQ(missing.toString(), QString());
  EXPECT_FALSE(
      DbLookup(table, QStringLiteral("15"), QStringLiteral("AName"), QStringLiteral("CName"))
          .isValid());
  EXPECT_THAT(messenger_.shown, IsEmpty());
}

TEST_F(DatabaseOperationsTest, LookupRefusesNamesThatAreNoColumnsOfTheTable) {
  DbExecute(QStringLiteral("INSERT INTO 地址表(AName,CName) VALUES('m1','公司一')"));
  const QVariant result = DbLookup(QStringLiteral("地址表"), QStringLiteral("m1"),
                                   QStringLiteral("AName=AName OR 1"), QStringLiteral("CName"));
  EXPECT_EQ(result.toString(), QString());
  ASSERT_EQ(messenger_.shown.size(), 1);
  EXPECT_TRUE(
      messenger_.shown[0].startsWith(QStringLiteral("数据库打开错误(SELECT * FROM 地址表")));
  EXPECT_TRUE(messenger_.shown[0].endsWith(QStringLiteral(")！")));
  EXPECT_TRUE(IsKnownColumn(QStringLiteral("介绍表"), QStringLiteral("Intro")));
  EXPECT_FALSE(IsKnownColumn(QStringLiteral("地址表"), QStringLiteral("Intro")));
  EXPECT_FALSE(IsKnownTable(QStringLiteral("sqlite_master")));
}

TEST_F(DatabaseOperationsTest, EmptyResultOpensQuietlyAndRejectedSqlShowsTheOpenMessage) {
  Connection connection;
  Recordset records;
  DbOpenRecordset(connection, records, QStringLiteral("SELECT * FROM 地址表"));
  EXPECT_TRUE(records.IsOpen());
  EXPECT_EQ(records.RecordCount(), 0);
  EXPECT_TRUE(records.Eof());
  EXPECT_TRUE(records.Bof());
  EXPECT_EQ(records.FieldCount(), 12);
  EXPECT_THAT(messenger_.shown, IsEmpty());

  const QString bad = QStringLiteral("SELECT * FROM 无此表 WHERE AName='x'");
  DbOpenRecordset(connection, records, bad);
  EXPECT_FALSE(records.IsOpen());
  EXPECT_EQ(records.RecordCount(), 0);
  EXPECT_THAT(messenger_.shown,
              ElementsAre(QStringLiteral("数据库打开错误(") + bad + QStringLiteral(")！")));
  // The message shows the values the statement was given, quotes doubled.
  DbOpenRecordset(connection, records, QStringLiteral("SELECT * FROM 无此表 WHERE AName=? AND B='?' AND C=?"),
                  {QStringLiteral("O'Brien"), 7});
  EXPECT_EQ(messenger_.shown.value(1),
            QStringLiteral("数据库打开错误(SELECT * FROM 无此表 WHERE AName='O''Brien' AND B='?' AND C=7)！"));
  DbCloseRecordset(connection, records);
  DbCloseRecordset(connection, records);  // closing twice is no error
}

TEST_F(DatabaseOperationsTest, TransactionsCommitTogetherOrUndoTogether) {
  {
    DbTransaction page;
    DbExecute(QStringLiteral("INSERT INTO 地址表(AName) VALUES('kept1')"));
    {
      DbTransaction failed;
      DbExecute(QStringLiteral("INSERT INTO 地址表(AName) VALUES('undone')"));
    }  // no Commit: only the inner statements are undone
    DbExecute(QStringLiteral("INSERT INTO 地址表(AName) VALUES('kept2')"));
    DbRemoveDuplicates(QStringLiteral("地址表"), QStringLiteral("AName"), QStringLiteral("ID"));
    page.Commit();
  }
  {
    DbTransaction abandoned;
    DbExecute(QStringLiteral("DELETE * FROM 地址表"));
  }
  // A fresh connection sees exactly what was committed.
  DbReleaseSharedConnection();
  EXPECT_THAT(Column(QStringLiteral("地址表"), QStringLiteral("AName")),
              ElementsAre(QStringLiteral("kept1"), QStringLiteral("kept2")));
  EXPECT_THAT(messenger_.shown, IsEmpty());
}

}  // namespace
}  // namespace quenlo
