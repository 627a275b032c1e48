#include "worker/page/parse_budget.h"

#include <algorithm>

namespace pitrel {
namespace {

// Measured on the parser's tree: an element, attribute, comment or text
// node takes 200 to 240 bytes, and a long text about 1.3 bytes a byte. An
// attribute's value is copied five times or more on its way to the mark-up
// written out (decoded, parsed, resolved as a link, escaped, written).
constexpr std::size_t kBytesPerNode = 256;
constexpr std::size_t kBytesPerCharacter = 2;
constexpr std::size_t kBytesPerValueCharacter = 8;
constexpr std::size_t npos = std::string_view::npos;

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char Lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }
bool IsUtf8Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

bool IsVoidName(std::string_view name) {
  static constexpr std::string_view kVoid[] = {"area",  "base",   "br",    "col",  "embed",
                                               "hr",    "img",    "input", "link", "meta",
                                               "param", "source", "track", "wbr"};
  return std::any_of(std::begin(kVoid), std::end(kVoid), [&](std::string_view v) {
    return name.size() == v.size() && std::equal(v.begin(), v.end(), name.begin(),
                                                 [](char a, char b) { return a == Lower(b); });
  });
}

// A tag as the parser's tokenizer reads it: its name, how many attributes
// it has and where it ends (quoted values may hold '>').
struct TagExtent {
  std::string_view name;
  std::size_t attributes = 0;
  std::size_t value_bytes = 0;  // of all its attributes' values
  std::size_t end = npos;       // just past its '>', npos when the page ends first
};

class BudgetScan {
 public:
  explicit BudgetScan(std::string_view text) : text_(text) {}

  std::size_t CutPoint() {
    for (std::size_t at = 0; at < text_.size();) {
      const std::size_t markup = NextMarkup(at);
      if (markup > at && !SpendOnText(at, markup)) return TextCut(at);
      if (markup == npos) return npos;
      const std::size_t after = Markup(markup);
      if (after == markup) return markup;
      at = after;
    }
    return npos;
  }

 private:
  // The next '<' that opens mark-up; a '<' before anything else is text.
  std::size_t NextMarkup(std::size_t from) const {
    for (std::size_t lt = text_.find('<', from); lt != npos; lt = text_.find('<', lt + 1)) {
      const char next = lt + 1 < text_.size() ? text_[lt + 1] : '\0';
      if (IsLetter(next) || next == '/' || next == '!' || next == '?') return lt;
    }
    return npos;
  }

  bool Spend(std::size_t nodes, std::size_t bytes, std::size_t value_bytes = 0) {
    spent_ +=
        nodes * kBytesPerNode + bytes * kBytesPerCharacter + value_bytes * kBytesPerValueCharacter;
    return spent_ <= kParseBudgetBytes;
  }

  bool SpendOnText(std::size_t from, std::size_t to) {
    text_left_ = kParseBudgetBytes > spent_ ? kParseBudgetBytes - spent_ : 0;
    return Spend(1, std::min(to, text_.size()) - from);
  }

  // Where a run of text starting at from uses up what was left, at the start
  // of a character.
  std::size_t TextCut(std::size_t from) const {
    std::size_t cut =
        from + (text_left_ > kBytesPerNode ? (text_left_ - kBytesPerNode) / kBytesPerCharacter : 0);
    while (cut > from && IsUtf8Continuation(text_[cut])) --cut;
    return cut;
  }

  // Charges the mark-up at lt; where it ends, or lt when it is to be cut.
  std::size_t Markup(std::size_t lt) {
    if (text_.substr(lt, 4) == "<!--") return Comment(lt, text_.find("-->", lt + 4), 3);
    if (text_[lt + 1] == '!' || text_[lt + 1] == '?') return Comment(lt, text_.find('>', lt), 1);
    if (text_[lt + 1] == '/') return EndTag(lt);
    return StartTag(lt);
  }

  std::size_t Comment(std::size_t lt, std::size_t close, std::size_t closeLength) {
    const std::size_t end = close == npos ? text_.size() : close + closeLength;
    return Spend(1, end - lt) ? end : lt;
  }

  std::size_t EndTag(std::size_t lt) {
    if (lt + 2 >= text_.size() || !IsLetter(text_[lt + 2]))
      return Comment(lt, text_.find('>', lt), 1);
    const TagExtent tag = ReadTag(lt + 2);
    open_ = std::max(open_ - 1, 0);
    const std::size_t end = tag.end == npos ? text_.size() : tag.end;
    return Spend(0, end - lt) ? end : lt;
  }

  std::size_t StartTag(std::size_t lt) {
    const TagExtent tag = ReadTag(lt + 1);
    if (!IsVoidName(tag.name) && ++open_ > kMaxOpenElements) return lt;
    const std::size_t end = tag.end == npos ? text_.size() : tag.end;
    return Spend(1 + tag.attributes, end - lt, tag.value_bytes) ? end : lt;
  }

  TagExtent ReadTag(std::size_t at) const {
    TagExtent tag;
    const std::size_t name_end = SkipUntil(at, "\t\n\f\r />");
    tag.name = text_.substr(at, name_end - at);
    for (at = name_end; at < text_.size();) {
      at = SkipWhile(at, "\t\n\f\r /");
      if (at >= text_.size()) break;
      if (text_[at] == '>') {
        tag.end = at + 1;
        return tag;
      }
      ++tag.attributes;
      at = SkipAttribute(at, tag.value_bytes);
    }
    return tag;
  }

  // Past one attribute's name and value; adds the value's length to value_bytes.
  std::size_t SkipAttribute(std::size_t at, std::size_t& value_bytes) const {
    at = SkipUntil(at + 1, "\t\n\f\r />=");
    const std::size_t equals = SkipWhile(at, "\t\n\f\r ");
    if (equals >= text_.size() || text_[equals] != '=') return at;
    const std::size_t value = SkipWhile(equals + 1, "\t\n\f\r ");
    std::size_t end = SkipUntil(value, "\t\n\f\r >");
    if (value < text_.size() && (text_[value] == '"' || text_[value] == '\'')) {
      const std::size_t close = text_.find(text_[value], value + 1);
      end = close == npos ? text_.size() : close + 1;
    }
    value_bytes += end - value;
    return end;
  }

  std::size_t SkipUntil(std::size_t at, std::string_view stops) const {
    const std::size_t stop = text_.find_first_of(stops, at);
    return stop == npos ? text_.size() : stop;
  }
  std::size_t SkipWhile(std::size_t at, std::string_view skipped) const {
    const std::size_t stop = text_.find_first_not_of(skipped, at);
    return stop == npos ? text_.size() : stop;
  }

  std::string_view text_;
  std::size_t spent_ = 0;
  std::size_t text_left_ = 0;
  int open_ = 0;
};

}  // namespace

std::size_t ParseCutPoint(std::string_view text) { return BudgetScan(text).CutPoint(); }

}  // namespace pitrel
