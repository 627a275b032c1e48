#include "export/export_cli.h"

#include <QFile>
#include <cstdio>

#include "browser/grid_model.h"
#include "export/address_list_header.h"
#include "export/export_records.h"
#include "export/export_texts.h"
#include "store/database.h"

namespace quenlo {
namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

struct ExportRequest {
  QString fileName;
  bool force = false;
};

void Complain(const QString& text) {
  std::fprintf(stderr, "quenlo export: %s\n", text.toLocal8Bit().constData());
}

// Reads FILE and --force; false (after a complaint) for anything else.
bool ParseRequest(QStringList args, ExportRequest& request) {
  if (!args.isEmpty() && args.first() == QStringLiteral("export")) args.removeFirst();
  for (const QString& arg : args) {
    if (arg == QStringLiteral("--force")) {
      request.force = true;
    } else if (arg.startsWith(u'-') || !request.fileName.isEmpty()) {
      Complain(QStringLiteral("unexpected argument \"%1\"").arg(arg));
      return false;
    } else {
      request.fileName = arg;
    }
  }
  if (request.fileName.isEmpty()) {
    Complain(QStringLiteral("usage: quenlo export FILE [--force]  (FILE ending in .csv: CSV; "
                            "any other ending: workbook)"));
    return false;
  }
  return true;
}

}  // namespace

int RunExportCommand(const QStringList& args) {
  ExportRequest request;
  if (!ParseRequest(args, request)) return kExitUsage;
  if (QFile::exists(request.fileName) && !request.force) {
    Complain(QStringLiteral("%1 already exists; add --force to replace it").arg(request.fileName));
    return kExitFailed;
  }
  GridModel header;
  SetUpAddressListHeader(header);
  if (!ExportToFile(header, kContactTable, kAddressSheetTitle, request.fileName)) {
    // The export has said why, except for an empty table, which writes no CSV file.
    Complain(QStringLiteral("%1 was not written").arg(request.fileName));
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace quenlo
