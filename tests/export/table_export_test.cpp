// Exports of a whole table from a real DATA.mdb in a temporary directory,
// and the command line that runs them.
#include "export/table_export.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QStringDecoder>
#include <QTemporaryDir>

#include "browser/grid_operations.h"
#include "export/export_cli.h"
#include "export/export_texts.h"
#include "export_test_support.h"
#include "store/database.h"
#include "tests/support/temp_record_base.h"
#include "workbook_test_support.h"

namespace quenlo {
namespace {

using testing::Cell;
using testing::FillAddressGrid;
using testing::ReadWorkbook;
using testing::RecordingMessenger;
using testing::RecordingProgress;
using testing::RunSql;
using testing::TempRecordBase;

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString ReadGb18030(const QString& path) { return QStringDecoder("GB18030").decode(ReadAll(path)); }

class TableExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(base_.Created());
    FillAddressGrid(header_, {});
  }
  static void AddMember(const QString& member, const QString& company, const QString& mobile) {
    RunSql(QStringLiteral("INSERT INTO 地址表(AName, CName, RMob) VALUES(?, ?, ?)"),
           {member, company, mobile});
  }
  void AddThreeMembers() {
    AddMember("zed09", "深圳,华强电子", "13800138000");
    AddMember("amy01", "说\"好\"的厂", "");
    AddMember("kim05", "宁波模具", "13900000000");
  }
  QString PathOf(const QString& name) const { return QDir(base_.Directory()).filePath(name); }

  TempRecordBase base_;
  GridModel header_;
  RecordingMessenger messenger_;
  RecordingProgress progress_;
};

TEST_F(TableExportTest, CsvHasCaptionsAndEveryRecordInDatabaseOrder) {
  AddThreeMembers();
  ASSERT_TRUE(ExportTableToCsv(header_, kContactTable, PathOf("all.csv")));
  const QByteArray bytes = ReadAll(PathOf("all.csv"));
  const QByteArray expected = QStringEncoder("GB18030").encode(
      QStringLiteral("会员编号,公司名称,联系人,手机,电话,传真,性别,职务,地址,邮编,网址,\r\n"
                     "zed09,\"深圳,华强电子\",,13800138000,,,,,,,,\r\n"
                     "amy01,\"说\"\"好\"\"的厂\",,,,,,,,,,\r\n"
                     "kim05,宁波模具,,13900000000,,,,,,,,\r\n"));
  EXPECT_EQ(bytes, expected);
  EXPECT_EQ(progress_.caption, kCsvProgressCaption);
  EXPECT_EQ(progress_.total, 3);
  EXPECT_EQ(progress_.position, 3);
  EXPECT_TRUE(messenger_.messages.isEmpty());
}

TEST_F(TableExportTest, EmptyTableWritesNoCsvAndSaysNothing) {
  EXPECT_FALSE(ExportTableToCsv(header_, kContactTable, PathOf("none.csv")));
  EXPECT_FALSE(QFile::exists(PathOf("none.csv")));
  EXPECT_TRUE(messenger_.messages.isEmpty());
}

