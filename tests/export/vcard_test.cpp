// The vCard export: its escaping and folding, then whole files read back by
// python3-vobject and by the strict grammar check, field by field.
#include "export/vcard_writer.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QJsonObject>

#include "export/export_cli.h"
#include "export/export_texts.h"
#include "export/vcard_export.h"
#include "export_test_support.h"
#include "store/database.h"
#include "tests/support/sample_contacts.h"
#include "tests/support/temp_record_base.h"
#include "tools/sample_market/catalogue.h"
#include "vcard_support.h"

namespace quenlo {
namespace {

using testing::ReadVCards;
using testing::RecordingMessenger;
using testing::RecordingProgress;
using testing::RunSql;
using testing::StoredContactField;
using testing::VCardGrammarFaults;

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList Strings(const QJsonValue& list) {
  QStringList strings;
  for (const QJsonValue& value : list.toArray()) strings << value.toString();
  return strings;
}

QStringList TelValues(const QJsonObject& card, const QString& type) {
  QStringList values;
  for (const QJsonValue& tel : card["tel"].toArray()) {
    if (Strings(tel.toObject()["types"]).contains(type)) values << tel.toObject()["value"].toString();
  }
  return values;
}

TEST(VCardText, EscapesWhatTheGrammarReservesAndDropsControlCharacters) {
  EXPECT_EQ(VCardText(QStringLiteral("深圳,华强;电子\\厂")), QStringLiteral("深圳\\,华强\\;电子\\\\厂"));
  EXPECT_EQ(VCardText(QStringLiteral("一楼\r\n二楼\n三楼\r四楼")),
            QStringLiteral("一楼\\n二楼\\n三楼\\n四楼"));
  EXPECT_EQ(VCardText(QStringLiteral("a\tb\x01\x7f" "c")), QStringLiteral("a\tbc"));
}

TEST(FoldedLine, KeepsEveryLineWithin75OctetsAndEveryCharacterWhole) {
  EXPECT_EQ(FoldedLine("TITLE:x"), QByteArray("TITLE:x\r\n"));
  // 70 ASCII octets, then three-octet and four-octet characters across the folds.
  const QString value = QString(70, u'a') + QStringLiteral("华强电子•😀𠀀").repeated(20);
  const QByteArray folded = FoldedLine("NOTE:" + value.toUtf8());
  EXPECT_TRUE(VCardGrammarFaults("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:x\r\nN:x;;;;\r\n" + folded +
                                 "END:VCARD\r\n")
                  .isEmpty());
  QByteArray unfolded = folded;
  unfolded.replace("\r\n ", "");
  EXPECT_EQ(unfolded, "NOTE:" + value.toUtf8() + "\r\n");
  for (const QByteArray& line : folded.split('\n')) EXPECT_LE(line.size(), 76);  // + CR
}

TEST(SplitPersonName, FamilyNameFirstForChineseNamesLastForLatinOnes) {
  const auto split = [](const char* name) {
    const PersonName n = SplitPersonName(QString::fromUtf8(name));
    return QStringList{n.family, n.given, n.honorific};
  };
  EXPECT_EQ(split("张伟"), QStringList({"张", "伟", ""}));
  EXPECT_EQ(split("陈丽娜"), QStringList({"陈", "丽娜", ""}));
  EXPECT_EQ(split("欧阳明华"), QStringList({"欧阳", "明华", ""}));
  EXPECT_EQ(split("王先生"), QStringList({"王", "", "先生"}));
  EXPECT_EQ(split("John Smith"), QStringList({"Smith", "John", ""}));
  EXPECT_EQ(split("D'Art 工作室"), QStringList({"D'Art 工作室", "", ""}));
  EXPECT_EQ(split(""), QStringList({"", "", ""}));
}

class VCardExportTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(base_.Created()); }
  QString PathOf(const QString& name) const { return QDir(base_.Directory()).filePath(name); }

  testing::TempRecordBase base_;
  RecordingMessenger messenger_;
  RecordingProgress progress_;
};

