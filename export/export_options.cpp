#include "export/export_options.h"

namespace quenlo {

bool IsPhoneField(const QString& field) {
  return field == u"RMob" || field == u"RPhone" || field == u"RFax";
}

QString OutgoingText(const QString& field, const QString& text, const ExportOptions& options) {
  if (options.phones == PhoneStyle::kAsStored || !IsPhoneField(field)) return text;
  return PhoneFieldText(text, options.phones);
}

}  // namespace quenlo
