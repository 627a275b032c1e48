#include "export/vcard_export.h"

#include <QHash>
#include <QSaveFile>
#include <functional>

#include "browser/grid_model.h"
#include "export/csv_writer.h"
#include "export/export_texts.h"
#include "export/vcard_writer.h"
#include "ports/messenger.h"
#include "ports/progress_sink.h"
#include "store/database.h"

namespace quenlo {
namespace {

bool WriteCard(QIODevice& device, const ContactCard& card, PhoneStyle phones) {
  const QByteArray bytes = VCardOf(card, phones);
  return device.write(bytes) == bytes.size();
}

// Writes through a temporary file that replaces fileName only when complete.
bool SaveVCards(const QString& fileName, const std::function<bool(QIODevice&)>& write) {
  QSaveFile file(fileName);
  const bool saved = file.open(QIODevice::WriteOnly) && write(file) && CommitComplete(file);
  if (!saved) ShowMessage(kSaveFailedMessage);
  return saved;
}

bool WriteTableVCards(Recordset& records, QIODevice& device, PhoneStyle phones) {
  QHash<QString, int> indexes;
  const auto value = [&](const QString& field) {
    auto found = indexes.find(field);
    if (found == indexes.end()) found = indexes.insert(field, records.FieldIndex(field));
    return *found < 0 ? QString() : records.Value(*found).toString();
  };
  bool ok = true;
  for (; !records.Eof() && ok; records.MoveNext()) {
    ok = WriteCard(device, ContactCardFrom(value), phones);
    ProgressStep(1, kProgressUnit);
  }
  return ok;
}

}  // namespace

bool WriteGridVCards(const GridModel& grid, QIODevice& device, PhoneStyle phones) {
  QHash<QString, int> columns;
  for (int col = 0; col < grid.Cols(); ++col) columns.insert(grid.TextMatrix(0, col), col);
  ProgressBegin(kVCardProgressCaption, grid.Rows());
  bool ok = true;
  for (int row = 0; row < grid.Rows() && ok; ++row) {
    if (row >= grid.FixedRows() && grid.RowHeight(row) > 0) {
      const auto value = [&](const QString& field) {
        return columns.contains(field) ? grid.TextMatrix(row, columns[field]) : QString();
      };
      ok = WriteCard(device, ContactCardFrom(value), phones);
    }
    ProgressStep(1, kProgressUnit);
  }
  ProgressEnd();
  return ok;
}

bool ExportGridToVCard(const GridModel& grid, const QString& fileName, PhoneStyle phones) {
  return SaveVCards(fileName, [&](QIODevice& file) { return WriteGridVCards(grid, file, phones); });
}

bool ExportTableToVCard(const QString& table, const QString& fileName, PhoneStyle phones) {
  if (!IsKnownTable(table)) return false;  // its name is spliced into the statement
  Connection connection;
  Recordset records;
  const DbStatus opened =
      DbOpenRecordset(connection, records, QStringLiteral("SELECT * FROM ") + table);
  bool saved = false;
  if (!opened.Ok()) {
    ShowMessage(opened.Message());
  } else if (records.RecordCount() == 0) {
    ShowMessage(kNoDataMessage);
  } else {
    ProgressBegin(kVCardProgressCaption, records.RecordCount());
    saved = SaveVCards(fileName,
                       [&](QIODevice& file) { return WriteTableVCards(records, file, phones); });
    ProgressEnd();
  }
  DbCloseRecordset(connection, records);
  return saved;
}

}  // namespace quenlo
