#include "export/export_records.h"

#include <QFile>
#include <QFileInfo>

#include "browser/grid_model.h"
#include "export/export_texts.h"
#include "export/grid_export.h"
#include "export/record_base_guard.h"
#include "export/table_export.h"
#include "export/vcard_export.h"
#include "ports/messenger.h"

namespace quenlo {
namespace {

bool RefusedAsRecordBase(const QString& fileName) {
  if (!IsRecordBaseFile(fileName)) return false;
  ShowMessage(kRecordBaseTargetMessage);
  return true;
}

// A vCard always gives its numbers in international form, E.164 when asked.
PhoneStyle VCardPhoneStyle(PhoneStyle asked) {
  return asked == PhoneStyle::kE164 ? PhoneStyle::kE164 : PhoneStyle::kInternational;
}

}  // namespace

bool IsReplaceableFile(const QString& fileName) { return QFileInfo(fileName).isFile(); }

bool ExportToFile(const GridModel& grid, const QString& table, const QString& sheetTitle,
                  const ExportTarget& target) {
  if (RefusedAsRecordBase(target.fileName)) return false;
  const QString& name = target.fileName;
  const ExportOptions& options = target.options;
  switch (target.format) {
    case ExportFormat::kCsv:
      return table.isEmpty() ? ExportGridToCsv(grid, name, options)
                             : ExportTableToCsv(grid, table, name, options);
    case ExportFormat::kVCard:
      return table.isEmpty() ? ExportGridToVCard(grid, name, VCardPhoneStyle(options.phones))
                             : ExportTableToVCard(table, name, VCardPhoneStyle(options.phones));
    case ExportFormat::kWorkbook:
      break;
  }
  return table.isEmpty() ? ExportGridToExcel(grid, name, sheetTitle, options)
                         : ExportTableToExcel(grid, table, name, options);
}

void ExportRecords(const GridModel& grid, SaveFileAsker& asker, const QString& table,
                   const QString& sheetTitle) {
  if (grid.Rows() == 0 || grid.Cols() == 0) {
    ShowMessage(kNoDataMessage);
    return;
  }
  const SaveFileChoice choice = asker.AskSaveFileName(ExportFileFilters(), InitialExportFilter());
  if (choice.fileName.isEmpty()) return;
  if (const std::optional<CsvEncoding> chosen = CsvEncodingOfFilter(choice.filter))
    StoreCsvEncoding(*chosen);
  const ExportTarget target = TargetOfChoice(choice);
  if (RefusedAsRecordBase(target.fileName)) return;
  if (QFile::exists(target.fileName)) {
    if (!AskYesNo(kOverwriteQuestion)) return;
    // The old file stays until the new one is complete and takes its place,
    // so a failed export loses nothing; only a plain file is replaced.
    if (!IsReplaceableFile(target.fileName)) {
      ShowMessage(kCannotOverwriteMessage);
      return;
    }
  }
  ExportToFile(grid, table, sheetTitle, target);
}

}  // namespace quenlo
