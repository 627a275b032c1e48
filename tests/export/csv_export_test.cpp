// The CSV exports' bytes: GB18030, CR LF, quoting, visible cells only.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QStringDecoder>

#include "export/csv_writer.h"
#include "export/export_options.h"
#include "export/export_texts.h"
#include "export/grid_export.h"
#include "export_test_support.h"

namespace quenlo {
namespace {

using testing::FillAddressGrid;
using testing::RecordingProgress;

QByteArray GridCsvBytes(const GridModel& grid) {
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  EXPECT_TRUE(WriteGridCsv(grid, buffer));
  return buffer.data();
}

QStringList DecodedLines(const QByteArray& bytes) {
  QString text = QStringDecoder("GB18030").decode(bytes);
  return text.split(QStringLiteral("\r\n"));
}

TEST(CsvField, QuotesOnlyWhatWouldBreakTheRecord) {
  EXPECT_EQ(CsvField(QStringLiteral("深圳电子厂")), QStringLiteral("深圳电子厂"));
  EXPECT_EQ(CsvField(QStringLiteral("A,B")), QStringLiteral("\"A,B\""));
  EXPECT_EQ(CsvField(QStringLiteral("大\"华\",有限")), QStringLiteral("\"大\"\"华\"\",有限\""));
  EXPECT_EQ(CsvField(QStringLiteral("一楼\r\n二楼")), QStringLiteral("\"一楼\r\n二楼\""));
  EXPECT_EQ(CsvField(QStringLiteral("一楼\n二楼")), QStringLiteral("\"一楼\n二楼\""));
  EXPECT_EQ(CsvField(QString()), QString());
}

// OWASP "CSV injection": the leading apostrophe makes a spreadsheet show the
// cell as text; telephone-shaped values stay as they are.
TEST(CsvField, CellsThatWouldRunAsFormulasAreWrittenAsText) {
  EXPECT_EQ(CsvField(QStringLiteral("=HYPERLINK(\"http://evil.test\",\"看\")")),
            QStringLiteral("\"'=HYPERLINK(\"\"http://evil.test\"\",\"\"看\"\")\""));
  EXPECT_EQ(CsvField(QStringLiteral("+SUM(A1:A9)")), QStringLiteral("'+SUM(A1:A9)"));
  EXPECT_EQ(CsvField(QStringLiteral("-2+3+cmd|' /C calc'!A0")),
            QStringLiteral("'-2+3+cmd|' /C calc'!A0"));
  EXPECT_EQ(CsvField(QStringLiteral("@SUM(1)")), QStringLiteral("'@SUM(1)"));
  EXPECT_EQ(CsvField(QStringLiteral("\t=1")), QStringLiteral("'\t=1"));
  EXPECT_EQ(CsvField(QStringLiteral("\r=1")), QStringLiteral("\"'\r=1\""));
  EXPECT_EQ(CsvField(QStringLiteral("-")), QStringLiteral("'-"));
  for (const char* phone : {"+86 571 8888 1234", "-0571-88881234", "+8613812345678",
                            "+86 10 7763 4684, +86 138 1234 5678", "+86 571 8888 1234 ext. 808",
                            "＋８６ (0571) 8888-1234"}) {
    EXPECT_TRUE(IsTelephoneShaped(QString::fromUtf8(phone))) << phone;
    EXPECT_EQ(CsvField(QString::fromUtf8(phone)), QString::fromUtf8(phone).contains(u',')
                                                      ? u'"' + QString::fromUtf8(phone) + u'"'
                                                      : QString::fromUtf8(phone));
  }
  EXPECT_FALSE(IsTelephoneShaped(QStringLiteral("+1+cmd")));
  EXPECT_FALSE(IsTelephoneShaped(QStringLiteral("-2+3")));  // a sum would be computed
  EXPECT_EQ(CsvField(QStringLiteral("-1-1+1")), QStringLiteral("'-1-1+1"));
  EXPECT_FALSE(IsTelephoneShaped(QStringLiteral("-")));
  EXPECT_EQ(CsvField(QStringLiteral("a=b+c")), QStringLiteral("a=b+c"));  // only a leading one
}

TEST(GridCsv, EveryFormulaLeadingCellOfTheGridIsWrittenAsText) {
  GridModel grid;
  FillAddressGrid(grid,
                  {{"=cmd|' /C calc'!A0", "@SUM(1)", "+王", "-13812345678", "+86 571 8888 1234"}});
  const QStringList lines = DecodedLines(GridCsvBytes(grid));
  ASSERT_GE(lines.size(), 2);
  EXPECT_EQ(lines[1], QStringLiteral("1,'=cmd|' /C calc'!A0,'@SUM(1),'+王,-13812345678,"
                                     "+86 571 8888 1234,,,,,,"));
}

TEST(GridCsv, Utf8CsvStartsWithTheMarkAndReadsBack) {
  GridModel grid;
  FillAddressGrid(grid, {{"dave04", QStringLiteral("•旭日😀,有限"), QStringLiteral("𠀀")}});
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  ASSERT_TRUE(WriteGridCsv(grid, buffer, {CsvEncoding::kUtf8WithMark, PhoneStyle::kAsStored}));
  const QByteArray bytes = buffer.data();
  ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
  EXPECT_EQ(bytes.count("\xEF\xBB\xBF"), 1);
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  const QString text = utf8.decode(bytes.mid(3));
  EXPECT_FALSE(utf8.hasError());
  EXPECT_EQ(text.split(QStringLiteral("\r\n")),
            QStringList({QStringLiteral("序号,会员编号,公司名称,联系人,手机,电话,传真,性别,职务,"
                                        "地址,邮编,网址"),
                         QStringLiteral("1,dave04,\"•旭日😀,有限\",𠀀,,,,,,,,"), QString()}));
}

TEST(GridCsv, HeaderOnlyGridGivesOneLineOfCaptionsInGb18030) {
  GridModel grid;
  FillAddressGrid(grid, {});
  RecordingProgress progress;
  const QByteArray bytes = GridCsvBytes(grid);
  // 序号,会员编号,公司名称 … in GB18030, then the rest of the captions.
  EXPECT_TRUE(
      bytes.startsWith(QByteArray::fromHex("d0f2bac52cbbe1d4b1b1e0bac52cb9abcbbec3fbb3c6")));
  EXPECT_EQ(DecodedLines(bytes),
            QStringList({QStringLiteral("序号,会员编号,公司名称,联系人,手机,电话,传真,性别,职务,"
                                        "地址,邮编,网址"),
                         QString()}));
  EXPECT_EQ(bytes.count("\r\n"), 1);
  EXPECT_EQ(progress.caption, kCsvProgressCaption);
  EXPECT_EQ(progress.total, 2);
  EXPECT_EQ(progress.position, 2);
  EXPECT_FALSE(progress.open);
}

TEST(GridCsv, DataRowsKeepOneFieldPerVisibleColumn) {
  GridModel grid;
  FillAddressGrid(grid, {{"alice01", "大\"华\",有限公司", "王", "", "", "", "", "", "一楼\n二楼"},
                         {"bob02", "电子厂"}});
  const QByteArray bytes = GridCsvBytes(grid);
  const QByteArray expectedRows = QStringEncoder("GB18030").encode(
      QStringLiteral("1,alice01,\"大\"\"华\"\",有限公司\",王,,,,,,\"一楼\n二楼\",,\r\n"
                     "2,bob02,电子厂,,,,,,,,,\r\n"));
  EXPECT_TRUE(bytes.endsWith(expectedRows)) << bytes.toHex().constData();
  grid.SetTextMatrix(3, 11, QStringLiteral("www.dz.cn"));
  EXPECT_TRUE(GridCsvBytes(grid).endsWith(",,www.dz.cn\r\n"));  // no comma after the last field
}

TEST(GridCsv, HiddenRowsAndColumnsAreLeftOut) {
  GridModel grid;
  FillAddressGrid(grid, {{"alice01", "甲"}, {"bob02", "乙"}, {"carol03", "丙"}});
  grid.SetColWidth(2, 0);   // 公司名称 hidden
  grid.SetRowHeight(3, 0);  // bob02 hidden
  const QStringList lines = DecodedLines(GridCsvBytes(grid));
  ASSERT_EQ(lines.size(), 4);  // captions, alice, carol, and the empty tail
  EXPECT_TRUE(lines[0].startsWith(QStringLiteral("序号,会员编号,联系人,")));
  EXPECT_EQ(lines[1], QStringLiteral("1,alice01,,,,,,,,,"));
  EXPECT_EQ(lines[2], QStringLiteral("3,carol03,,,,,,,,,"));
}

TEST(GridCsv, CharactersOutsideGbkSurviveTheRoundTrip) {
  GridModel grid;
  FillAddressGrid(grid, {{"dave04", QStringLiteral("•旭日😀")}});
  const QStringList lines = DecodedLines(GridCsvBytes(grid));
  ASSERT_GE(lines.size(), 2);
  EXPECT_EQ(lines[1].section(u',', 2, 2), QStringLiteral("•旭日😀"));
}

TEST(GridCsv, AFailingDeviceIsReported) {
  GridModel grid;
  FillAddressGrid(grid, {{"alice01"}});
  QByteArray storage;
  QBuffer readOnly(&storage);
  readOnly.open(QIODevice::ReadOnly);
  RecordingProgress progress;
  EXPECT_FALSE(WriteGridCsv(grid, readOnly));
  EXPECT_FALSE(progress.open);
}

}  // namespace
}  // namespace quenlo
