// Character sets: finding a page's charset and turning its bytes into UTF-8,
// and writing UTF-8 text back as GB18030 bytes (the result files' encoding).
// Plain functions, no state; safe from any thread.
#pragma once

#include <string>
#include <string_view>

namespace pitrel {

// The charset a page's bytes are in: BOM first, then the Content-Type header's
// charset, then a <meta> charset or http-equiv in the first 1024 bytes, else
// GB18030. Every GB2312/GBK label comes back as "GB18030". Upper-case name.
std::string DetectCharset(std::string_view bytes, std::string_view content_type);

// Decodes bytes in the given charset to UTF-8 (a leading BOM is dropped).
// Invalid bytes become U+FFFD; an unknown charset is read as GB18030.
std::string DecodeToUtf8(std::string_view bytes, std::string_view charset);

// DetectCharset + DecodeToUtf8.
std::string DecodePage(std::string_view bytes, std::string_view content_type);

// UTF-8 to GB18030 bytes. Invalid UTF-8 sequences are written as '?'.
std::string EncodeGb18030(std::string_view utf8);

}  // namespace pitrel
