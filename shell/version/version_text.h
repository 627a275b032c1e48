// Reading a version number out of the maker's product page and out of the
// window title. Plain text functions, no state.
#pragma once

#include <QString>

namespace quenlo {

inline constexpr char16_t kVersionMarker[] = u"软件版本：";
inline constexpr char16_t kPriceMarker[] = u"软件售价：";

// Keeps only the digits 0-9 and '.': "V2.3 Build 5" gives "2.35", "Quenlo1.0" gives "1.0".
QString FilterVersionText(const QString& text);

// The decimal number at the start of text, up to the first character that
// does not fit ("1.2.3" reads 1.2); 0 for an empty text.
double VersionNumber(const QString& filtered);

// The filtered text between the version marker and the price marker that
// follows it, or empty when either is missing or nothing stands between them.
QString PublishedVersion(const QString& pageText);

}  // namespace quenlo
