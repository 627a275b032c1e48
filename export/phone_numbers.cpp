#include "export/phone_numbers.h"

#include <phonenumbers/phonenumberutil.h>

#include <QRegularExpression>
#include <string>

#include "export/number_plan.h"

namespace quenlo {
namespace {

using i18n::phonenumbers::PhoneNumber;
using i18n::phonenumbers::PhoneNumberUtil;

// A longer field is no list of numbers (a hostile page's text): it stays as it is.
constexpr qsizetype kLongestPhoneField = 200;
// At most this many blank-separated pieces are read together as one number
// ("0571 8888 1234 转 808").
constexpr int kMostPiecesInANumber = 6;

const QString kExtensionMark = QStringLiteral(" ext. ");  // libphonenumber's own
const QRegularExpression kListSeparators(QStringLiteral("[,，/／;；、]"));
const QRegularExpression kBlanks(QStringLiteral("\\s+"));
// A piece of text that may be (part of) a number: digits, the signs written
// between and before them, extension words. libphonenumber itself skips
// words around a number ("总机 0571-…" reads as the number alone), so only
// such pieces are handed to it, and the words stay in the field.
const QRegularExpression kNumberPiece(
    QStringLiteral("^(?:[0-9０-９+＋()（）.\\-－#]|转|分机|ext\\.?|x)+$"),
    QRegularExpression::CaseInsensitiveOption);
// "0571-88881234转808", "0571-88881234 分机 808".
const QRegularExpression kWordExtension(
    QStringLiteral("^(.*?)\\s*(?:转|分机)\\s*([0-9０-９]{1,6})$"));
// "0571-88881234-808": a short group after a number that is complete without it.
const QRegularExpression kDashExtension(
    QStringLiteral("^(.*[0-9０-９])\\s*[-－]\\s*([0-9０-９]{1,4})$"));

int DigitValue(QChar c) {
  if (c >= u'0' && c <= u'9') return c.unicode() - u'0';
  if (c >= u'０' && c <= u'９') return c.unicode() - u'０';
  return -1;
}

QString AsciiDigits(const QString& digits) {
  QString out;
  for (QChar c : digits) out += QChar(u'0' + DigitValue(c));
  return out;
}

bool IsPunctuationInNumber(QChar c) {
  static const QString punctuation = QStringLiteral(" \u3000-－.()（）");
  return punctuation.contains(c);
}

// Numbers the carrier-code rule of libphonenumber's Chinese plan may apply to
// (11…, 12…, 179…): only the library's own parser reads those right.
bool MayStartWithCarrierCode(const QString& digits) {
  return digits.startsWith(QStringLiteral("11")) || digits.startsWith(QStringLiteral("12")) ||
         digits.startsWith(QStringLiteral("179"));
}

std::optional<QString> FormatPlain(const QString& text, PhoneStyle style) {
  const NumberPlan& plan = NumberPlan::China();
  const QString national = PlainNationalNumber(text);
  if (national.isNull() || !plan.Usable()) return FormatPhoneNumberWithLibrary(text, style);
  if (!plan.IsValid(national)) return std::nullopt;
  switch (style) {
    case PhoneStyle::kAsStored:
      return text;
    case PhoneStyle::kE164:
      return plan.E164(national);
    case PhoneStyle::kInternational:
      break;
  }
  return plan.International(national);
}

std::optional<QString> WithExtension(const std::optional<QString>& number,
                                     const QString& extension) {
  if (!number) return std::nullopt;
  return *number + kExtensionMark + AsciiDigits(extension);
}

// The longest run of pieces from first on that reads as one number, and how
// many pieces it took (0: none does).
std::pair<QString, int> LongestNumberAt(const QStringList& pieces, int first, PhoneStyle style) {
  int most = 0;
  while (most < kMostPiecesInANumber && first + most < pieces.size() &&
         kNumberPiece.match(pieces[first + most]).hasMatch())
    ++most;
  for (int count = most; count > 0; --count) {
    const QString candidate = pieces.mid(first, count).join(u' ');
    if (const std::optional<QString> number = FormatPhoneNumber(candidate, style))
      return {*number, count};
  }
  return {QString(), 0};
}

// The parts of one list entry; numbersFound counts the numbers among them.
QStringList EntryParts(const QString& entry, PhoneStyle style, int& numbersFound) {
  const QStringList pieces = entry.split(kBlanks, Qt::SkipEmptyParts);
  QStringList parts;
  QString loose;  // pieces that are no number, kept together
  for (int i = 0; i < pieces.size();) {
    const auto [number, used] = LongestNumberAt(pieces, i, style);
    if (used == 0) {
      loose += (loose.isEmpty() ? QString() : QStringLiteral(" ")) + pieces[i++];
      continue;
    }
    if (!loose.isEmpty()) parts << std::exchange(loose, QString());
    parts << number;
    ++numbersFound;
    i += used;
  }
  if (!loose.isEmpty()) parts << loose;
  return parts;
}

QStringList Parts(const QString& field, PhoneStyle style, int& numbersFound) {
  numbersFound = 0;
  if (style == PhoneStyle::kAsStored || field.size() > kLongestPhoneField) return {field};
  QStringList parts;
  for (const QString& entry : field.split(kListSeparators, Qt::SkipEmptyParts))
    parts += EntryParts(entry, style, numbersFound);
  return numbersFound > 0 ? parts : QStringList{field};
}

}  // namespace

QString PlainNationalNumber(const QString& text) {
  QString digits;
  bool plus = false;
  for (QChar c : text) {
    if (const int d = DigitValue(c); d >= 0) {
      digits += QChar(u'0' + d);
    } else if ((c == u'+' || c == u'＋') && digits.isEmpty() && !plus) {
      plus = true;
    } else if (!IsPunctuationInNumber(c)) {
      return {};
    }
  }
  if (plus) {
    if (!digits.startsWith(QStringLiteral("86"))) return {};
    digits.remove(0, 2);
    if (digits.startsWith(u'0')) return {};
  } else if (digits.startsWith(u'0')) {
    digits.remove(0, 1);  // the trunk prefix; "00" (calling abroad) is left to the library
    return digits.startsWith(u'0') ? QString() : digits;
  } else if (digits.startsWith(QStringLiteral("86"))) {
    return {};  // the library may read 86 as the calling code
  }
  return MayStartWithCarrierCode(digits) ? QString() : digits;
}

std::optional<QString> FormatPhoneNumberWithLibrary(const QString& text, PhoneStyle style) {
  const PhoneNumberUtil& util = *PhoneNumberUtil::GetInstance();
  PhoneNumber number;
  if (util.Parse(text.toStdString(), "CN", &number) != PhoneNumberUtil::NO_PARSING_ERROR ||
      !util.IsValidNumber(number))
    return std::nullopt;
  if (style == PhoneStyle::kAsStored) return text;
  std::string formatted;
  if (style == PhoneStyle::kE164) {
    util.Format(number, PhoneNumberUtil::E164, &formatted);  // E.164 has no extension
    if (!number.extension().empty()) formatted += kExtensionMark.toStdString() + number.extension();
  } else {
    util.Format(number, PhoneNumberUtil::INTERNATIONAL, &formatted);
  }
  return QString::fromStdString(formatted);
}

std::optional<QString> FormatPhoneNumber(const QString& text, PhoneStyle style) {
  if (const QRegularExpressionMatch m = kWordExtension.match(text); m.hasMatch())
    return WithExtension(FormatPlain(m.captured(1), style), m.captured(2));
  if (std::optional<QString> whole = FormatPlain(text, style)) return whole;
  if (const QRegularExpressionMatch m = kDashExtension.match(text); m.hasMatch())
    return WithExtension(FormatPlain(m.captured(1), style), m.captured(2));
  return std::nullopt;
}

QStringList PhoneParts(const QString& field, PhoneStyle style) {
  if (field.trimmed().isEmpty()) return {};
  int numbersFound = 0;
  return Parts(field, style, numbersFound);
}

QString PhoneFieldText(const QString& field, PhoneStyle style) {
  int numbersFound = 0;
  const QStringList parts = Parts(field, style, numbersFound);
  return numbersFound > 0 ? parts.join(QStringLiteral(", ")) : field;
}

}  // namespace quenlo
