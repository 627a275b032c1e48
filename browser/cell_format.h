// Texts of field values as the record grid shows them.
#pragma once

#include <QString>
#include <QVariant>

namespace quenlo {

// "√" for a true value, an empty text otherwise.
QString BoolMark(const QVariant& value);

// A double rounded to hundredths (halves to even) in its shortest decimal
// form; a date as "yyyy.MM.dd" (empty for the placeholder date 1900-01-01);
// a yes/no value as its BoolMark; anything else as plain text.
QString FormatCellValue(const QVariant& value);

}  // namespace quenlo