// Each card against the stored record: the reader's fields are the record's
// fields, the numbers in the reference library's international form.
TEST_F(VCardExportTest, EveryFieldOfEverySampleRecordReadsBackWithAnIndependentReader) {
  constexpr int kMembers = 120;
  ASSERT_TRUE(testing::StoreSampleContacts(kMembers));
  ASSERT_TRUE(ExportTableToVCard(kContactTable, PathOf("all.vcf")));
  EXPECT_EQ(VCardGrammarFaults(ReadAll(PathOf("all.vcf"))), QStringList());
  const QJsonArray cards = ReadVCards(PathOf("all.vcf"));
  ASSERT_EQ(cards.size(), kMembers);
  const sample_market::Catalogue catalogue({.seed = 1, .members = kMembers});
  for (int i = 0; i < kMembers; ++i) {
    const sample_market::Member& m = catalogue.members()[std::size_t(i)];
    const auto stored = [&](const char* column) {
      return StoredContactField(m, QString::fromLatin1(column));
    };
    const QJsonObject card = cards[i].toObject();
    SCOPED_TRACE(m.name);
    EXPECT_EQ(card["version"].toString(), QStringLiteral("3.0"));
    EXPECT_EQ(card["fn"].toString(), stored("RName"));
    const QJsonObject n = card["n"].toObject();
    EXPECT_EQ(n["family"].toString() + n["given"].toString(), stored("RName"));
    EXPECT_EQ(n["family"].toString(), stored("RName").left(1));
    EXPECT_EQ(Strings(card["org"]), QStringList{stored("CName")});
    EXPECT_EQ(card["title"].toString(), stored("RJob"));
    const QJsonObject adr = card["adr"].toArray()[0].toObject();
    EXPECT_EQ(Strings(adr["types"]), QStringList{"WORK"});
    EXPECT_EQ(adr["street"].toString(), stored("CAddr"));
    EXPECT_EQ(adr["code"].toString(), stored("CPC"));
    EXPECT_EQ(adr["country"].toString(), QStringLiteral("中国"));
    EXPECT_EQ(TelValues(card, "FAX"), PhoneParts(stored("RFax"), PhoneStyle::kInternational));
    EXPECT_EQ(TelValues(card, "VOICE"), PhoneParts(stored("RPhone"), PhoneStyle::kInternational));
    EXPECT_EQ(TelValues(card, "CELL"), PhoneParts(stored("RMob"), PhoneStyle::kInternational));
    EXPECT_EQ(Strings(card["url"]), stored("CUrl").split(u';', Qt::SkipEmptyParts));
    EXPECT_EQ(card["note"].toString(), QStringLiteral("会员编号：") + stored("AName"));
  }
  EXPECT_EQ(progress_.caption, kVCardProgressCaption);
  EXPECT_EQ(progress_.position, kMembers);
  EXPECT_TRUE(messenger_.messages.isEmpty());
}