TEST_F(TableExportTest, WorkbookHoldsPlainTextCellsUnderTheCaptions) {
  AddThreeMembers();
  ASSERT_TRUE(ExportTableToExcel(header_, kContactTable, PathOf("all.xls")));
  const QJsonObject book = ReadWorkbook(PathOf("all.xls"));
  ASSERT_FALSE(book.contains(QStringLiteral("error"))) << book["error"].toString().toStdString();
  EXPECT_EQ(book["sheets"].toArray(), QJsonArray({kTableSheetName}));
  EXPECT_EQ(book["max_row"].toInt(), 4);
  EXPECT_EQ(book["max_column"].toInt(), 11);
  EXPECT_EQ(Cell(book, "A1")["value"].toString(), QStringLiteral("会员编号"));
  EXPECT_EQ(Cell(book, "K1")["value"].toString(), QStringLiteral("网址"));
  EXPECT_EQ(Cell(book, "A2")["value"].toString(), QStringLiteral("zed09"));
  EXPECT_EQ(Cell(book, "B2")["value"].toString(), QStringLiteral("深圳,华强电子"));
  EXPECT_EQ(Cell(book, "D2")["type"].toString(), QStringLiteral("s"));
  EXPECT_TRUE(Cell(book, "D3")["value"].isNull());
  EXPECT_EQ(Cell(book, "A4")["value"].toString(), QStringLiteral("kim05"));
  const QJsonObject caption = Cell(book, "A1");
  EXPECT_FALSE(caption["bold"].toBool());
  EXPECT_TRUE(caption["fill"].isNull());
  EXPECT_EQ(caption["borders"].toArray(),
            QJsonArray({QJsonValue(), QJsonValue(), QJsonValue(), QJsonValue()}));
  EXPECT_TRUE(book["widths"].toObject().isEmpty());
  EXPECT_EQ(progress_.caption, kWorkbookProgressCaption);
  EXPECT_EQ(progress_.total, 6);
  EXPECT_EQ(progress_.position, 5);
}

TEST_F(TableExportTest, EmptyTableGivesAWorkbookWithTheCaptionsOnly) {
  ASSERT_TRUE(ExportTableToExcel(header_, kContactTable, PathOf("none.xlsx")));
  const QJsonObject book = ReadWorkbook(PathOf("none.xlsx"));
  EXPECT_EQ(book["max_row"].toInt(), 1);
  EXPECT_EQ(Cell(book, "B1")["value"].toString(), QStringLiteral("公司名称"));
}

TEST_F(TableExportTest, CommandLineReplacesAFileOnlyWhenForced) {
  AddThreeMembers();
  const QString path = PathOf("cli.csv");
  EXPECT_EQ(RunExportCommand({"export", path}), 0);
  const QStringList lines = ReadGb18030(path).split(QStringLiteral("\r\n"));
  EXPECT_EQ(lines.size(), 5);  // captions, three records, empty tail
  AddMember("new10", "新厂", "");
  EXPECT_NE(RunExportCommand({"export", path}), 0);
  EXPECT_EQ(ReadGb18030(path).count(QStringLiteral("\r\n")), 4);
  EXPECT_EQ(RunExportCommand({"export", path, "--force"}), 0);
  EXPECT_EQ(ReadGb18030(path).count(QStringLiteral("\r\n")), 5);
  EXPECT_EQ(RunExportCommand({"export", PathOf("cli.xlsx")}), 0);
  EXPECT_EQ(ReadWorkbook(PathOf("cli.xlsx"))["max_row"].toInt(), 5);
}

// A workbook is built under a private temporary name; the finished file must
// still be readable as a new CSV is, and a replaced file keeps its own mode.
TEST_F(TableExportTest, WorkbookGetsTheSamePermissionsAsANewCsv) {
  AddThreeMembers();
  ASSERT_TRUE(ExportTableToCsv(header_, kContactTable, PathOf("p.csv")));
  ASSERT_TRUE(ExportTableToExcel(header_, kContactTable, PathOf("p.xlsx")));
  EXPECT_EQ(QFile::permissions(PathOf("p.xlsx")), QFile::permissions(PathOf("p.csv")));

  const auto shared = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser |
                      QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther;
  ASSERT_TRUE(QFile::setPermissions(PathOf("p.xlsx"), shared));
  ASSERT_TRUE(ExportTableToExcel(header_, kContactTable, PathOf("p.xlsx")));
  EXPECT_EQ(QFile::permissions(PathOf("p.xlsx")), shared);
}

