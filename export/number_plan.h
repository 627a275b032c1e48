// One calling region's numbering plan, taken from libphonenumber's own
// metadata and matched with Qt's regular expressions (PCRE2). Debian builds
// libphonenumber on ICU's regular expressions, which cost about 90 µs a
// number; the same rules matched here cost a few µs, which is what lets
// thirty thousand contacts leave as vCards within a second. The rules are
// libphonenumber's validity test and its international layout, step for
// step; the tests hold the two answers side by side. Immutable once built,
// so safe to share between threads.
#pragma once

#include <QList>
#include <QRegularExpression>
#include <QString>
#include <vector>

namespace quenlo {

class NumberPlan {
 public:
  // China's plan (calling code 86); unusable only if the library carries no
  // metadata for it, and then every number takes libphonenumber's own path.
  static const NumberPlan& China();

  bool Usable() const { return usable_; }
  // Whether a national significant number (digits, no trunk "0") is valid.
  bool IsValid(const QString& nationalNumber) const;
  // "+86 10 7763 4684" for "1077634684".
  QString International(const QString& nationalNumber) const;
  // "+861077634684".
  QString E164(const QString& nationalNumber) const;

 private:
  struct NumberKind {
    QRegularExpression pattern;
    QList<int> lengths;  // empty: any length the general rule allows
    bool Matches(const QString& number) const;
  };
  struct Layout {
    QRegularExpression leadingDigits;  // empty when the layout has none
    QRegularExpression pattern;
    QString format;  // "$1 $2 $3"
  };

  explicit NumberPlan(const char* regionCode);
  QString Grouped(const QString& nationalNumber) const;

  bool usable_ = false;
  QString callingCode_;
  NumberKind general_;
  std::vector<NumberKind> kinds_;
  std::vector<Layout> layouts_;
};

}  // namespace quenlo
