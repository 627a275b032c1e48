// Reading a number at the start of a text, the lenient way form programs do:
// blanks anywhere are skipped, reading stops at the first character that
// cannot continue the number, and text without a number reads as 0.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace pitrel {

// Skips spaces, tabs and line feeds wherever they stand; reads an optional
// sign, digits, one decimal point and an exponent (E or D, optional sign,
// digits). "&H" and "&O" read hexadecimal and octal digits. "1,5" reads 1.
double LeadingNumber(std::string_view text);

// Nearest integer of the given width, halves to even; nullopt when it does not fit.
std::optional<std::int16_t> RoundToInt16(double value);
std::optional<std::int32_t> RoundToInt32(double value);

}  // namespace pitrel
