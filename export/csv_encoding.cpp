#include "export/csv_encoding.h"

#include "store/settings.h"

namespace quenlo {
namespace {
const QString kSettingKey = QStringLiteral("CSV_Encoding");
}  // namespace

QString CsvEncodingName(CsvEncoding encoding) {
  return encoding == CsvEncoding::kUtf8WithMark ? QStringLiteral("UTF-8")
                                                : QStringLiteral("GB18030");
}

std::optional<CsvEncoding> ParseCsvEncoding(const QString& text) {
  const QString name = text.trimmed().toLower();
  if (name == u"gb18030") return CsvEncoding::kGb18030;
  if (name == u"utf-8" || name == u"utf8") return CsvEncoding::kUtf8WithMark;
  return std::nullopt;
}

CsvEncoding StoredCsvEncoding() {
  const QString stored = GetSettingValue(kSettingsApplication, kSettingsSection, kSettingKey, {});
  return ParseCsvEncoding(stored).value_or(CsvEncoding::kGb18030);
}

bool StoreCsvEncoding(CsvEncoding encoding) {
  return SaveSettingValue(kSettingsApplication, kSettingsSection, kSettingKey,
                          CsvEncodingName(encoding));
}

}  // namespace quenlo
