#include <QRegularExpression>
#include <stdexcept>

#include "store/database.h"
#include "store/db_error.h"
#include "store/recordset_impl.h"
#include "store/sqlite_statement.h"

namespace quenlo {
namespace {

// Rows of a grouped or distinct SELECT stand for no single table row.
bool RowsMapOntoTableRows(const QString& sql) {
  static const QRegularExpression grouped(
      QStringLiteral(R"(^\s*SELECT\s+(DISTINCT|ALL)\b|\bGROUP\s+BY\b)"),
      QRegularExpression::CaseInsensitiveOption);
  return !grouped.match(sql).hasMatch();
}

// "SELECT a, b FROM t ..." becomes "SELECT t.rowid, a, b FROM t ...".
QString WithRowIdColumn(const QString& sql, const QString& table) {
  static const QRegularExpression select(QStringLiteral(R"(^\s*SELECT\s)"),
                                         QRegularExpression::CaseInsensitiveOption);
  const QRegularExpressionMatch match = select.match(sql);
  if (!match.hasMatch()) return {};
  return QStringLiteral("SELECT %1.rowid, ").arg(table) + sql.mid(match.capturedEnd());
}

}  // namespace

RecordsetImpl::RecordsetImpl(std::shared_ptr<ConnectionImpl> connection, const QString& sql,
                             const QVariantList& params)
    : connection_(std::move(connection)) {
  const QString table = SingleSourceTable(sql);
  const QString withRowId = table.isEmpty() ? QString() : WithRowIdColumn(sql, table);
  if (!withRowId.isEmpty()) {
    try {
      Read(withRowId, params, true);
      table_ = table;
      return;
    } catch (const DbError&) {
      // An aliased or joined source: read the rows as they are, without deletion.
    }
  }
  Read(sql, params, false);
}

QString RecordsetImpl::SingleSourceTable(const QString& sql) const {
  if (!RowsMapOntoTableRows(sql)) return {};
  SqliteStatement statement(connection_->Handle(), sql);
  QString table;
  for (int column = 0; column < statement.ColumnCount(); ++column) {
    const QString columnTable = statement.ColumnTable(column);
    if (columnTable.isEmpty() || (!table.isEmpty() && columnTable != table)) return {};
    table = columnTable;
  }
  return table;
}

void RecordsetImpl::Read(const QString& sql, const QVariantList& params, bool withRowId) {
  SqliteStatement statement(connection_->Handle(), sql);
  statement.Bind(params);
  const int first = withRowId ? 1 : 0;
  const int columns = statement.ColumnCount();
  fieldNames_.clear();
  for (int column = first; column < columns; ++column) fieldNames_ << statement.ColumnName(column);
  cells_.clear();
  rowIds_.clear();
  sqlite3_stmt* handle = statement.Handle();
  while (statement.Step()) {
    if (withRowId) rowIds_.push_back(sqlite3_column_int64(handle, 0));
    for (int column = first; column < columns; ++column) cells_.push_back(statement.Value(column));
  }
  const size_t rows = fieldNames_.isEmpty() ? 0 : cells_.size() / size_t(fieldNames_.size());
  deleted_.assign(rows, false);
  liveCount_ = int(rows);
}

void RecordsetImpl::DeleteRow(int row) {
  if (!CanDelete()) throw DbError("the rows of this recordset cannot be deleted");
  if (!IsLive(row)) throw DbError("there is no current row to delete");
  connection_->Execute(QStringLiteral("DELETE FROM %1 WHERE rowid=?").arg(table_),
                       {QVariant(qlonglong(rowIds_[row]))});
  deleted_[row] = true;
  --liveCount_;
}

// --- the public recordset ---

Recordset::Recordset() = default;
Recordset::~Recordset() = default;

bool Recordset::IsOpen() const { return impl_ != nullptr; }
int Recordset::RecordCount() const { return impl_ ? impl_->LiveCount() : 0; }

bool Recordset::Eof() const {
  return !impl_ || impl_->LiveCount() == 0 || impl_->position >= impl_->RowCount();
}

bool Recordset::Bof() const { return !impl_ || impl_->LiveCount() == 0 || impl_->position < 0; }

void Recordset::MoveFirst() {
  if (!impl_) return;
  impl_->position = -1;
  MoveNext();
}

void Recordset::MoveLast() {
  if (!impl_) return;
  impl_->position = impl_->RowCount();
  MovePrevious();
}

// Moves skip rows deleted through this recordset.
void Recordset::MoveNext() {
  if (!impl_) return;
  int& position = impl_->position;
  do ++position;
  while (position < impl_->RowCount() && !impl_->IsLive(position));
  position = std::min(position, impl_->RowCount());
}

void Recordset::MovePrevious() {
  if (!impl_) return;
  int& position = impl_->position;
  do --position;
  while (position >= 0 && !impl_->IsLive(position));
  position = std::max(position, -1);
}

int Recordset::FieldCount() const { return impl_ ? impl_->FieldCount() : 0; }

QString Recordset::FieldName(int index) const {
  if (!impl_ || index < 0 || index >= impl_->FieldCount()) return {};
  return impl_->FieldNames()[index];
}

// Field names compare as SQL compares them: exact first, then ignoring case.
int Recordset::FieldIndex(const QString& name) const {
  if (!impl_) return -1;
  const QStringList& names = impl_->FieldNames();
  if (const qsizetype exact = names.indexOf(name); exact >= 0) return int(exact);
  for (int i = 0; i < names.size(); ++i) {
    if (names[i].compare(name, Qt::CaseInsensitive) == 0) return i;
  }
  return -1;
}

QVariant Recordset::Value(const QString& field) const {
  const int index = FieldIndex(field);
  if (index < 0) throw std::out_of_range(("no field named " + field).toStdString());
  return Value(index);
}

QVariant Recordset::Value(int index) const {
  if (!impl_ || impl_->position < 0 || impl_->position >= impl_->RowCount()) {
    throw std::out_of_range("there is no current row");
  }
  if (index < 0 || index >= impl_->FieldCount()) throw std::out_of_range("no such field");
  return impl_->Cell(impl_->position, index);
}

DbStatus Recordset::DeleteCurrent() {
  if (!impl_) return DbStatus::Failed(QStringLiteral("the recordset is not open"));
  try {
    impl_->DeleteRow(impl_->position);
  } catch (const DbError& error) {
    return DbStatus::Failed(QString::fromUtf8(error.what()));
  }
  return {};
}

}  // namespace quenlo
