#include "worker/leading_number.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace pitrel {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }

// The text without the blanks that reading skips.
std::string WithoutBlanks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text)
    if (!IsBlank(c)) out.push_back(c);
  return out;
}

int DigitValue(char c, int radix) {
  int value = radix;
  if (c >= '0' && c <= '9') value = c - '0';
  else if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
  else if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
  return value < radix ? value : -1;
}

double ReadRadix(std::string_view digits, int radix) {
  double value = 0;
  for (char c : digits) {
    const int d = DigitValue(c, radix);
    if (d < 0) break;
    value = value * radix + d;
  }
  return value;
}

// Length of the decimal number at the start of s, accepted the same way
// a decimal reader would, but with D allowed as the exponent letter and no hex, inf, nan.
std::size_t DecimalLength(std::string_view s) {
  std::size_t i = 0;
  auto digits = [&] {
    const std::size_t start = i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
    return i - start;
  };
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  std::size_t mantissa = digits();
  if (i < s.size() && s[i] == '.') {
    ++i;
    mantissa += digits();
  }
  if (mantissa == 0) return 0;
  const std::size_t beforeExponent = i;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    if (digits() == 0) i = beforeExponent;
  }
  return i;
}

// Halves to even, as nearbyint in the default mode. Written out because the
// worker starts once per page and libm is a shared library it would load
// for this alone: adding 2^52 leaves a double no fraction bits to keep.
double RoundHalfToEven(double value) {
  constexpr double kNoFractionBits = 4503599627370496.0;  // 2^52
  if (!(std::fabs(value) < kNoFractionBits)) return value;
  return value >= 0 ? (value + kNoFractionBits) - kNoFractionBits
                    : -((-value + kNoFractionBits) - kNoFractionBits);
}

template <typename Int>
std::optional<Int> RoundTo(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  const double rounded = RoundHalfToEven(value);
  if (rounded < std::numeric_limits<Int>::min() || rounded > std::numeric_limits<Int>::max())
    return std::nullopt;
  return static_cast<Int>(rounded);
}

}  // namespace

double LeadingNumber(std::string_view text) {
  std::string s = WithoutBlanks(text);
  if (s.size() >= 2 && s[0] == '&') {
    if (s[1] == 'h' || s[1] == 'H') return ReadRadix(std::string_view(s).substr(2), 16);
    if (s[1] == 'o' || s[1] == 'O') return ReadRadix(std::string_view(s).substr(2), 8);
  }
  const std::size_t length = DecimalLength(s);
  if (length == 0) return 0;
  std::string number = s.substr(0, length);
  for (char& c : number)
    if (c == 'd' || c == 'D') c = 'e';
  // strtod reads the C locale's '.': the worker never sets another locale
  // (std::from_chars for doubles would bring libm in, see RoundHalfToEven).
  // A number beyond a double's range reads as 0.
  errno = 0;
  const double value = std::strtod(number.c_str(), nullptr);
  return errno == ERANGE && std::fabs(value) > 1 ? 0 : value;
}

std::optional<std::int16_t> RoundToInt16(double value) { return RoundTo<std::int16_t>(value); }
std::optional<std::int32_t> RoundToInt32(double value) { return RoundTo<std::int32_t>(value); }

}  // namespace pitrel