// Runs the export command with writes limited to `bytes` per file, as a disk
// that fills up while the file is written.
int ExportWithFileSizeLimit(rlim_t bytes, const QStringList& args) {
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  rlimit before{};
  getrlimit(RLIMIT_FSIZE, &before);
  rlimit small = before;
  small.rlim_cur = bytes;
  if (setrlimit(RLIMIT_FSIZE, &small) != 0) return -1;
  const int status = RunExportCommand(args);
  setrlimit(RLIMIT_FSIZE, &before);
  std::signal(SIGXFSZ, previous);
  return status;
}

// The export fails, says so, and the old file is left whole. The CSV cases
// cut the file in its last write (where an error used to go unseen) and in
// an earlier one.
TEST_F(TableExportTest, AFullDiskFailsTheExportAndKeepsTheOldFile) {
  RunSql("BEGIN");
  for (int i = 0; i < 3000; ++i) AddMember(QStringLiteral("m%1").arg(i), "宁波模具有限公司", "13900000000");
  RunSql("COMMIT");
  const QString csv = PathOf("old.csv");
  const QString book = PathOf("old.xlsx");
  for (const QString& name : {csv, book}) {
    QFile old(name);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("previous");
  }
  EXPECT_NE(ExportWithFileSizeLimit(4 * 1024, {"export", book, "--force"}), 0);
  EXPECT_NE(ExportWithFileSizeLimit(64 * 1024, {"export", csv, "--force"}), 0);
  RunSql("DELETE FROM 地址表 WHERE ID > 300");  // about 13 KB of CSV: one write at the end
  EXPECT_NE(ExportWithFileSizeLimit(8 * 1024, {"export", csv, "--force"}), 0);
  EXPECT_EQ(ReadAll(csv), "previous");
  EXPECT_EQ(ReadAll(book), "previous");
  EXPECT_EQ(QDir(base_.Directory()).entryList(QDir::Files | QDir::Hidden).filter("old").size(), 2);
}

TEST_F(TableExportTest, OnlyPlainFilesAreReplaced) {
  AddThreeMembers();
  ASSERT_TRUE(QDir(base_.Directory()).mkdir("folder.csv"));
  EXPECT_NE(RunExportCommand({"export", PathOf("folder.csv"), "--force"}), 0);
  EXPECT_TRUE(QFileInfo(PathOf("folder.csv")).isDir());
  const QString fifo = PathOf("pipe.csv");
  ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  EXPECT_NE(RunExportCommand({"export", fifo, "--force"}), 0);
  EXPECT_FALSE(QFileInfo(fifo).isFile());

  // A link to a plain file: the file is replaced, the link stays, both ways.
  ASSERT_TRUE(QFile::link(PathOf("target.xlsx"), PathOf("link.xlsx")));
  { QFile target(PathOf("target.xlsx")); ASSERT_TRUE(target.open(QIODevice::WriteOnly)); }
  EXPECT_EQ(RunExportCommand({"export", PathOf("link.xlsx"), "--force"}), 0);
  EXPECT_TRUE(QFileInfo(PathOf("link.xlsx")).isSymLink());
  EXPECT_EQ(ReadWorkbook(PathOf("target.xlsx"))["max_row"].toInt(), 4);
}

TEST_F(TableExportTest, CommandLineShownExportsTheSearchAsTheGridShowsIt) {
  AddThreeMembers();
  AddMember("lee07", "华强配件", "");
  const QString path = PathOf("shown.csv");
  ASSERT_EQ(RunExportCommand({"export", path, "--shown", "CName", "华强"}), 0);
  EXPECT_EQ(
      ReadGb18030(path),
      QStringLiteral("序号,会员编号,公司名称,联系人,手机,电话,传真,性别,职务,地址,邮编,网址\r\n"
                     "1,zed09,\"深圳,华强电子\",,13800138000,,,,,,,\r\n"
                     "2,lee07,华强配件,,,,,,,,,\r\n"));
  ASSERT_EQ(RunExportCommand({"export", PathOf("shown.xlsx"), "--shown", "02", "模具"}), 0);
  const QJsonObject book = ReadWorkbook(PathOf("shown.xlsx"));
  EXPECT_EQ(book["sheets"].toArray(), QJsonArray({kAddressSheetTitle}));
  EXPECT_EQ(book["max_row"].toInt(), 2);
  EXPECT_EQ(Cell(book, "B2")["value"].toString(), QStringLiteral("kim05"));
  EXPECT_EQ(RunExportCommand({"export", PathOf("x.csv"), "--shown", "Nope", "a"}), 2);
  EXPECT_EQ(RunExportCommand({"export", PathOf("x.csv"), "--shown", "CName"}), 2);
  EXPECT_FALSE(QFile::exists(PathOf("x.csv")));
}

