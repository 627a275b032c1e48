#include "worker/page/character_references.h"

#include "worker/page/utf8.h"

#include <cctype>

namespace pitrel {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAlnum(char c) { return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char Lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

struct NamedReference {
  std::string_view name;
  unsigned code;
};

// The references generated pages use, written with their semicolon.
constexpr NamedReference kNamedReferences[] = {
    {"amp", 0x26},      {"lt", 0x3C},       {"gt", 0x3E},      {"quot", 0x22},   {"apos", 0x27},
    {"AMP", 0x26},      {"LT", 0x3C},       {"GT", 0x3E},      {"QUOT", 0x22},   {"nbsp", 0xA0},
    {"copy", 0xA9},     {"COPY", 0xA9},     {"reg", 0xAE},     {"REG", 0xAE},    {"trade", 0x2122},
    {"middot", 0xB7},   {"times", 0xD7},    {"divide", 0xF7},  {"laquo", 0xAB},  {"raquo", 0xBB},
    {"ldquo", 0x201C},  {"rdquo", 0x201D},  {"lsquo", 0x2018}, {"rsquo", 0x2019}, {"hellip", 0x2026},
    {"mdash", 0x2014},  {"ndash", 0x2013},  {"bull", 0x2022},  {"yen", 0xA5},    {"deg", 0xB0},
    {"plusmn", 0xB1},   {"sect", 0xA7},     {"para", 0xB6},    {"emsp", 0x2003}, {"ensp", 0x2002},
    {"thinsp", 0x2009},
};

// Names the parser also recognises without a semicolon ("&copy2009" is
// "©2009" to it): a reference starting with one of them is left to it.
constexpr std::string_view kBareReferences[] = {
    "AElig", "AMP", "Aacute", "Acirc", "Agrave", "Aring", "Atilde", "Auml", "COPY", "Ccedil", "ETH",
    "Eacute", "Ecirc", "Egrave", "Euml", "GT", "Iacute", "Icirc", "Igrave", "Iuml", "LT", "Ntilde",
    "Oacute", "Ocirc", "Ograve", "Oslash", "Otilde", "Ouml", "QUOT", "REG", "THORN", "Uacute", "Ucirc",
    "Ugrave", "Uuml", "Yacute", "aacute", "acirc", "acute", "aelig", "agrave", "amp", "aring", "atilde",
    "auml", "brvbar", "ccedil", "cedil", "cent", "copy", "curren", "deg", "divide", "eacute", "ecirc",
    "egrave", "eth", "euml", "frac12", "frac14", "frac34", "gt", "iacute", "icirc", "iexcl", "igrave",
    "iquest", "iuml", "laquo", "lt", "macr", "micro", "middot", "nbsp", "not", "ntilde", "oacute",
    "ocirc", "ograve", "ordf", "ordm", "oslash", "otilde", "ouml", "para", "plusmn", "pound", "quot",
    "raquo", "reg", "sect", "shy", "sup1", "sup2", "sup3", "szlig", "thorn", "times", "uacute", "ucirc",
    "ugrave", "uml", "uuml", "yacute", "yen", "yuml"};

}  // namespace

std::optional<std::size_t> DecodePlainReference(std::string_view s, std::size_t at, std::string& out) {
  std::size_t i = at + 1;
  if (i < s.size() && s[i] == '#') {
    const bool hex = i + 1 < s.size() && (s[i + 1] == 'x' || s[i + 1] == 'X');
    i += hex ? 2 : 1;
    const std::size_t digits = i;
    unsigned code = 0;
    while (i < s.size() && i - digits < 7 && (hex ? std::isxdigit(static_cast<unsigned char>(s[i])) : IsDigit(s[i]))) {
      const char c = Lower(s[i++]);
      code = code * (hex ? 16 : 10) + unsigned(IsDigit(c) ? c - '0' : c - 'a' + 10);
    }
    if (i == digits || i >= s.size() || s[i] != ';') return std::nullopt;
    // The parser substitutes or remaps these; plain pages do not write them.
    const bool odd = (code < 0x20 && code != '\t' && code != '\n' && code != '\f') || (code >= 0x7F && code <= 0x9F) ||
                     (code >= 0xD800 && code <= 0xDFFF) || (code >= 0xFDD0 && code <= 0xFDEF) ||
                     (code & 0xFFFE) == 0xFFFE || code > 0x10FFFF;
    if (odd) return std::nullopt;
    AppendUtf8(code, out);
    return i + 1;
  }
  std::size_t end = i;
  while (end < s.size() && IsAlnum(s[end])) ++end;
  if (end == i) {
    out.push_back('&');
    return i;
  }
  const std::string_view name = s.substr(i, end - i);
  if (end < s.size() && s[end] == ';') {
    for (const NamedReference& known : kNamedReferences) {
      if (known.name == name) {
        AppendUtf8(known.code, out);
        return end + 1;
      }
    }
    return std::nullopt;  // perhaps a reference of the full table
  }
  for (std::string_view bare : kBareReferences)
    if (name.starts_with(bare)) return std::nullopt;
  out.push_back('&');
  return i;
}

}  // namespace pitrel
