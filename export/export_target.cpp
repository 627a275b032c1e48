#include "export/export_target.h"

#include <QFileInfo>
#include <vector>

namespace quenlo {
namespace {

struct ExportFilter {
  QString text;
  QString ending;
  ExportFormat format;
  std::optional<CsvEncoding> encoding;  // CSV filters only
};

const std::vector<ExportFilter>& Filters() {
  static const std::vector<ExportFilter> filters = {
      {QStringLiteral("CSV (逗号分隔)(*.csv)"), QStringLiteral("csv"), ExportFormat::kCsv,
       CsvEncoding::kGb18030},
      {QStringLiteral("MS Excel文件  (*.xls)"), QStringLiteral("xls"), ExportFormat::kWorkbook, {}},
      {QStringLiteral("Excel 工作簿 (*.xlsx)"), QStringLiteral("xlsx"), ExportFormat::kWorkbook, {}},
      {QStringLiteral("CSV UTF-8 (逗号分隔)(*.csv)"), QStringLiteral("csv"), ExportFormat::kCsv,
       CsvEncoding::kUtf8WithMark},
      {QStringLiteral("vCard (*.vcf)"), QStringLiteral("vcf"), ExportFormat::kVCard, {}},
  };
  return filters;
}

// The file dialog hands a filter back with its blanks simplified.
const ExportFilter* FindFilter(const QString& text) {
  for (const ExportFilter& filter : Filters()) {
    if (filter.text.simplified() == text.simplified()) return &filter;
  }
  return nullptr;
}

bool HasOwnEnding(const QString& fileName) {
  const QString ending = QFileInfo(fileName).suffix().toLower();
  for (const ExportFilter& filter : Filters()) {
    if (filter.ending == ending) return true;
  }
  return false;
}

QString WithEnding(const QString& fileName, const QString& ending) {
  return fileName + (fileName.endsWith(u'.') ? QString() : QStringLiteral(".")) + ending;
}

}  // namespace

QStringList ExportFileFilters() {
  QStringList texts;
  for (const ExportFilter& filter : Filters()) texts << filter.text;
  return texts;
}

QString InitialExportFilter() {
  const CsvEncoding stored = StoredCsvEncoding();
  for (const ExportFilter& filter : Filters()) {
    if (filter.encoding == stored) return filter.text;
  }
  return Filters().front().text;
}

std::optional<CsvEncoding> CsvEncodingOfFilter(const QString& filter) {
  const ExportFilter* found = FindFilter(filter);
  return found ? found->encoding : std::nullopt;
}

bool IsCsvFileName(const QString& fileName) {
  return fileName.right(3).toLower() == QStringLiteral("csv");
}

ExportFormat FormatOfFileName(const QString& fileName) {
  if (IsCsvFileName(fileName)) return ExportFormat::kCsv;
  if (fileName.endsWith(QStringLiteral(".vcf"), Qt::CaseInsensitive)) return ExportFormat::kVCard;
  return ExportFormat::kWorkbook;
}

ExportTarget TargetOfChoice(const SaveFileChoice& choice) {
  const ExportFilter* filter = FindFilter(choice.filter);
  ExportTarget target;
  target.fileName = choice.fileName;
  if (filter && QFileInfo(choice.fileName).suffix().isEmpty())
    target.fileName = WithEnding(choice.fileName, filter->ending);
  target.format = filter && !HasOwnEnding(target.fileName) ? filter->format
                                                           : FormatOfFileName(target.fileName);
  target.options.encoding =
      filter && filter->encoding ? *filter->encoding : StoredCsvEncoding();
  return target;
}

}  // namespace quenlo
