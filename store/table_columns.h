// The tables and columns of the record base, as the schema declares them.
// Names spliced into SQL text (rather than bound) are checked against these.
#pragma once

#include <QString>
#include <QStringList>

namespace quenlo {

// The columns of a table in schema order (ID first); empty for an unknown table.
QStringList TableColumns(const QString& table);

}  // namespace quenlo
