// The outcome of an operation on the record base: success, or a failure with
// the text the user is shown for it and the reason behind it. The store only
// composes the texts; its callers decide whether and when anyone sees them.
#pragma once

#include <QString>

namespace quenlo {

class [[nodiscard]] DbStatus {
 public:
  DbStatus() = default;  // success

  // The base cannot be reached: missing, read-only, locked, not a record base.
  static DbStatus ConnectFailed(const QString& reason);
  // A query that could not be opened; shownSql is the statement with its values in place.
  static DbStatus OpenFailed(const QString& shownSql, const QString& reason);
  // Any other failure; the reason is what the user is shown.
  static DbStatus Failed(const QString& reason);

  bool Ok() const { return ok_; }
  // What to tell the user; empty on success.
  const QString& Message() const { return message_; }
  // Why, as far as the store can tell (SQLite's own words, a missing file).
  const QString& Reason() const { return reason_; }

 private:
  DbStatus(QString message, QString reason);

  bool ok_ = true;
  QString message_;
  QString reason_;
};

}  // namespace quenlo
