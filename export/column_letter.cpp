#include "export/column_letter.h"

namespace quenlo {

QString ColumnLetter(int n) {
  if (n < 1 || n > 702) return {};
  const int first = (n - 1) / 26;  // 0 when one letter is enough
  const int second = n - 26 * first;
  QString letters;
  if (first > 0) letters += QChar(u'A' + first - 1);
  letters += QChar(u'A' + second - 1);
  return letters;
}

}  // namespace quenlo