TEST_F(VCardExportTest, CommasSemicolonsLineBreaksAndCharactersOutsideGbkSurvive) {
  RunSql(QStringLiteral(
             "INSERT INTO 地址表(AName, CName, RName, RMob, RPhone, RFax, RJob, CAddr, CPC, CUrl) "
             "VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
         {"odd01", "深圳,华强;电子\\有限公司•", "欧阳明华", "", "10-7763-4684 13812345678",
          "请来电", "总经理😀", "一楼,A座;\r\n二楼𠀀\n三楼", "518000",
          "http://www.odd01.com/;http://www.odd01.com.cn/"});
  ASSERT_TRUE(ExportTableToVCard(kContactTable, PathOf("odd.vcf")));
  EXPECT_EQ(VCardGrammarFaults(ReadAll(PathOf("odd.vcf"))), QStringList());
  const QJsonArray cards = ReadVCards(PathOf("odd.vcf"));
  ASSERT_EQ(cards.size(), 1);
  const QJsonObject card = cards[0].toObject();
  EXPECT_EQ(Strings(card["org"]), QStringList{"深圳,华强;电子\\有限公司•"});
  EXPECT_EQ(card["fn"].toString(), QStringLiteral("欧阳明华"));
  EXPECT_EQ(card["n"].toObject()["family"].toString(), QStringLiteral("欧阳"));
  EXPECT_EQ(card["title"].toString(), QStringLiteral("总经理😀"));
  EXPECT_EQ(card["adr"].toArray()[0].toObject()["street"].toString(),
            QStringLiteral("一楼,A座;\n二楼𠀀\n三楼"));
  EXPECT_EQ(TelValues(card, "VOICE"), QStringList({"+86 10 7763 4684", "+86 138 1234 5678"}));
  EXPECT_EQ(TelValues(card, "FAX"), QStringList{"请来电"});  // no number: kept as written
  EXPECT_TRUE(TelValues(card, "CELL").isEmpty());
  EXPECT_EQ(Strings(card["url"]),
            QStringList({"http://www.odd01.com/", "http://www.odd01.com.cn/"}));
}

TEST_F(VCardExportTest, WithoutAPersonTheCardIsNamedAfterTheCompany) {
  RunSql(QStringLiteral("INSERT INTO 地址表(AName, CName) VALUES('firm02', '宁波模具厂')"));
  RunSql(QStringLiteral("INSERT INTO 地址表(AName) VALUES('bare03')"));
  ASSERT_TRUE(ExportTableToVCard(kContactTable, PathOf("firm.vcf")));
  EXPECT_EQ(VCardGrammarFaults(ReadAll(PathOf("firm.vcf"))), QStringList());
  const QJsonArray cards = ReadVCards(PathOf("firm.vcf"));
  ASSERT_EQ(cards.size(), 2);
  EXPECT_EQ(cards[0].toObject()["fn"].toString(), QStringLiteral("宁波模具厂"));
  EXPECT_EQ(cards[0].toObject()["n"].toObject()["family"].toString(), QStringLiteral("宁波模具厂"));
  EXPECT_TRUE(cards[0].toObject()["adr"].toArray().isEmpty());
  EXPECT_EQ(cards[1].toObject()["fn"].toString(), QStringLiteral("bare03"));
  EXPECT_EQ(Strings(cards[1].toObject()["names"]),
            QStringList({"fn", "n", "note", "version"}));
}

TEST_F(VCardExportTest, ShownRowsGiveOneCardEachAndTheCommandLineWritesEveryRecord) {
  GridModel grid;
  testing::FillAddressGrid(grid, {{"alice01", "甲公司", "李娜", "13812345678"},
                                  {"bob02", "乙公司"},
                                  {"carol03", "丙公司"}});
  grid.SetRowHeight(3, 0);  // bob02 hidden
  ASSERT_TRUE(ExportGridToVCard(grid, PathOf("shown.vcf")));
  const QJsonArray shown = ReadVCards(PathOf("shown.vcf"));
  ASSERT_EQ(shown.size(), 2);
  EXPECT_EQ(shown[0].toObject()["fn"].toString(), QStringLiteral("李娜"));
  EXPECT_EQ(TelValues(shown[0].toObject(), "CELL"), QStringList{"+86 138 1234 5678"});
  EXPECT_EQ(shown[1].toObject()["note"].toString(), QStringLiteral("会员编号：carol03"));

  EXPECT_EQ(RunExportCommand({"export", PathOf("none.vcf")}), 1);  // an empty table
  EXPECT_FALSE(QFile::exists(PathOf("none.vcf")));
  ASSERT_TRUE(testing::StoreSampleContacts(5));
  EXPECT_EQ(RunExportCommand({"export", PathOf("cli.VCF"), "--phones", "e164"}), 0);
  const QJsonArray all = ReadVCards(PathOf("cli.VCF"));
  ASSERT_EQ(all.size(), 5);
  EXPECT_TRUE(TelValues(all[0].toObject(), "VOICE").value(0).startsWith(QStringLiteral("+86")));
  EXPECT_FALSE(TelValues(all[0].toObject(), "VOICE").value(0).contains(u' '));
}

}  // namespace
}  // namespace quenlo
