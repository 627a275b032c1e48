#include "export/number_plan.h"

#include <phonenumbers/phonemetadata.pb.h>

namespace i18n::phonenumbers {
// The library's compiled-in metadata. It exports these two for its own
// loader; the header declaring them (metadata.h) is not installed.
int metadata_size();
const void* metadata_get();
}  // namespace i18n::phonenumbers

namespace quenlo {
namespace {

using i18n::phonenumbers::NumberFormat;
using i18n::phonenumbers::PhoneMetadata;
using i18n::phonenumbers::PhoneMetadataCollection;
using i18n::phonenumbers::PhoneNumberDesc;

QRegularExpression Compiled(const QString& pattern) {
  QRegularExpression expression(pattern);
  expression.optimize();
  return expression;
}

QRegularExpression WholeMatch(const std::string& pattern) {
  return Compiled(QRegularExpression::anchoredPattern(QString::fromStdString(pattern)));
}

const PhoneMetadata* FindRegion(const PhoneMetadataCollection& all, const char* regionCode) {
  for (const PhoneMetadata& region : all.metadata()) {
    if (region.id() == regionCode) return &region;
  }
  return nullptr;
}

// "$1 $2" with the groups of match filled in.
QString FillGroups(const QString& format, const QRegularExpressionMatch& match) {
  QString out;
  for (qsizetype i = 0; i < format.size(); ++i) {
    if (format[i] == u'$' && i + 1 < format.size() && format[i + 1].isDigit()) {
      out += match.captured(format[++i].digitValue());
    } else {
      out += format[i];
    }
  }
  return out;
}

}  // namespace

bool NumberPlan::NumberKind::Matches(const QString& number) const {
  if (pattern.pattern().isEmpty()) return false;  // a kind the region does not have
  if (!lengths.isEmpty() && !lengths.contains(int(number.size()))) return false;
  return pattern.match(number).hasMatch();
}

const NumberPlan& NumberPlan::China() {
  static const NumberPlan plan("CN");
  return plan;
}

NumberPlan::NumberPlan(const char* regionCode) {
  PhoneMetadataCollection all;
  if (!all.ParseFromArray(i18n::phonenumbers::metadata_get(), i18n::phonenumbers::metadata_size()))
    return;
  const PhoneMetadata* region = FindRegion(all, regionCode);
  if (!region) return;
  const auto kind = [](const PhoneNumberDesc& desc) {
    NumberKind k;
    if (!desc.national_number_pattern().empty())
      k.pattern = WholeMatch(desc.national_number_pattern());
    for (int length : desc.possible_length()) k.lengths.append(length);
    return k;
  };
  general_ = kind(region->general_desc());
  // libphonenumber's order of the kinds; for validity only "any of them" counts.
  for (const PhoneNumberDesc* desc :
       {&region->premium_rate(), &region->toll_free(), &region->shared_cost(), &region->voip(),
        &region->personal_number(), &region->pager(), &region->uan(), &region->voicemail(),
        &region->fixed_line(), &region->mobile()}) {
    kinds_.push_back(kind(*desc));
  }
  const auto& formats = region->intl_number_format_size() > 0 ? region->intl_number_format()
                                                              : region->number_format();
  for (const NumberFormat& format : formats) {
    Layout layout;
    // Like the library, only the last (most detailed) leading-digit rule counts.
    if (format.leading_digits_pattern_size() > 0) {
      const std::string& last =
          format.leading_digits_pattern(format.leading_digits_pattern_size() - 1);
      layout.leadingDigits =
          Compiled(QStringLiteral("\\A(?:%1)").arg(QString::fromStdString(last)));
    }
    layout.pattern = WholeMatch(format.pattern());
    layout.format = QString::fromStdString(format.format());
    layouts_.push_back(std::move(layout));
  }
  callingCode_ = QString::number(region->country_code());
  usable_ = general_.pattern.isValid() && !general_.pattern.pattern().isEmpty();
}

bool NumberPlan::IsValid(const QString& nationalNumber) const {
  if (!usable_ || !general_.Matches(nationalNumber)) return false;
  for (const NumberKind& kind : kinds_) {
    if (kind.Matches(nationalNumber)) return true;
  }
  return false;
}

QString NumberPlan::Grouped(const QString& nationalNumber) const {
  for (const Layout& layout : layouts_) {
    if (!layout.leadingDigits.pattern().isEmpty() &&
        !layout.leadingDigits.match(nationalNumber).hasMatch())
      continue;
    const QRegularExpressionMatch match = layout.pattern.match(nationalNumber);
    if (match.hasMatch()) return FillGroups(layout.format, match);
  }
  return nationalNumber;  // no layout fits: the library leaves it in one piece
}

QString NumberPlan::International(const QString& nationalNumber) const {
  return u'+' + callingCode_ + u' ' + Grouped(nationalNumber);
}

QString NumberPlan::E164(const QString& nationalNumber) const {
  return u'+' + callingCode_ + nationalNumber;
}

}  // namespace quenlo
