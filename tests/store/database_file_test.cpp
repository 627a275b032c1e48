#include <QFile>
#include <QProcess>

#include "store_test_support.h"

namespace quenlo {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

const QString kConnectFailed = QStringLiteral("无法建立数据库连接！");

// Runs the sqlcipher shell on a file with the given script; stdout and stderr together.
std::string SqlcipherShell(const QString& file, const QString& script) {
  QProcess shell;
  shell.setProcessChannelMode(QProcess::MergedChannels);
  shell.start(QStringLiteral("/usr/bin/sqlcipher"), {file});
  shell.write(script.toUtf8());
  shell.closeWriteChannel();
  shell.waitForFinished(10000);
  return QString::fromUtf8(shell.readAll()).toStdString();
}

class DatabaseFileTest : public StoreTest {
 protected:
  // Every way of reaching the file reports the failure with the text for the
  // user, and nothing crashes.
  void ExpectEveryOperationReportsAFailedConnection() {
    EXPECT_EQ(DbCheckConnection().Message(), kConnectFailed);
    EXPECT_NE(DbCheckConnection().Reason(), kConnectFailed);  // says why
    Connection connection;
    EXPECT_EQ(DbConnect(connection).Message(), kConnectFailed);
    EXPECT_FALSE(connection.IsOpen());
    Recordset records;
    const QString sql = QStringLiteral("SELECT * FROM 地址表");
    EXPECT_EQ(DbOpenRecordset(connection, records, sql).Message(),
              QStringLiteral("数据库打开错误(") + sql + ")！");
    EXPECT_FALSE(records.IsOpen());
    EXPECT_EQ(DbExecute(QStringLiteral("INSERT INTO 地址表(AName) VALUES('x')")).Message(),
              kConnectFailed);
    DbTransaction transaction;
    EXPECT_EQ(transaction.Begin().Message(), kConnectFailed);
    QVariant value;
    EXPECT_EQ(
        DbLookup(QStringLiteral("地址表"), 1, QStringLiteral("ID"), QStringLiteral("AName"), &value)
            .Message(),
        QStringLiteral("数据库打开错误(SELECT * FROM 地址表 WHERE ID=1)！"));
    EXPECT_EQ(value, QVariant(QString()));
  }
};

TEST_F(DatabaseFileTest, StoredRowsAreReadableWithTheKeyOnly) {
  RunSql(QStringLiteral("INSERT INTO 地址表(AName,CName) VALUES(?,?)"),
         {QStringLiteral("visible"), QStringLiteral("公司名称甲")});
  EXPECT_THAT(
      SqlcipherShell(DataFile(), "PRAGMA key='58203146';\nSELECT AName, CName FROM 地址表;\n"),
      HasSubstr("visible|公司名称甲"));
  const std::string withoutKey = SqlcipherShell(DataFile(), "SELECT AName FROM 地址表;\n");
  EXPECT_THAT(withoutKey, HasSubstr("file is encrypted or is not a database"));
  EXPECT_THAT(withoutKey, Not(HasSubstr("visible")));
  QFile raw(DataFile());
  ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
  EXPECT_FALSE(raw.readAll().contains("SQLite format"));
}

TEST_F(DatabaseFileTest, MissingFileReportsAndIsNotCreated) {
  QTemporaryDir empty;
  PointDataDirectoryAt(empty.path());
  ExpectEveryOperationReportsAFailedConnection();
  EXPECT_THAT(QDir(empty.path()).entryList(QDir::Files), IsEmpty());
}

TEST_F(DatabaseFileTest, WrongKeyReports) {
  QTemporaryDir other;
  const QString file = other.filePath(QStringLiteral("DATA.mdb"));
  SqlcipherShell(
      file, "PRAGMA key='12345678';\nCREATE TABLE 地址表(ID INTEGER PRIMARY KEY, AName TEXT);\n");
  ASSERT_TRUE(QFile::exists(file));
  PointDataDirectoryAt(other.path());
  ExpectEveryOperationReportsAFailedConnection();
}

TEST_F(DatabaseFileTest, AFileThatIsNoDatabaseReports) {
  QTemporaryDir other;
  QFile junk(other.filePath(QStringLiteral("DATA.mdb")));
  ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
  junk.write(QByteArray(4096, 'x'));
  junk.close();
  PointDataDirectoryAt(other.path());
  ExpectEveryOperationReportsAFailedConnection();
}

// An empty file would open as an empty database; it is refused and left as it is.
TEST_F(DatabaseFileTest, AnEmptyFileIsNoRecordBaseAndStaysEmpty) {
  QTemporaryDir other;
  const QString path = other.filePath(QStringLiteral("DATA.mdb"));
  QFile empty(path);
  ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
  empty.close();
  PointDataDirectoryAt(other.path());
  ExpectEveryOperationReportsAFailedConnection();
  EXPECT_EQ(QFileInfo(path).size(), 0);
}

TEST_F(DatabaseFileTest, DeletedOrReplacedFileAndAChangedDirectoryAreNoticed) {
  RunSql(QStringLiteral("INSERT INTO 地址表(AName) VALUES('first')"));
  ASSERT_THAT(Column(QStringLiteral("地址表"), QStringLiteral("AName")), ElementsAre("first"));

  // The same directory, a new file: the old rows must not show through.
  QDir(BaseDirectory()).removeRecursively();
  ASSERT_TRUE(Succeeded(CreateDatabase(BaseDirectory())));
  EXPECT_THAT(Column(QStringLiteral("地址表"), QStringLiteral("AName")), IsEmpty());

  QTemporaryDir second;
  ASSERT_TRUE(Succeeded(CreateDatabase(second.path())));
  PointDataDirectoryAt(second.path());
  RunSql(QStringLiteral("INSERT INTO 地址表(AName) VALUES('second')"));
  PointDataDirectoryAt(BaseDirectory());
  EXPECT_THAT(Column(QStringLiteral("地址表"), QStringLiteral("AName")), IsEmpty());

  QFile::remove(DataFile());
  Connection connection;
  EXPECT_EQ(DbConnect(connection).Message(), kConnectFailed);
  EXPECT_FALSE(connection.IsOpen());
}

TEST_F(DatabaseFileTest, CreateDatabaseNeverOverwritesAndMakesMissingDirectories) {
  RunSql(QStringLiteral("INSERT INTO 地址表(AName) VALUES('precious')"));
  const DbStatus again = CreateDatabase(BaseDirectory());
  EXPECT_FALSE(again.Ok());
  EXPECT_THAT(again.Message().toStdString(), HasSubstr("DATA.mdb"));
  EXPECT_THAT(Column(QStringLiteral("地址表"), QStringLiteral("AName")), ElementsAre("precious"));

  const QString nested = QDir(BaseDirectory()).filePath(QStringLiteral("a/b"));
  ASSERT_TRUE(Succeeded(CreateDatabase(nested)));
  EXPECT_THAT(QDir(nested).entryList(QDir::Files), ElementsAre(QStringLiteral("DATA.mdb")));
}

TEST_F(DatabaseFileTest, WritesOfAnotherProcessAreSeen) {
  RunSql(QStringLiteral("INSERT INTO 地址表(AName) VALUES('ours')"));
  SqlcipherShell(DataFile(),
                 "PRAGMA key='58203146';\nINSERT INTO 地址表(AName) VALUES('theirs');\n");
  EXPECT_THAT(Column(QStringLiteral("地址表"), QStringLiteral("AName")),
              ElementsAre("ours", "theirs"));
}

}  // namespace
}  // namespace quenlo
