// Numbers on their way out: the sample marketplace's every shape and the
// awkward fields, checked against python3-phonenumbers (libphonenumber's
// Python port, same metadata) and against libphonenumber's own parser.
#include "export/phone_numbers.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <random>

#include "tests/support/sample_contacts.h"
#include "tools/sample_market/catalogue.h"

namespace quenlo {
namespace {

// python3-phonenumbers' [international, E.164] of each number, null when invalid.
QJsonArray ReferenceForms(const QStringList& numbers) {
  QProcess oracle;
  oracle.start(QStringLiteral("/usr/bin/python3"),
               {QStringLiteral(QUENLO_SOURCE_DIR "/tests/export/phone_oracle.py")});
  oracle.write((numbers.join(u'\n') + u'\n').toUtf8());
  oracle.closeWriteChannel();
  if (!oracle.waitForFinished(60000) || oracle.exitCode() != 0) {
    ADD_FAILURE() << oracle.readAllStandardError().toStdString();
    return {};
  }
  return QJsonDocument::fromJson(oracle.readAllStandardOutput()).array();
}

struct Case {
  const char* field;
  const char* international;
  const char* e164;
};

TEST(PhoneFieldText, AwkwardFieldsAreSplitAndWrittenInternationallyOrKept) {
  const Case cases[] = {
      {"10-7763-4684", "+86 10 7763 4684", "+861077634684"},  // the mark-up form's dropped 0
      {"010-77634684", "+86 10 7763 4684", "+861077634684"},
      {"0571 8888 1234", "+86 571 8888 1234", "+8657188881234"},  // blanks inside one number
      {"13812345678", "+86 138 1234 5678", "+8613812345678"},
      {"１３８１２３４５６７８", "+86 138 1234 5678", "+8613812345678"},
      {"（０５７１）８８８８１２３４", "+86 571 8888 1234", "+8657188881234"},
      {"0571-88881234 13812345678", "+86 571 8888 1234, +86 138 1234 5678",
       "+8657188881234, +8613812345678"},
      {"0571-88881234，0571-88881235/13812345678；755-8888-1234",
       "+86 571 8888 1234, +86 571 8888 1235, +86 138 1234 5678, +86 755 8888 1234",
       "+8657188881234, +8657188881235, +8613812345678, +8675588881234"},
      {"0571-88881234转808", "+86 571 8888 1234 ext. 808", "+8657188881234 ext. 808"},
      {"0571-88881234 分机 808", "+86 571 8888 1234 ext. 808", "+8657188881234 ext. 808"},
      {"0571-88881234-808", "+86 571 8888 1234 ext. 808", "+8657188881234 ext. 808"},
      {"+86 571 8888 1234", "+86 571 8888 1234", "+8657188881234"},
      {"0086 571 8888 1234", "+86 571 8888 1234", "+8657188881234"},
      {"+1 650 253 0000", "+1 650-253-0000", "+16502530000"},
      {"总机 0571-88881234", "总机, +86 571 8888 1234", "总机, +8657188881234"},
      {"0571-88881234（总机）", "0571-88881234（总机）", "0571-88881234（总机）"},
      // Kept as they are: empty, garbage, too short, not valid in the plan.
      {"", "", ""},
      {"   ", "   ", "   "},
      {"请来电咨询", "请来电咨询", "请来电咨询"},
      {"12345", "12345", "12345"},
      {"472-1234-5678", "472-1234-5678", "472-1234-5678"},
      {"=HYPERLINK(\"x\")", "=HYPERLINK(\"x\")", "=HYPERLINK(\"x\")"},
  };
  for (const Case& c : cases) {
    const QString field = QString::fromUtf8(c.field);
    EXPECT_EQ(PhoneFieldText(field, PhoneStyle::kInternational), QString::fromUtf8(c.international))
        << c.field;
    EXPECT_EQ(PhoneFieldText(field, PhoneStyle::kE164), QString::fromUtf8(c.e164)) << c.field;
    EXPECT_EQ(PhoneFieldText(field, PhoneStyle::kAsStored), field) << c.field;
  }
}

TEST(PhoneParts, EachNumberIsAPartAndAFieldWithoutOneStaysWhole) {
  EXPECT_EQ(PhoneParts(QStringLiteral("0571-88881234 13812345678"), PhoneStyle::kInternational),
            QStringList({"+86 571 8888 1234", "+86 138 1234 5678"}));
  EXPECT_EQ(PhoneParts(QStringLiteral("请 来电"), PhoneStyle::kInternational),
            QStringList{"请 来电"});
  EXPECT_TRUE(PhoneParts(QStringLiteral(" "), PhoneStyle::kInternational).isEmpty());
  const QString hostile = QString(300, u'1');
  EXPECT_EQ(PhoneParts(hostile, PhoneStyle::kInternational), QStringList{hostile});
}

// Telephone, fax and mobile of every member as stored, against the reference:
// valid numbers in its international form, the rest unchanged.
TEST(FormatPhoneNumber, EveryShapeTheSampleMarketplaceStoresAgreesWithTheReference) {
  const sample_market::Catalogue catalogue({.seed = 1, .members = 600});
  QStringList numbers;
  for (const sample_market::Member& m : catalogue.members()) {
    for (const char* column : {"RPhone", "RFax", "RMob"}) {
      const QString stored = testing::StoredContactField(m, QString::fromLatin1(column));
      if (!stored.isEmpty()) numbers << stored;
    }
  }
  const QJsonArray reference = ReferenceForms(numbers);
  ASSERT_EQ(reference.size(), numbers.size());
  int valid = 0, withoutZero = 0;
  for (qsizetype i = 0; i < numbers.size(); ++i) {
    const QJsonArray forms = reference[i].toArray();
    const QString shown = PhoneFieldText(numbers[i], PhoneStyle::kInternational);
    const QString e164 = PhoneFieldText(numbers[i], PhoneStyle::kE164);
    EXPECT_EQ(shown, forms.isEmpty() ? numbers[i] : forms[0].toString())
        << numbers[i].toStdString();
    EXPECT_EQ(e164, forms.isEmpty() ? numbers[i] : forms[1].toString()) << numbers[i].toStdString();
    valid += forms.isEmpty() ? 0 : 1;
    withoutZero += !forms.isEmpty() && !numbers[i].startsWith(u'0') && !numbers[i].startsWith(u'1');
  }
  EXPECT_GT(valid, numbers.size() * 3 / 4);  // most shapes are numbers, not kept text
  EXPECT_GT(withoutZero, 50);                // the mark-up form's telephones are among them
}

// Chinese numbers plainly written skip libphonenumber's parser (ICU, slow);
// the answers must be the library's. Random digits in every plain shape:
// trunk 0 or not, +86, 0086, 86, blanks, dots, brackets, full-width digits.
TEST(FormatPhoneNumber, TheFastPathGivesLibphonenumbersOwnAnswers) {
  std::mt19937 random(20261207);
  const char* prefixes[] = {"", "0", "+86", "+86 ", "0086", "86", "(0", "１", "０"};
  const char* leads[] = {"10",  "21", "20", "571", "755", "472", "13", "15", "18", "17",
                         "179", "12", "11", "400", "800", "95",  "86", "9",  "1"};
  int compared = 0, valid = 0, plain = 0;
  for (int i = 0; i < 20000; ++i) {
    std::string digits = leads[random() % std::size(leads)];
    const int more = 3 + int(random() % 9);
    for (int k = 0; k < more; ++k) digits += char('0' + random() % 10);
    QString text = QString::fromUtf8(prefixes[random() % std::size(prefixes)]);
    if (text.endsWith(u'(')) digits.insert(std::min<std::size_t>(3, digits.size()), ")");
    for (char d : digits) {
      if (random() % 7 == 0) text += QStringLiteral(" ").repeated(1 + int(random() % 2));
      if (random() % 11 == 0) text += u'.';
      text += d;
    }
    plain += !PlainNationalNumber(text).isNull();
    for (PhoneStyle style : {PhoneStyle::kInternational, PhoneStyle::kE164}) {
      const std::optional<QString> fast = FormatPhoneNumber(text, style);
      EXPECT_EQ(fast, FormatPhoneNumberWithLibrary(text, style)) << text.toStdString();
      valid += fast.has_value();
      ++compared;
    }
  }
  EXPECT_GT(valid, 2000);       // the valid ones are compared too, not only the refusals
  EXPECT_GT(plain, 20000 / 2);  // and most answers did come from the fast path
}

}  // namespace
}  // namespace quenlo
