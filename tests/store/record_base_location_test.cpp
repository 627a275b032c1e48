// Where the record base lives when nothing names it: beside the program when
// a writable one is there, else the user's own, made at the first start.
// (The base beside an installed, read-only program is checked by the install
// test, which runs the installed quenlo as a user who cannot write its folder.)
#include <QTemporaryDir>

#include "store_test_support.h"

namespace quenlo {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class RecordBaseLocationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(home_.isValid());
    for (const char* name : {"HOME", "XDG_DATA_HOME", "QUENLO_DATA_DIR"})
      saved_.append({name, qgetenv(name)});
    qputenv("HOME", QFile::encodeName(home_.path()));
    qunsetenv("XDG_DATA_HOME");
    qunsetenv("QUENLO_DATA_DIR");
    // The test program's own folder must hold no base, or it would be used.
    const QString ownFolder = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
    ASSERT_FALSE(
        QFileInfo::exists(QDir(ownFolder).filePath(QString::fromLatin1(kDatabaseFileName))));
  }
  void TearDown() override {
    DbReleaseSharedConnection();
    for (const auto& [name, value] : saved_) {
      if (value.isNull()) qunsetenv(name);
      else qputenv(name, value);
    }
  }

  QString InHome(const QString& relative) const { return QDir(home_.path()).filePath(relative); }

  QTemporaryDir home_;
  QList<std::pair<const char*, QByteArray>> saved_;
};

TEST_F(RecordBaseLocationTest, TheUsersBaseIsMadeEmptyOnceAndThenKept) {
  qputenv("XDG_DATA_HOME", QFile::encodeName(InHome(QStringLiteral("data"))));
  EXPECT_EQ(UserDataDirectory(), InHome(QStringLiteral("data/quenlo")));
  EXPECT_EQ(DataDirectory(), UserDataDirectory());

  bool created = false;
  ASSERT_TRUE(testing::Succeeded(CreateUserRecordBaseIfMissing(&created)));
  EXPECT_TRUE(created);
  EXPECT_EQ(DatabasePath(), InHome(QStringLiteral("data/quenlo/DATA.mdb")));
  EXPECT_THAT(testing::ColumnValues(kContactTable, QStringLiteral("AName")), IsEmpty());
  testing::RunSql(QStringLiteral("INSERT INTO 地址表(AName) VALUES('kept')"));

  ASSERT_TRUE(testing::Succeeded(CreateUserRecordBaseIfMissing(&created)));
  EXPECT_FALSE(created);
  EXPECT_THAT(testing::ColumnValues(kContactTable, QStringLiteral("AName")), ElementsAre("kept"));
}

TEST_F(RecordBaseLocationTest, WithoutXdgDataHomeTheBaseGoesUnderHome) {
  EXPECT_EQ(DataDirectory(), InHome(QStringLiteral(".local/share/quenlo")));
  bool created = false;
  ASSERT_TRUE(testing::Succeeded(CreateUserRecordBaseIfMissing(&created)));
  EXPECT_TRUE(QFileInfo::exists(InHome(QStringLiteral(".local/share/quenlo/DATA.mdb"))));
}

TEST_F(RecordBaseLocationTest, TheDataDirectoryVariableWinsAndGetsNoBaseMadeForIt) {
  QTemporaryDir named;
  PointDataDirectoryAt(named.path());
  EXPECT_EQ(DataDirectory(), named.path());
  bool created = true;
  ASSERT_TRUE(testing::Succeeded(CreateUserRecordBaseIfMissing(&created)));
  EXPECT_FALSE(created);
  EXPECT_THAT(QDir(named.path()).entryList(QDir::Files), IsEmpty());
  EXPECT_FALSE(QFileInfo::exists(InHome(QStringLiteral(".local"))));
}

TEST_F(RecordBaseLocationTest, AUserFolderThatCannotBeMadeIsReportedNotClaimed) {
  QFile blocker(InHome(QStringLiteral("data")));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  qputenv("XDG_DATA_HOME", QFile::encodeName(blocker.fileName()));
  bool created = true;
  const DbStatus status = CreateUserRecordBaseIfMissing(&created);
  EXPECT_FALSE(status.Ok());
  EXPECT_FALSE(created);
  EXPECT_THAT(status.Message().toStdString(), ::testing::HasSubstr("data/quenlo"));
}

}  // namespace
}  // namespace quenlo