TEST_F(TableExportTest, ABaseThatCannotBeReadIsShownAndNothingIsWritten) {
  AddThreeMembers();
  ASSERT_TRUE(QFile::remove(PathOf("DATA.mdb")));
  // The message says why: here, that there is no base.
  const QString why = DbCheckConnection().Reason();
  EXPECT_TRUE(why.contains("does not exist")) << why.toStdString();
  const QString openFailed = QStringLiteral("数据库打开错误(SELECT * FROM 地址表)！\r\n") + why;
  EXPECT_FALSE(ExportTableToCsv(header_, kContactTable, PathOf("a.csv")));
  EXPECT_FALSE(ExportTableToExcel(header_, kContactTable, PathOf("a.xlsx")));
  EXPECT_EQ(messenger_.messages, QStringList({openFailed, openFailed, kSaveFailedMessage}));

  // The command line says why it did not write, for all records or those shown.
  SetActiveMessenger(nullptr);
  for (const QStringList& shown : {QStringList(), QStringList({"--shown", "02", "公司"})}) {
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(RunExportCommand(QStringList({"export", PathOf("cli.csv")}) + shown), 1);
    EXPECT_EQ(QString::fromStdString(::testing::internal::GetCapturedStderr()),
              "quenlo export: cannot open the record base: " + why + "; " + PathOf("cli.csv") +
                  " was not written\n");
  }
  EXPECT_EQ(QDir(base_.Directory()).entryList(QDir::Files), QStringList());
}

TEST_F(TableExportTest, CaptionsLoseTheSortMarkAClickOnThemAppended) {
  AddThreeMembers();
  GridSortByColumn(header_, 2);
  GridSortByColumn(header_, 3);
  ASSERT_NE(header_.TextMatrix(1, 3), QStringLiteral("联系人"));
  ASSERT_TRUE(ExportTableToCsv(header_, kContactTable, PathOf("marks.csv")));
  EXPECT_TRUE(ReadGb18030(PathOf("marks.csv"))
                  .startsWith(QStringLiteral("会员编号,公司名称,联系人,手机,")));
  ASSERT_TRUE(ExportTableToExcel(header_, kContactTable, PathOf("marks.xlsx")));
  const QJsonObject book = ReadWorkbook(PathOf("marks.xlsx"));
  EXPECT_EQ(Cell(book, "B1")["value"].toString(), QStringLiteral("公司名称"));
  EXPECT_EQ(Cell(book, "C1")["value"].toString(), QStringLiteral("联系人"));
}

