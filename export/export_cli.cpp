#include "export/export_cli.h"

#include <QFile>
#include <QFileInfo>
#include <cstdio>

#include "browser/address_list.h"
#include "browser/grid_model.h"
#include "browser/grid_operations.h"
#include "browser/text_measure.h"
#include "export/export_records.h"
#include "export/export_texts.h"
#include "ports/messenger.h"
#include "store/database.h"

namespace quenlo {
namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

const QString kUsage = QStringLiteral(
    "usage: quenlo export FILE [--force] [--shown FIELD KEYWORD]\n"
    "  FILE ending in csv: CSV text; any other ending: a workbook (xlsx content)\n"
    "  --force   replace FILE when it exists\n"
    "  --shown   only the records whose FIELD contains KEYWORD, as the record grid\n"
    "            shows them (FIELD: a field name such as CName, a caption such as\n"
    "            公司名称, or a column number such as 02)");

struct ExportRequest {
  QString fileName;
  bool force = false;
  bool shown = false;
  QString searchEntry;  // as the search-field box holds it: "02:公司名称"
  QString keyword;
};

void Complain(const QString& text) {
  std::fprintf(stderr, "quenlo export: %s\n", text.toLocal8Bit().constData());
}

// "CName", "公司名称", "2" or "02:公司名称" as a search-field entry; empty when
// it names no searchable column.
QString SearchEntryFor(const QString& field) {
  const QStringList entries = AddressSearchEntries();
  for (int i = 0; i < entries.size(); ++i) {
    const int column = i + 1;
    if (field.compare(AddressFieldNames().value(column), Qt::CaseInsensitive) == 0 ||
        field == AddressCaptions().value(column) || field == entries[i] ||
        field.toInt() == column) {
      return entries[i];
    }
  }
  return {};
}

// False (after a complaint) for anything but FILE, --force and --shown F K.
bool ParseRequest(QStringList args, ExportRequest& request) {
  if (!args.isEmpty() && args.first() == QStringLiteral("export")) args.removeFirst();
  for (int i = 0; i < args.size(); ++i) {
    const QString& arg = args[i];
    if (arg == QStringLiteral("--force")) {
      request.force = true;
    } else if (arg == QStringLiteral("--shown")) {
      if (i + 2 >= args.size()) {
        Complain(QStringLiteral("--shown needs a FIELD and a KEYWORD"));
        return false;
      }
      request.shown = true;
      request.searchEntry = SearchEntryFor(args[i + 1]);
      request.keyword = args[i + 2];
      if (request.searchEntry.isEmpty()) {
        Complain(QStringLiteral("\"%1\" is no field of the address list").arg(args[i + 1]));
        return false;
      }
      i += 2;
    } else if (arg.startsWith(u'-') || !request.fileName.isEmpty()) {
      Complain(QStringLiteral("unexpected argument \"%1\"").arg(arg));
      return false;
    } else {
      request.fileName = arg;
    }
  }
  if (request.fileName.isEmpty()) {
    Complain(kUsage);
    return false;
  }
  return true;
}

// An empty table writes no CSV file and says nothing, so the command line asks first.
bool IsTableEmpty(const QString& table) {
  Connection connection;
  Recordset records;
  const DbStatus opened =
      DbOpenRecordset(connection, records, QStringLiteral("SELECT COUNT(*) FROM ") + table);
  if (!opened.Ok()) ShowMessage(opened.Message());
  const bool empty = records.IsOpen() && !records.Eof() && records.Value(0).toInt() == 0;
  DbCloseRecordset(connection, records);
  return empty;
}

// The address list as the record grid holds it: header rows only for an
// export of the whole table, or the records the search finds.
void FillGrid(const ExportRequest& request, GridModel& grid) {
  if (request.shown) {
    RefreshAddressList(grid, request.searchEntry, request.keyword, CharCountMeasure());
    return;
  }
  GridSetupColumns(grid, AddressFieldNames(), AddressCaptions());
  grid.SetFixedCols(1);
  grid.SetTag(kContactTable);
}

}  // namespace

int RunExportCommand(const QStringList& args) {
  ExportRequest request;
  if (!ParseRequest(args, request)) return kExitUsage;
  if (QFile::exists(request.fileName) && !IsReplaceableFile(request.fileName)) {
    Complain(QStringLiteral("%1 is not a plain file; an export replaces only those").arg(request.fileName));
    return kExitFailed;
  }
  if (QFile::exists(request.fileName) && !request.force) {
    Complain(QStringLiteral("%1 already exists; add --force to replace it").arg(request.fileName));
    return kExitFailed;
  }
  // Without a usable base there is nothing to export, all records or those
  // shown: say why, and leave FILE as it is.
  if (const DbStatus reachable = DbCheckConnection(); !reachable.Ok()) {
    Complain(QStringLiteral("cannot open the record base: %1; %2 was not written")
                 .arg(reachable.Reason(), request.fileName));
    return kExitFailed;
  }
  GridModel grid;
  FillGrid(request, grid);
  const QString table = request.shown ? QString() : kContactTable;
  if (!table.isEmpty() && IsCsvFileName(request.fileName) && IsTableEmpty(table)) {
    Complain(
        QStringLiteral("%1 holds no records; %2 was not written").arg(table, request.fileName));
    return kExitFailed;
  }
  if (!ExportToFile(grid, table, kAddressSheetTitle, request.fileName)) {
    // The export has said why.
    Complain(QStringLiteral("%1 was not written").arg(request.fileName));
    return kExitFailed;
  }
  std::printf("quenlo export: wrote %s\n",
              QFileInfo(request.fileName).absoluteFilePath().toLocal8Bit().constData());
  return kExitOk;
}

}  // namespace quenlo
