// Where an export goes and in what form: the save dialog's filters, what a
// file name's ending asks for, and how the dialog's answer settles both.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "export/export_options.h"

namespace quenlo {

enum class ExportFormat { kCsv, kWorkbook, kVCard };

struct ExportTarget {
  QString fileName;
  ExportFormat format = ExportFormat::kWorkbook;
  ExportOptions options;
};

// What the save dialog answered: the name as typed and the filter chosen.
struct SaveFileChoice {
  QString fileName;  // empty: cancelled
  QString filter;
};

// CSV (GB18030), the classic workbook name, the modern one, CSV UTF-8 and
// vCard, in this order.
QStringList ExportFileFilters();
// The filter chosen when the dialog opens: the CSV filter of the stored encoding.
QString InitialExportFilter();
// The encoding a CSV filter stands for; nullopt for the other filters.
std::optional<CsvEncoding> CsvEncodingOfFilter(const QString& filter);

// Whether the last three characters, in any case, are "csv".
bool IsCsvFileName(const QString& fileName);
// CSV for a name ending in "csv", vCard for one ending in ".vcf" (any case),
// a workbook for anything else.
ExportFormat FormatOfFileName(const QString& fileName);

// The target of a dialog answer. A name without an ending gets the chosen
// filter's. The format is the ending's when it is one of the exports' own
// (csv, xls, xlsx, vcf), otherwise the chosen filter's. A CSV is written in
// the chosen CSV filter's encoding, or in the stored one when a CSV name was
// typed under another filter.
ExportTarget TargetOfChoice(const SaveFileChoice& choice);

}  // namespace quenlo
