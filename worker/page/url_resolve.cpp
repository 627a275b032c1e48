#include "worker/page/url_resolve.h"

#include <optional>
#include <vector>

#include "worker/page/url_encoding.h"

namespace pitrel {
namespace {

struct ParsedUrl {
  std::string scheme;     // lower-case, without ':'
  std::string authority;  // user info, host and port, without "//"
  std::string path;       // starts with '/'
  std::string query;      // with '?', or empty
  std::string fragment;   // with '#', or empty
};

bool IsAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsSchemeChar(char c) {
  return IsAlpha(c) || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}
char Lower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }
bool IsSlash(char c) { return c == '/' || c == '\\'; }

bool IsSpecialScheme(std::string_view scheme) {
  return scheme == "http" || scheme == "https" || scheme == "ftp" || scheme == "file" ||
         scheme == "ws" || scheme == "wss";
}

std::string Cleaned(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= 0x20) text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= 0x20) text.remove_suffix(1);
  std::string out;
  out.reserve(text.size());
  for (char c : text)
    if (c != '\t' && c != '\n' && c != '\r') out.push_back(c);
  return out;
}

// The scheme of text (lower-case), or nothing when it does not start with one.
std::optional<std::string> SchemeOf(std::string_view text) {
  if (text.empty() || !IsAlpha(text[0])) return std::nullopt;
  std::size_t i = 1;
  while (i < text.size() && IsSchemeChar(text[i])) ++i;
  if (i >= text.size() || text[i] != ':') return std::nullopt;
  std::string scheme(text.substr(0, i));
  for (char& c : scheme) c = Lower(c);
  return scheme;
}

// Splits the rest of a special URL after "scheme:" (backslashes count as slashes).
std::optional<ParsedUrl> ParseSpecial(std::string scheme, std::string_view rest) {
  ParsedUrl url;
  url.scheme = std::move(scheme);
  std::size_t i = 0;
  if (url.scheme == "file") {
    if (rest.size() >= 2 && IsSlash(rest[0]) && IsSlash(rest[1])) i = 2;
  } else {
    while (i < rest.size() && IsSlash(rest[i])) ++i;
  }
  std::size_t end = i;
  while (end < rest.size() && !IsSlash(rest[end]) && rest[end] != '?' && rest[end] != '#') ++end;
  url.authority.assign(rest.substr(i, end - i));
  if (url.authority.empty() && url.scheme != "file") return std::nullopt;
  rest.remove_prefix(end);
  std::size_t hash = rest.find('#');
  if (hash != std::string_view::npos) {
    url.fragment.assign(rest.substr(hash));
    rest = rest.substr(0, hash);
  }
  std::size_t mark = rest.find('?');
  if (mark != std::string_view::npos) {
    url.query.assign(rest.substr(mark));
    rest = rest.substr(0, mark);
  }
  url.path.assign(rest);
  for (char& c : url.path)
    if (c == '\\') c = '/';
  if (url.path.empty()) url.path = "/";
  return url;
}

void NormalizeAuthority(ParsedUrl& url) {
  std::string& authority = url.authority;
  const std::size_t at = authority.rfind('@');
  const std::size_t host_start = at == std::string::npos ? 0 : at + 1;
  for (std::size_t i = host_start; i < authority.size(); ++i) authority[i] = Lower(authority[i]);
  const std::size_t colon = authority.rfind(':');
  if (colon == std::string::npos || colon < host_start || authority.find(']', colon) != std::string::npos)
    return;
  const std::string_view port = std::string_view(authority).substr(colon + 1);
  const bool is_default = port.empty() || (port == "80" && (url.scheme == "http" || url.scheme == "ws")) ||
                          (port == "443" && (url.scheme == "https" || url.scheme == "wss")) ||
                          (port == "21" && url.scheme == "ftp");
  if (is_default) authority.erase(colon);
}

bool IsSingleDot(std::string_view s) { return s == "." || s == "%2e" || s == "%2E"; }
bool IsDoubleDot(std::string_view s) {
  if (s.size() < 2 || s.size() > 6) return false;
  std::string lowered(s);
  for (char& c : lowered) c = Lower(c);
  return lowered == ".." || lowered == ".%2e" || lowered == "%2e." || lowered == "%2e%2e";
}

std::string RemoveDotSegments(std::string_view path) {
  std::vector<std::string_view> kept;
  std::size_t start = 1;  // path starts with '/'
  while (true) {
    const std::size_t slash = path.find('/', start);
    const bool last = slash == std::string_view::npos;
    const std::string_view segment = path.substr(start, last ? std::string_view::npos : slash - start);
    if (IsDoubleDot(segment)) {
      if (!kept.empty()) kept.pop_back();
      if (last) kept.emplace_back();
    } else if (IsSingleDot(segment)) {
      if (last) kept.emplace_back();
    } else {
      kept.push_back(segment);
    }
    if (last) break;
    start = slash + 1;
  }
  std::string out;
  out.reserve(path.size());
  for (std::string_view segment : kept) {
    out.push_back('/');
    out.append(segment);
  }
  if (out.empty()) out = "/";
  return out;
}

std::string Serialize(ParsedUrl url) {
  NormalizeAuthority(url);
  std::string out = url.scheme;
  out.append("://");
  out.append(url.authority);
  AppendPercentEncoded(out, RemoveDotSegments(url.path), UrlPart::kPath);
  AppendPercentEncoded(out, url.query, UrlPart::kQuery);
  AppendPercentEncoded(out, url.fragment, UrlPart::kFragment);
  return out;
}

std::string WithoutFragment(const ParsedUrl& base) {
  return base.scheme + "://" + base.authority + base.path + base.query;
}