// A sheet cell holds 32767 characters; a longer text (a hostile page's
// address) is cut to fit, never inside a character, and the export says how
// many cells it cut instead of failing.
TEST_F(TableExportTest, ACellLongerThanASheetCellHoldsIsCutAndCounted) {
  const QString endsInAPair = QString(32766, u'a') + QStringLiteral("😀tail");
  RunSql(QStringLiteral("INSERT INTO 地址表(AName, CName, CAddr) VALUES(?, ?, ?)"),
         {"long01", endsInAPair, QString(40000, u'x')});
  AddMember("short02", "宁波模具", "");
  ASSERT_TRUE(ExportTableToExcel(header_, kContactTable, PathOf("long.xlsx")));
  EXPECT_EQ(messenger_.messages, QStringList{CutCellsMessage(2)});
  const QJsonObject book = ReadWorkbook(PathOf("long.xlsx"));
  ASSERT_FALSE(book.contains(QStringLiteral("error"))) << book["error"].toString().toStdString();
  EXPECT_EQ(Cell(book, "I2")["value"].toString(), QString(32767, u'x'));
  EXPECT_EQ(Cell(book, "B2")["value"].toString(), QString(32766, u'a'));
  EXPECT_EQ(Cell(book, "A3")["value"].toString(), QStringLiteral("short02"));

  SetActiveMessenger(nullptr);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(RunExportCommand({"export", PathOf("cli.xlsx")}), 0);
  EXPECT_TRUE(QString::fromStdString(::testing::internal::GetCapturedStderr())
                  .contains(CutCellsMessage(2)));
  EXPECT_EQ(Cell(ReadWorkbook(PathOf("cli.xlsx")), "I2")["value"].toString().size(), 32767);
}

TEST_F(TableExportTest, CommandLineWritesUtf8AndInternationalNumbersWhenAsked) {
  RunSql(QStringLiteral("INSERT INTO 地址表(AName, CName, RMob, RPhone, RFax) VALUES(?, ?, ?, ?, ?)"),
         {"bj01", "北京•电子", "13812345678", "10-7763-4684", "0571-88881235 转 8"});
  const QString stored = PathOf("stored.csv");
  ASSERT_EQ(RunExportCommand({"export", stored}), 0);
  EXPECT_EQ(ReadAll(stored), QStringEncoder("GB18030").encode(QStringLiteral(
                                 "会员编号,公司名称,联系人,手机,电话,传真,性别,职务,地址,邮编,网址,\r\n"
                                 "bj01,北京•电子,,13812345678,10-7763-4684,0571-88881235 转 8,,,,,,\r\n")));

  const QString utf8 = PathOf("utf8.csv");
  ASSERT_EQ(RunExportCommand({"export", utf8, "--encoding", "utf-8", "--phones", "international"}), 0);
  EXPECT_EQ(ReadAll(utf8), "\xEF\xBB\xBF" + QStringLiteral(
                               "会员编号,公司名称,联系人,手机,电话,传真,性别,职务,地址,邮编,网址,\r\n"
                               "bj01,北京•电子,,+86 138 1234 5678,+86 10 7763 4684,"
                               "+86 571 8888 1235 ext. 8,,,,,,\r\n").toUtf8());

  ASSERT_EQ(RunExportCommand({"export", PathOf("e164.xlsx"), "--phones", "e164"}), 0);
  const QJsonObject book = ReadWorkbook(PathOf("e164.xlsx"));
  EXPECT_EQ(Cell(book, "E2")["value"].toString(), QStringLiteral("+861077634684"));
  EXPECT_EQ(Cell(book, "E2")["type"].toString(), QStringLiteral("s"));

  EXPECT_EQ(RunExportCommand({"export", PathOf("x.csv"), "--encoding", "latin1"}), 2);
  EXPECT_EQ(RunExportCommand({"export", PathOf("x.csv"), "--phones"}), 2);
  EXPECT_FALSE(QFile::exists(PathOf("x.csv")));
}

TEST_F(TableExportTest, CommandLineFailuresGiveNonZeroStatus) {
  EXPECT_NE(RunExportCommand({"export"}), 0);
  EXPECT_NE(RunExportCommand({"export", PathOf("a.csv"), PathOf("b.csv")}), 0);
  EXPECT_NE(RunExportCommand({"export", PathOf("a.csv"), "--bogus"}), 0);
  EXPECT_NE(RunExportCommand({"export", PathOf("empty.csv")}), 0);  // no records
  EXPECT_FALSE(QFile::exists(PathOf("empty.csv")));
  EXPECT_NE(RunExportCommand({"export", PathOf("missing/out.xlsx")}), 0);
}

}  // namespace
}  // namespace quenlo
