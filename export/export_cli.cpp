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
#include "export/record_base_guard.h"
#include "ports/messenger.h"
#include "store/database.h"

namespace quenlo {
namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

const QString kUsage = QStringLiteral(
    "usage: quenlo export FILE [--force] [--shown FIELD KEYWORD] [--encoding ENC] [--phones FORM]\n"
    "  FILE ending in csv: CSV text; in .vcf: vCards (address books, phones);\n"
    "  any other ending: a workbook (xlsx content)\n"
    "  --force     replace FILE when it exists\n"
    "  --shown     only the records whose FIELD contains KEYWORD, as the record grid\n"
    "              shows them (FIELD: a field name such as CName, a caption such as\n"
    "              公司名称, or a column number such as 02)\n"
    "  --encoding  of a CSV: gb18030 or utf-8 (with a byte-order mark); default: the\n"
    "              window's last choice, else gb18030\n"
    "  --phones    telephone, fax and mobile numbers in CSV and workbook: stored (as\n"
    "              harvested, the default), international (+86 10 7763 4684) or e164\n"
    "              (+861077634684); a vCard always has them international");

struct ExportRequest {
  QString fileName;
  ExportOptions options{StoredCsvEncoding(), PhoneStyle::kAsStored};
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

std::optional<PhoneStyle> ParsePhoneStyle(const QString& text) {
  if (text == u"stored") return PhoneStyle::kAsStored;
  if (text == u"international") return PhoneStyle::kInternational;
  if (text == u"e164") return PhoneStyle::kE164;
  return std::nullopt;
}

// --encoding ENC or --phones FORM; false (after a complaint) for a value it does not know.
bool SetValueOption(const QString& option, const QString& value, ExportOptions& options) {
  if (option == u"--encoding") {
    const std::optional<CsvEncoding> encoding = ParseCsvEncoding(value);
    if (!encoding) {
      Complain(QStringLiteral("--encoding takes gb18030 or utf-8, not \"%1\"").arg(value));
      return false;
    }
    options.encoding = *encoding;
    return true;
  }
  const std::optional<PhoneStyle> phones = ParsePhoneStyle(value);
  if (!phones) {
    Complain(QStringLiteral("--phones takes stored, international or e164, not \"%1\"").arg(value));
    return false;
  }
  options.phones = *phones;
  return true;
}

// False (after a complaint) for anything but FILE, --force, --shown F K,
// --encoding ENC and --phones FORM.
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
    } else if (arg == QStringLiteral("--encoding") || arg == QStringLiteral("--phones")) {
      if (i + 1 >= args.size()) {
        Complain(QStringLiteral("%1 needs a value").arg(arg));
        return false;
      }
      if (!SetValueOption(arg, args[++i], request.options)) return false;
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
  if (IsRecordBaseFile(request.fileName)) {
    Complain(QStringLiteral("%1 is the record base or one of its journal files; an export never "
                            "replaces those")
                 .arg(request.fileName));
    return kExitFailed;
  }
  if (QFile::exists(request.fileName) && !IsReplaceableFile(request.fileName)) {
    Complain(QStringLiteral("%1 is not a plain file; an export replaces only those")
                 .arg(request.fileName));
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
  const ExportTarget target{request.fileName, FormatOfFileName(request.fileName), request.options};
  if (!table.isEmpty() && target.format != ExportFormat::kWorkbook && IsTableEmpty(table)) {
    Complain(
        QStringLiteral("%1 holds no records; %2 was not written").arg(table, request.fileName));
    return kExitFailed;
  }
  if (!ExportToFile(grid, table, kAddressSheetTitle, target)) {
    // The export has said why.
    Complain(QStringLiteral("%1 was not written").arg(request.fileName));
    return kExitFailed;
  }
  std::printf("quenlo export: wrote %s\n",
              QFileInfo(request.fileName).absoluteFilePath().toLocal8Bit().constData());
  return kExitOk;
}

}  // namespace quenlo