// Characters that stand in a link as written: no blank, quote, angle
// bracket, backslash, backtick or brace, nothing beyond ASCII.
bool IsPlainUrlChar(char c) {
  if (c <= 0x20 || c >= 0x7F) return false;
  switch (c) {
    case '"': case '<': case '>': case '\\': case '`': case '{': case '}': return false;
    default: return true;
  }
}

// A path (from its leading '/' up to '?' or '#') that resolving and encoding
// leave as it is: plain characters, no '%' (which could spell a dot) and no
// "." or ".." segment.
bool IsPlainPath(std::string_view path) {
  if (path.empty() || path[0] != '/') return false;
  for (std::size_t i = 0; i < path.size(); ++i) {
    const char c = path[i];
    if (!IsPlainUrlChar(c) || c == '%') return false;
    if (c == '.' && path[i - 1] == '/') {
      const std::size_t dots = i + 1 < path.size() && path[i + 1] == '.' ? 2 : 1;
      if (i + dots == path.size() || path[i + dots] == '/') return false;
    }
  }
  return true;
}

// A path-from-the-root reference, with its query and fragment, that resolves
// to itself after the page's origin.
bool IsPlainRootReference(std::string_view reference) {
  if (reference.size() < 1 || reference[0] != '/' || (reference.size() > 1 && reference[1] == '/'))
    return false;
  const std::size_t path_end = reference.find_first_of("?#");
  for (char c : reference.substr(path_end == std::string_view::npos ? reference.size() : path_end))
    if (!IsPlainUrlChar(c)) return false;
  return IsPlainPath(reference.substr(0, path_end));
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsPlainHostChar(char c) { return (c >= 'a' && c <= 'z') || IsDigit(c) || c == '.' || c == '-'; }

// An "http://host[:port]/..." or "https://..." reference that resolves to
// itself: a lower-case host without user, a port other than the scheme's
// own, and a plain rest.
bool IsPlainAbsoluteReference(std::string_view reference) {
  std::string_view default_port;
  std::size_t host_start;
  if (reference.starts_with("http://")) host_start = 7, default_port = "80";
  else if (reference.starts_with("https://")) host_start = 8, default_port = "443";
  else return false;
  std::size_t i = host_start;
  while (i < reference.size() && IsPlainHostChar(reference[i])) ++i;
  if (i == host_start) return false;
  if (i < reference.size() && reference[i] == ':') {
    const std::size_t port_start = ++i;
    while (i < reference.size() && IsDigit(reference[i])) ++i;
    const std::string_view port = reference.substr(port_start, i - port_start);
    if (port.empty() || port == default_port) return false;
  }
  return IsPlainRootReference(reference.substr(i));
}

std::optional<ParsedUrl> ParseBase(std::string_view base_text) {
  const std::string base_clean = Cleaned(base_text);
  const auto base_scheme = SchemeOf(base_clean);
  if (!base_scheme || !IsSpecialScheme(*base_scheme)) return std::nullopt;
  return ParseSpecial(*base_scheme, std::string_view(base_clean).substr(base_scheme->size() + 1));
}

std::string ResolveAgainst(const std::optional<ParsedUrl>& base, std::string_view reference_text) {
  const std::string reference = Cleaned(reference_text);
  std::string_view rest = reference;
  if (const auto scheme = SchemeOf(reference)) {
    if (!IsSpecialScheme(*scheme)) return reference;
    rest.remove_prefix(scheme->size() + 1);
    // "http:page.html" on an http page is relative; anything else is absolute.
    if (!(base && *scheme == base->scheme && (rest.empty() || !IsSlash(rest[0])))) {
      const auto absolute = ParseSpecial(*scheme, rest);
      return absolute ? Serialize(*absolute) : reference;
    }
  }
  if (!base) return reference;

  std::string joined;
  if (rest.size() >= 2 && IsSlash(rest[0]) && IsSlash(rest[1])) {
    const auto absolute = ParseSpecial(base->scheme, rest);
    return absolute ? Serialize(*absolute) : reference;
  }
  if (rest.empty()) joined = WithoutFragment(*base);
  else if (rest[0] == '#') joined = WithoutFragment(*base) + std::string(rest);
  else if (rest[0] == '?') joined = base->scheme + "://" + base->authority + base->path + std::string(rest);
  else if (IsSlash(rest[0])) joined = base->scheme + "://" + base->authority + std::string(rest);
  else {
    const std::string directory = base->path.substr(0, base->path.rfind('/') + 1);
    joined = base->scheme + "://" + base->authority + directory + std::string(rest);
  }
  const auto resolved = ParseSpecial(base->scheme, std::string_view(joined).substr(base->scheme.size() + 1));
  return resolved ? Serialize(*resolved) : reference;
}

}  // namespace

std::string ResolveUrl(std::string_view base_text, std::string_view reference_text) {
  return ResolveAgainst(ParseBase(base_text), reference_text);
}

struct UrlResolver::Base {
  std::optional<ParsedUrl> url;
};

UrlResolver::UrlResolver(std::string_view base) : base_(std::make_unique<const Base>(Base{ParseBase(base)})) {
  const std::optional<ParsedUrl>& url = base_->url;
  if (url && (url->scheme == "http" || url->scheme == "https")) {
    ParsedUrl origin = *url;
    NormalizeAuthority(origin);
    origin_ = origin.scheme + "://" + origin.authority;
  }
}

UrlResolver::~UrlResolver() = default;

std::string UrlResolver::Resolve(std::string_view reference) const {
  if (IsPlainAbsoluteReference(reference)) return std::string(reference);
  if (origin_ && IsPlainRootReference(reference)) return *origin_ + std::string(reference);
  return ResolveAgainst(base_->url, reference);
}

}  // namespace pitrel
