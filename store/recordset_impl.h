// The rows of one SELECT, read at once into memory together with the row id
// of each row's table, so that the recordset knows its count, moves both ways
// and can delete its current row. Internal to the store.
#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <memory>
#include <vector>

#include "store/keyed_connection.h"

namespace quenlo {

class RecordsetImpl {
 public:
  // Runs the SELECT on the connection; throws DbError when it is rejected.
  RecordsetImpl(std::shared_ptr<ConnectionImpl> connection, const QString& sql,
                const QVariantList& params);

  int RowCount() const { return int(deleted_.size()); }
  int LiveCount() const { return liveCount_; }
  int FieldCount() const { return int(fieldNames_.size()); }
  const QStringList& FieldNames() const { return fieldNames_; }
  bool CanDelete() const { return !table_.isEmpty(); }

  // Current position: -1 before the first row, RowCount() past the last.
  int position = -1;
  bool IsLive(int row) const { return row >= 0 && row < RowCount() && !deleted_[row]; }
  const QVariant& Cell(int row, int field) const { return cells_[row * FieldCount() + field]; }
  void DeleteRow(int row);

 private:
  void Read(const QString& sql, const QVariantList& params, bool withRowId);
  QString SingleSourceTable(const QString& sql) const;

  std::shared_ptr<ConnectionImpl> connection_;
  QStringList fieldNames_;
  std::vector<QVariant> cells_;
  std::vector<qint64> rowIds_;
  std::vector<bool> deleted_;
  int liveCount_ = 0;
  QString table_;  // the table the rows come from; empty when they cannot be deleted
};

}  // namespace quenlo
