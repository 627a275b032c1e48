// Telephone, fax and mobile numbers on their way out: each number of a field
// in international form, read with libphonenumber's rules for China (the
// default region). The base keeps the numbers as the pages gave them, so
// "10-7763-4684" (010 7763 4684 without its leading zero, as the member
// sites' form stores it) is read as Beijing's 10 7763 4684. A field may hold
// several numbers, split at spaces, commas, "/", ";" and "、"; what is not a
// valid number is kept as written, never guessed at.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace quenlo {

enum class PhoneStyle {
  kAsStored,       // the field as the base holds it
  kInternational,  // "+86 10 7763 4684"
  kE164,           // "+861077634684"
};

// One number (extension allowed: "转808", "分机 808", "ext. 808", or "-808"
// after a complete number) in style; nullopt when it is no valid number.
// An extension follows as " ext. 808" in both international styles.
std::optional<QString> FormatPhoneNumber(const QString& text, PhoneStyle style);

// The same answer from libphonenumber's parser alone, without the fast path
// for plainly written Chinese numbers (and without "转" or "-808").
std::optional<QString> FormatPhoneNumberWithLibrary(const QString& text, PhoneStyle style);

// The national number of a plainly written Chinese number, which the fast
// path reads without the library's parser (valid or not): digits (ASCII or
// full-width) with blanks, hyphens, dots or brackets between them, led by
// nothing, the trunk "0" or "+86". Null when the library's whole parser is
// needed: its answer then depends on more than these digits.
QString PlainNationalNumber(const QString& text);

// The parts of a field in their order: each valid number in style, the text
// between them as written. A field without a valid number is one part as it
// stands; an empty field has none.
QStringList PhoneParts(const QString& field, PhoneStyle style);

// The parts joined by ", "; the field itself when it holds no valid number
// or the style is kAsStored.
QString PhoneFieldText(const QString& field, PhoneStyle style);

}  // namespace quenlo
