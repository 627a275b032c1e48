// How an export writes the address list's values beyond its format: the
// CSV's encoding and the form of the telephone, fax and mobile numbers.
#pragma once

#include <QString>

#include "export/csv_encoding.h"
#include "export/phone_numbers.h"

namespace quenlo {

struct ExportOptions {
  CsvEncoding encoding = CsvEncoding::kGb18030;  // CSV only
  // CSV and workbook; a vCard always writes its numbers internationally.
  PhoneStyle phones = PhoneStyle::kAsStored;
};

// Whether a field of 地址表 holds telephone numbers: RMob, RPhone, RFax.
bool IsPhoneField(const QString& field);

// text as an export writes it into the column of field.
QString OutgoingText(const QString& field, const QString& text, const ExportOptions& options);

}  // namespace quenlo
