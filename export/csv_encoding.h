// The text encoding of a CSV export and the setting that remembers it.
// GB18030 is what spreadsheet programs on a Chinese system read by default
// (and what every earlier export wrote); UTF-8 led by a byte-order mark is
// what Excel on any system, and most other programs, read correctly.
#pragma once

#include <QString>
#include <optional>

namespace quenlo {

enum class CsvEncoding { kGb18030, kUtf8WithMark };

// "GB18030" or "UTF-8", as the setting and the command line spell them.
QString CsvEncodingName(CsvEncoding encoding);
// "gb18030", "utf-8" or "utf8" in any case; nullopt for anything else.
std::optional<CsvEncoding> ParseCsvEncoding(const QString& text);

// The setting CSV_Encoding; GB18030 when it is unset or unreadable.
CsvEncoding StoredCsvEncoding();
bool StoreCsvEncoding(CsvEncoding encoding);

}  // namespace quenlo
