#include "store_test_support.h"

namespace quenlo {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

// The value a lookup in 地址表 that must succeed finds.
QVariant Lookup(const QVariant& key, const QString& keyColumn, const QString& valueColumn) {
  QVariant value;
  EXPECT_TRUE(Succeeded(DbLookup(QStringLiteral("地址表"), key, keyColumn, valueColumn, &value)));
  return value;
}

class DatabaseOperationsTest : public StoreTest {};

TEST_F(DatabaseOperationsTest, NewMemberRowsReadEmptyTextSoTheHarvestsFindThem) {
  RunSql(QStringLiteral("INSERT INTO 地址表(AName) VALUES(?)"), {QStringLiteral("member1")});
  RunSql(QStringLiteral("INSERT INTO 介绍表(AName) VALUES(?)"), {QStringLiteral("member1")});
  RunSql(QStringLiteral("INSERT INTO 地址表(AName) VALUES(?)"), {QStringLiteral("member2")});
  RunSql(QStringLiteral("UPDATE 地址表 SET CName=? WHERE AName=?"),
         {QStringLiteral("某某公司"), QStringLiteral("member2")});

  Connection connection;
  Recordset records;
  ASSERT_TRUE(Succeeded(DbOpenRecordset(
      connection, records, QStringLiteral("SELECT AName FROM 地址表 WHERE CName=''"))));
  ASSERT_EQ(records.RecordCount(), 1);
  EXPECT_EQ(records.Value(QStringLiteral("AName")).toString(), QStringLiteral("member1"));
  ASSERT_TRUE(Succeeded(DbOpenRecordset(
      connection, records, QStringLiteral("SELECT AName FROM 介绍表 WHERE Intro=''"))));
  EXPECT_EQ(records.RecordCount(), 1);
  DbCloseRecordset(connection, records);
  EXPECT_FALSE(records.IsOpen());
  EXPECT_FALSE(connection.IsOpen());
}

TEST_F(DatabaseOperationsTest, ValuesWithQuotesAndSqlCharactersAreStoredIntact) {
  const QStringList awkward = {QStringLiteral("O'Brien's"),
                               QStringLiteral("say \"hi\""),
                               QStringLiteral("100%_off"),
                               QStringLiteral("a; DROP TABLE 地址表; --"),
                               QStringLiteral("line1\r\nline2\nline3"),
                               QStringLiteral("’〗★〖中文")};
  for (const QString& value : awkward) {
    RunSql(QStringLiteral("INSERT INTO 地址表(AName) VALUES(?)"), {value});
    RunSql(QStringLiteral("UPDATE 地址表 SET CName=?,RJob=? WHERE AName=?"),
           {value + "-c", QString(), value});
  }
  QStringList expectedNames;
  for (const QString& value : awkward) expectedNames << value + "-c";
  EXPECT_EQ(Column(QStringLiteral("地址表"), QStringLiteral("AName")), awkward);
  EXPECT_EQ(Column(QStringLiteral("地址表"), QStringLiteral("CName")), expectedNames);
  // An empty text stays an empty text, so such rows still match RJob=''.
  Connection connection;
  Recordset records;
  ASSERT_TRUE(Succeeded(
      DbOpenRecordset(connection, records, QStringLiteral("SELECT ID FROM 地址表 WHERE RJob=''"))));
  EXPECT_EQ(records.RecordCount(), awkward.size());
}

TEST_F(DatabaseOperationsTest, LikeMatchesChineseTextAndIgnoresAsciiCase) {
  for (const char* name : {"深圳市电子有限公司", "电子", "上海机械厂", "ACME Electronics"}) {
    RunSql(QStringLiteral("INSERT INTO 地址表(AName,CName) VALUES('m',?)"),
           {QString::fromUtf8(name)});
  }
  Connection connection;
  Recordset records;
  ASSERT_TRUE(Succeeded(
      DbOpenRecordset(connection, records,
                      QStringLiteral("SELECT CName FROM 地址表 WHERE CName LIKE ? ORDER BY ID"),
                      {QStringLiteral("%电子%")})));
  ASSERT_EQ(records.RecordCount(), 2);
  EXPECT_EQ(records.Value(0).toString(), QStringLiteral("深圳市电子有限公司"));
  ASSERT_TRUE(Succeeded(
      DbOpenRecordset(connection, records,
                      QStringLiteral("SELECT CName FROM 地址表 WHERE CName LIKE '%electronic%'"))));
  EXPECT_EQ(records.RecordCount(), 1);
  DbCloseRecordset(connection, records);
}

TEST_F(DatabaseOperationsTest, DeleteStarFromRemovesOnlyTheNamedMember) {
  for (const char* name : {"keep1", "gone", "keep2", "gone"}) {
    RunSql(QStringLiteral("INSERT INTO 地址表(AName) VALUES(?)"), {QString::fromUtf8(name)});
  }
  RunSql(QStringLiteral("DELETE * FROM 地址表 WHERE AName=?"), {QStringLiteral("gone")});
  EXPECT_THAT(Column(QStringLiteral("地址表"), QStringLiteral("AName")),
              ElementsAre(QStringLiteral("keep1"), QStringLiteral("keep2")));
}

TEST_F(DatabaseOperationsTest, FailingStatementsReportWhyAndChangeNothing) {
  RunSql(QStringLiteral("INSERT INTO 地址表(AName) VALUES(?)"), {QStringLiteral("m")});
  EXPECT_THAT(DbExecute(QStringLiteral("UPDATE 无此表 SET CName='x'")).Message().toStdString(),
              HasSubstr("no such table"));
  EXPECT_FALSE(DbExecute(QStringLiteral("UPDATE 地址表 SET CName=? WHERE AName=?"),
                         {QStringLiteral("only one value")})
                   .Ok());
  // A second statement smuggled behind the first is refused as a whole.
  EXPECT_FALSE(DbExecute(QStringLiteral("UPDATE 地址表 SET CName='x'; DELETE FROM 地址表")).Ok());
  EXPECT_THAT(Column(QStringLiteral("地址表"), QStringLiteral("CName")), ElementsAre(QString()));
}

TEST_F(DatabaseOperationsTest, IdsRiseAndAreNotReusedAfterDeletion) {
  for (int i = 0; i < 3; ++i) {
    RunSql(QStringLiteral("INSERT INTO 地址表(AName) VALUES(?)"), {QString::number(i)});
  }
  RunSql(QStringLiteral("DELETE * FROM 地址表 WHERE AName='2'"));
  RunSql(QStringLiteral("INSERT INTO 地址表(AName) VALUES('new')"));
  EXPECT_THAT(Column(QStringLiteral("地址表"), QStringLiteral("ID")),
              ElementsAre(QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("4")));
}

TEST_F(DatabaseOperationsTest, LookupFindsByTextOrNumberAndGivesEmptyTextWhenAbsent) {
  RunSql(QStringLiteral("INSERT INTO 地址表(AName,CName) VALUES('m1','公司一')"));
  RunSql(QStringLiteral("INSERT INTO 地址表(AName,CName) VALUES('m2','公司二')"));
  RunSql(QStringLiteral("INSERT INTO 地址表(AName,CName) VALUES('15',NULL)"));

  EXPECT_EQ(Lookup(QStringLiteral("m2"), QStringLiteral("AName"), QStringLiteral("CName")),
            QVariant(QStringLiteral("公司二")));
  EXPECT_EQ(Lookup(1, QStringLiteral("ID"), QStringLiteral("AName")),
            QVariant(QStringLiteral("m1")));
  // A number compared with a text column matches its decimal text.
  EXPECT_EQ(Lookup(15, QStringLiteral("AName"), QStringLiteral("ID")).toInt(), 3);
  const QVariant missing =
      Lookup(QStringLiteral("nobody"), QStringLiteral("AName"), QStringLiteral("CName"));
  EXPECT_TRUE(missing.isValid());
  EXPECT_EQ(missing.toString(), QString());
  EXPECT_FALSE(
      Lookup(QStringLiteral("15"), QStringLiteral("AName"), QStringLiteral("CName")).isValid());
}

TEST_F(DatabaseOperationsTest, LookupRefusesNamesThatAreNoColumnsOfTheTable) {
  RunSql(QStringLiteral("INSERT INTO 地址表(AName,CName) VALUES('m1','公司一')"));
  QVariant result;
  const DbStatus refused =
      DbLookup(QStringLiteral("地址表"), QStringLiteral("m1"), QStringLiteral("AName=AName OR 1"),
               QStringLiteral("CName"), &result);
  EXPECT_EQ(result.toString(), QString());
  EXPECT_TRUE(refused.Message().startsWith(QStringLiteral("数据库打开错误(SELECT * FROM 地址表")));
  EXPECT_TRUE(refused.Message().endsWith(QStringLiteral(")！")));
  EXPECT_TRUE(IsKnownColumn(QStringLiteral("介绍表"), QStringLiteral("Intro")));
  EXPECT_FALSE(IsKnownColumn(QStringLiteral("地址表"), QStringLiteral("Intro")));
  EXPECT_FALSE(IsKnownTable(QStringLiteral("sqlite_master")));
}

TEST_F(DatabaseOperationsTest, EmptyResultOpensAndRejectedSqlReportsTheOpenMessage) {
  Connection connection;
  Recordset records;
  ASSERT_TRUE(
      Succeeded(DbOpenRecordset(connection, records, QStringLiteral("SELECT * FROM 地址表"))));
  EXPECT_TRUE(records.IsOpen());
  EXPECT_EQ(records.RecordCount(), 0);
  EXPECT_TRUE(records.Eof());
  EXPECT_TRUE(records.Bof());
  EXPECT_EQ(records.FieldCount(), 12);

  const QString bad = QStringLiteral("SELECT * FROM 无此表 WHERE AName='x'");
  const DbStatus rejected = DbOpenRecordset(connection, records, bad);
  EXPECT_FALSE(records.IsOpen());
  EXPECT_EQ(records.RecordCount(), 0);
  EXPECT_EQ(rejected.Message(), QStringLiteral("数据库打开错误(") + bad + QStringLiteral(")！"));
  EXPECT_THAT(rejected.Reason().toStdString(), HasSubstr("no such table"));
  // The message shows the values the statement was given, quotes doubled.
  EXPECT_EQ(DbOpenRecordset(connection, records,
                            QStringLiteral("SELECT * FROM 无此表 WHERE AName=? AND B='?' AND C=?"),
                            {QStringLiteral("O'Brien"), 7})
                .Message(),
            QStringLiteral(
                "数据库打开错误(SELECT * FROM 无此表 WHERE AName='O''Brien' AND B='?' AND C=7)！"));
  DbCloseRecordset(connection, records);
  DbCloseRecordset(connection, records);  // closing twice is no error
}

TEST_F(DatabaseOperationsTest, TransactionsCommitTogetherOrUndoTogether) {
  {
    DbTransaction page;
    ASSERT_TRUE(Succeeded(page.Begin()));
    RunSql(QStringLiteral("INSERT INTO 地址表(AName) VALUES('kept1')"));
    {
      DbTransaction failed;
      ASSERT_TRUE(Succeeded(failed.Begin()));
      RunSql(QStringLiteral("INSERT INTO 地址表(AName) VALUES('undone')"));
    }  // no Commit: only the inner statements are undone
    RunSql(QStringLiteral("INSERT INTO 地址表(AName) VALUES('kept2')"));
    EXPECT_TRUE(Succeeded(DbRemoveDuplicates(QStringLiteral("地址表"), QStringLiteral("AName"),
                                             QStringLiteral("ID"))));
    EXPECT_TRUE(Succeeded(page.Commit()));
  }
  {
    DbTransaction abandoned;
    ASSERT_TRUE(Succeeded(abandoned.Begin()));
    RunSql(QStringLiteral("DELETE * FROM 地址表"));
  }
  // A fresh connection sees exactly what was committed.
  DbReleaseSharedConnection();
  EXPECT_THAT(Column(QStringLiteral("地址表"), QStringLiteral("AName")),
              ElementsAre(QStringLiteral("kept1"), QStringLiteral("kept2")));
}

}  // namespace
}  // namespace quenlo
