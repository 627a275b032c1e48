#include "worker/page/quick_parse.h"

#include "worker/page/character_references.h"
#include "worker/page/html_document.h"
#include "worker/page/utf8.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pitrel {
namespace {

// Thrown to leave the fast path; the full parser takes the page from the start.
struct NotPlain {};
[[noreturn]] void GiveUp() { throw NotPlain{}; }

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }
bool IsAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAlnum(char c) { return IsAlpha(c) || IsDigit(c); }
char Lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }
bool IsNameChar(char c) { return IsAlnum(c) || c == ':' || c == '-' || c == '_'; }
bool IsAllSpace(std::string_view s) { return std::all_of(s.begin(), s.end(), IsSpace); }

bool SameLetters(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

bool TagIn(GumboTag tag, std::initializer_list<GumboTag> tags) {
  return std::find(tags.begin(), tags.end(), tag) != tags.end();
}

// Appends raw page text as the parser's input stream would deliver it: line
// ends become LF. Characters the parser would replace or drop end the fast path.
void AppendChecked(std::string& out, std::string_view raw) {
  // A long text is taken in one piece: grown by doubling, it would briefly
  // take three times its size.
  out.reserve(out.size() + raw.size());
  for (std::size_t i = 0; i < raw.size();) {
    const char c = raw[i];
    if (c == '\r') {
      out.push_back('\n');
      i += (i + 1 < raw.size() && raw[i + 1] == '\n') ? 2 : 1;
    } else if (static_cast<unsigned char>(c) >= 0x80) {
      const std::size_t length = Utf8SequenceLength(raw, i);
      if (length == 0) GiveUp();
      out.append(raw.substr(i, length));
      i += length;
    } else if ((c < 0x20 && !IsSpace(c)) || c == 0x7F) {
      GiveUp();
    } else {
      out.push_back(c);
      ++i;
    }
  }
}

std::size_t ReadReference(std::string_view s, std::size_t at, std::string& out) {
  const std::optional<std::size_t> next = DecodePlainReference(s, at, out);
  if (!next) GiveUp();
  return *next;
}

std::string DecodeAttributeValue(std::string_view raw) {
  std::string checked;
  AppendChecked(checked, raw);
  if (checked.find('&') == std::string::npos) return checked;
  std::string value;
  for (std::size_t i = 0; i < checked.size();) {
    if (checked[i] == '&') {
      i = ReadReference(checked, i, value);
    } else {
      value.push_back(checked[i++]);
    }
  }
  return value;
}

struct Attribute {
  std::string name;
  std::string value;
  std::string_view original_name;
  std::string_view original_value;
};

struct Tag {
  GumboTag tag = GUMBO_TAG_UNKNOWN;
  std::string name;  // lower case
  std::string_view original;
  std::vector<Attribute> attributes;
};

class QuickParser {
 public:
  // Builds the tree in arena, or, with a visitor, tells it the walk over the
  // body instead (and builds nothing that outlives the call).
  QuickParser(std::string_view text, ParseArena* arena, BodyVisitor* visitor)
      : in_(text), arena_(arena), visitor_(visitor) {
    stack_.reserve(64);
  }

  const GumboNode* Run() {
    Prologue();
    while (at_ < in_.size()) {
      if (in_[at_] == '<') {
        Markup();
      } else if (in_[at_] == '&') {
        if (after_body_) GiveUp();
        at_ = ReadReference(in_, at_, run_);
      } else {
        Characters();
      }
    }
    FlushText();
    // Elements the page leaves open end with it; a walk tells their Leave.
    if (visitor_) {
      while (stack_.size() > 1) PopUnflushed();
    }
    return body_;
  }

 private:
  // ---- the page's input ----
  char Peek(std::size_t ahead) const { return at_ + ahead < in_.size() ? in_[at_ + ahead] : '\0'; }
  bool LooksAt(std::string_view literal) const { return SameLetters(in_.substr(at_, literal.size()), literal); }
  void SkipSpaces() {
    while (at_ < in_.size() && IsSpace(in_[at_])) ++at_;
  }

  void Characters() {
    std::size_t end = at_;
    while (end < in_.size() && in_[end] != '<' && in_[end] != '&') ++end;
    const std::string_view raw = in_.substr(at_, end - at_);
    if (after_body_ && !IsAllSpace(raw)) GiveUp();
    AppendChecked(run_, raw);
    at_ = end;
  }

  // Reads "<name attributes>" at at_.
  const Tag& ReadStartTag() {
    const std::size_t start = at_;
    std::size_t p = at_ + 1;
    tag_.name.clear();
    tag_.attributes.clear();
    while (p < in_.size() && !IsSpace(in_[p]) && in_[p] != '/' && in_[p] != '>') {
      if (!IsNameChar(in_[p])) GiveUp();
      tag_.name.push_back(Lower(in_[p++]));
    }
    tag_.tag = gumbo_tagn_enum(tag_.name.data(), unsigned(tag_.name.size()));
    for (;;) {
      while (p < in_.size() && IsSpace(in_[p])) ++p;
      if (p >= in_.size()) GiveUp();
      if (in_[p] == '>') {
        ++p;
        break;
      }
      if (in_[p] == '/') {
        if (p + 1 < in_.size() && in_[p + 1] == '>') {
          p += 2;
          break;
        }
        GiveUp();
      }
      p = ReadAttribute(p);
    }
    tag_.original = in_.substr(start, p - start);
    at_ = p;
    return tag_;
  }

  std::size_t ReadAttribute(std::size_t p) {
    Attribute attribute;
    const std::size_t name_start = p;
    while (p < in_.size() && !IsSpace(in_[p]) && in_[p] != '/' && in_[p] != '>' && in_[p] != '=') {
      if (!IsNameChar(in_[p]) && in_[p] != '.') GiveUp();
      attribute.name.push_back(Lower(in_[p++]));
    }
    if (attribute.name.empty()) GiveUp();
    attribute.original_name = in_.substr(name_start, p - name_start);
    while (p < in_.size() && IsSpace(in_[p])) ++p;
    if (p < in_.size() && in_[p] == '=') {
      ++p;
      while (p < in_.size() && IsSpace(in_[p])) ++p;
      if (p >= in_.size() || in_[p] == '>') GiveUp();
      std::size_t value_start = p;
      std::size_t value_end;
      if (in_[p] == '"' || in_[p] == '\'') {
        value_end = in_.find(in_[p], p + 1);
        if (value_end == std::string_view::npos) GiveUp();
        ++value_start;
        p = value_end + 1;
      } else {
        while (p < in_.size() && !IsSpace(in_[p]) && in_[p] != '>') {
          if (std::strchr("\"'<=`", in_[p])) GiveUp();
          ++p;
        }
        value_end = p;
      }
      attribute.original_value = in_.substr(value_start, value_end - value_start);
      attribute.value = DecodeAttributeValue(attribute.original_value);
    }
    // The parser keeps the first of a repeated attribute; plain pages repeat
    // none, and the check stays cheap only for a plain number of them.
    if (tag_.attributes.size() >= 64) GiveUp();
    for (const Attribute& earlier : tag_.attributes)
      if (earlier.name == attribute.name) GiveUp();
    tag_.attributes.push_back(std::move(attribute));
    return p;
  }

  // Reads "</name>" at at_.
  const Tag& ReadEndTag() {
    std::size_t p = at_ + 2;
    tag_.name.clear();
    tag_.attributes.clear();
    while (p < in_.size() && !IsSpace(in_[p]) && in_[p] != '/' && in_[p] != '>') {
      if (!IsNameChar(in_[p])) GiveUp();
      tag_.name.push_back(Lower(in_[p++]));
    }
    while (p < in_.size() && IsSpace(in_[p])) ++p;
    if (p >= in_.size() || in_[p] != '>') GiveUp();
    tag_.tag = gumbo_tagn_enum(tag_.name.data(), unsigned(tag_.name.size()));
    at_ = p + 1;
    return tag_;
  }

  // Where "<!--" at at_ ends: its text and the index after "-->".
  std::string ReadComment() {
    const std::size_t open = at_ + 4;
    if (Peek(4) == '>' || (Peek(4) == '-' && Peek(5) == '>')) GiveUp();
    const std::size_t close = in_.find("-->", open);
    if (close == std::string_view::npos) GiveUp();
    const std::string_view text = in_.substr(open, close - open);
    if (text.find("--!") != std::string_view::npos) GiveUp();
    std::string checked;
    AppendChecked(checked, text);
    at_ = close + 3;
    return checked;
  }

  // The text of a raw-text element whose start tag was just read, up to its
  // end tag, which is consumed too.
  std::string_view ReadRawText(std::string_view name) {
    std::size_t end = at_;
    for (;;) {
      end = in_.find("</", end);
      if (end == std::string_view::npos) GiveUp();
      const std::size_t after = end + 2 + name.size();
      if (SameLetters(in_.substr(end + 2, name.size()), name) && after < in_.size() &&
          (IsSpace(in_[after]) || in_[after] == '/' || in_[after] == '>'))
        break;
      end += 2;
    }
    const std::string_view text = in_.substr(at_, end - at_);
    // "<!--" followed by "<script" switches a script into states where its
    // end tag does not end it.
    if (name == "script") {
      const std::size_t comment = text.find("<!--");
      if (comment != std::string_view::npos) {
        for (std::size_t s = text.find('<', comment + 4); s != std::string_view::npos; s = text.find('<', s + 1))
          if (SameLetters(text.substr(s, 7), "<script")) GiveUp();
      }
    }
    at_ = end;
    const Tag& close = ReadEndTag();
    if (close.name != name) GiveUp();
    return text;
  }

  // ---- before the body ----
  void SkipSpacesAndComments() {
    for (;;) {
      SkipSpaces();
      if (!LooksAt("<!--")) return;
      ReadComment();
    }
  }

  void Prologue() {
    SkipSpacesAndComments();
    if (LooksAt("<!doctype")) {
      const std::size_t close = in_.find('>', at_);
      if (close == std::string_view::npos) GiveUp();
      at_ = close + 1;
      SkipSpacesAndComments();
    }
    if (!LooksAt("<html") || ReadStartTag().tag != GUMBO_TAG_HTML) GiveUp();
    SkipSpacesAndComments();
    if (!LooksAt("<head") || ReadStartTag().tag != GUMBO_TAG_HEAD) GiveUp();
    HeadContents();
    SkipSpacesAndComments();
    if (!LooksAt("<body") || ReadStartTag().tag != GUMBO_TAG_BODY) GiveUp();
    body_ = NewElement(tag_, false);
    if (visitor_) body_->v.element.attributes = {};  // the root is not entered
    stack_.push_back(body_);
  }

  // What the head holds is not kept; it only has to be passed over the way
  // the parser would pass over it. A <BASE> moves every link of the page,
  // so a page with one is left to the full parser, whose tree keeps it.
  void HeadContents() {
    for (;;) {
      SkipSpacesAndComments();
      if (Peek(0) != '<') GiveUp();
      if (Peek(1) == '/') {
        if (ReadEndTag().tag != GUMBO_TAG_HEAD) GiveUp();
        return;
      }
      if (LooksAt("<body")) return;  // the head ends where the body starts
      if (!IsAlpha(Peek(1))) GiveUp();
      const Tag& tag = ReadStartTag();
      switch (tag.tag) {
        case GUMBO_TAG_META: case GUMBO_TAG_LINK: case GUMBO_TAG_BASEFONT: case GUMBO_TAG_BGSOUND:
          break;
        case GUMBO_TAG_TITLE: case GUMBO_TAG_STYLE: case GUMBO_TAG_SCRIPT: {
          const std::string name = tag.name;
          std::string unused;
          AppendChecked(unused, ReadRawText(name));
          break;
        }
        default:
          GiveUp();
      }
    }
  }

  // ---- the body ----
  void Markup() {
    const char next = Peek(1);
    if (IsAlpha(next)) {
      if (after_body_) GiveUp();
      StartTag(ReadStartTag());
    } else if (next == '/') {
      if (!IsAlpha(Peek(2))) GiveUp();
      EndTag(ReadEndTag());
    } else if (next == '!') {
      if (!LooksAt("<!--") || after_body_) GiveUp();
      FlushText();
      std::string text = ReadComment();
      Append(NewText(GUMBO_NODE_COMMENT, text));
    } else if (next == '?') {
      GiveUp();
    } else {
      if (after_body_) GiveUp();
      run_.push_back('<');  // opens nothing: text
      ++at_;
    }
  }

  GumboTag CurrentTag() const { return stack_.back()->v.element.tag; }

  void StartTag(const Tag& tag) {
    if (select_depth_ > 0) return StartTagInSelect(tag);
    switch (CurrentTag()) {
      case GUMBO_TAG_TABLE:
        if (tag.tag == GUMBO_TAG_TR) {
          Push(ImpliedTableBody());
          return Push(tag);
        }
        return StartTagInTable(tag, {GUMBO_TAG_TBODY, GUMBO_TAG_THEAD, GUMBO_TAG_TFOOT});
      case GUMBO_TAG_TBODY: case GUMBO_TAG_THEAD: case GUMBO_TAG_TFOOT:
        return StartTagInTable(tag, {GUMBO_TAG_TR});
      case GUMBO_TAG_TR:
        return StartTagInTable(tag, {GUMBO_TAG_TD, GUMBO_TAG_TH});
      default:
        return StartTagInBody(tag);
    }
  }

  // Inside a table's structure only its own parts, scripts and styles stand.
  void StartTagInTable(const Tag& tag, std::initializer_list<GumboTag> parts) {
    if (TagIn(tag.tag, parts)) return Push(tag);
    if (tag.tag == GUMBO_TAG_SCRIPT || tag.tag == GUMBO_TAG_STYLE) return RawTextElement(tag);
    GiveUp();
  }

  void StartTagInSelect(const Tag& tag) {
    if (CurrentTag() == GUMBO_TAG_OPTION) GiveUp();  // an option left open
    if (tag.tag == GUMBO_TAG_OPTION) return Push(tag);
    if (tag.tag == GUMBO_TAG_OPTGROUP && CurrentTag() != GUMBO_TAG_OPTGROUP) return Push(tag);
    GiveUp();
  }

  void StartTagInBody(const Tag& tag) {
    switch (tag.tag) {
      case GUMBO_TAG_ADDRESS: case GUMBO_TAG_ARTICLE: case GUMBO_TAG_ASIDE: case GUMBO_TAG_BLOCKQUOTE:
      case GUMBO_TAG_CENTER: case GUMBO_TAG_DETAILS: case GUMBO_TAG_DIR: case GUMBO_TAG_DIV:
      case GUMBO_TAG_DL: case GUMBO_TAG_FIELDSET: case GUMBO_TAG_FIGCAPTION: case GUMBO_TAG_FIGURE:
      case GUMBO_TAG_FOOTER: case GUMBO_TAG_HEADER: case GUMBO_TAG_HGROUP: case GUMBO_TAG_MAIN:
      case GUMBO_TAG_MENU: case GUMBO_TAG_NAV: case GUMBO_TAG_OL: case GUMBO_TAG_P:
      case GUMBO_TAG_SECTION: case GUMBO_TAG_SUMMARY: case GUMBO_TAG_UL: case GUMBO_TAG_TABLE:
        NoOpenParagraph();
        return Push(tag);
      case GUMBO_TAG_H1: case GUMBO_TAG_H2: case GUMBO_TAG_H3: case GUMBO_TAG_H4: case GUMBO_TAG_H5:
      case GUMBO_TAG_H6:
        NoOpenParagraph();
        if (TagIn(CurrentTag(), {GUMBO_TAG_H1, GUMBO_TAG_H2, GUMBO_TAG_H3, GUMBO_TAG_H4, GUMBO_TAG_H5,
                                 GUMBO_TAG_H6}))
          GiveUp();
        return Push(tag);
      case GUMBO_TAG_PRE: case GUMBO_TAG_LISTING:
        NoOpenParagraph();
        Push(tag);
        // A line break right after the start tag is not content.
        if (Peek(0) == '\n') ++at_;
        else if (Peek(0) == '\r') at_ += Peek(1) == '\n' ? 2 : 1;
        return;
      case GUMBO_TAG_FORM:
        NoOpenParagraph();
        if (form_open_) GiveUp();
        form_open_ = true;
        return Push(tag);
      case GUMBO_TAG_LI:
        NoOpenParagraph();
        NoOpenListItem({GUMBO_TAG_LI});
        return Push(tag);
      case GUMBO_TAG_DD: case GUMBO_TAG_DT:
        NoOpenParagraph();
        NoOpenListItem({GUMBO_TAG_DD, GUMBO_TAG_DT});
        return Push(tag);
      case GUMBO_TAG_HR:
        NoOpenParagraph();
        return Void(tag);
      case GUMBO_TAG_A:
        NoOpenLink();
        return Push(tag);
      case GUMBO_TAG_B: case GUMBO_TAG_BIG: case GUMBO_TAG_CODE: case GUMBO_TAG_EM: case GUMBO_TAG_FONT:
      case GUMBO_TAG_I: case GUMBO_TAG_S: case GUMBO_TAG_SMALL: case GUMBO_TAG_STRIKE:
      case GUMBO_TAG_STRONG: case GUMBO_TAG_TT: case GUMBO_TAG_U:
        FewOpenAlike(tag.tag);
        return Push(tag);
      case GUMBO_TAG_NOBR: case GUMBO_TAG_BUTTON:
        if (InScope(tag.tag, false)) GiveUp();
        return Push(tag);
      case GUMBO_TAG_APPLET: case GUMBO_TAG_MARQUEE: case GUMBO_TAG_OBJECT:
      case GUMBO_TAG_SPAN: case GUMBO_TAG_LABEL: case GUMBO_TAG_ABBR: case GUMBO_TAG_ACRONYM:
      case GUMBO_TAG_BDO: case GUMBO_TAG_CITE: case GUMBO_TAG_DFN: case GUMBO_TAG_KBD: case GUMBO_TAG_Q:
      case GUMBO_TAG_SAMP: case GUMBO_TAG_SUB: case GUMBO_TAG_SUP: case GUMBO_TAG_VAR: case GUMBO_TAG_INS:
      case GUMBO_TAG_DEL: case GUMBO_TAG_MAP: case GUMBO_TAG_UNKNOWN:
        return Push(tag);
      case GUMBO_TAG_AREA: case GUMBO_TAG_BR: case GUMBO_TAG_EMBED: case GUMBO_TAG_IMG: case GUMBO_TAG_WBR:
      case GUMBO_TAG_INPUT: case GUMBO_TAG_PARAM: case GUMBO_TAG_SOURCE: case GUMBO_TAG_TRACK:
      case GUMBO_TAG_META: case GUMBO_TAG_LINK: case GUMBO_TAG_BASE: case GUMBO_TAG_BASEFONT:
      case GUMBO_TAG_BGSOUND:
        return Void(tag);
      case GUMBO_TAG_SELECT:
        ++select_depth_;
        return Push(tag);
      case GUMBO_TAG_OPTION: case GUMBO_TAG_OPTGROUP:
        if (CurrentTag() == GUMBO_TAG_OPTION) GiveUp();
        return Push(tag);
      case GUMBO_TAG_SCRIPT: case GUMBO_TAG_STYLE: case GUMBO_TAG_IFRAME:
        return RawTextElement(tag);
      default:
        GiveUp();  // elements with rules of their own
    }
  }

  void EndTag(const Tag& tag) {
    if (tag.tag == GUMBO_TAG_BODY || tag.tag == GUMBO_TAG_HTML) {
      // The body stays open: white space after it still lands in it.
      if (stack_.size() != 1 || (after_body_ && tag.tag == GUMBO_TAG_BODY) || after_html_) GiveUp();
      after_body_ = true;
      after_html_ = tag.tag == GUMBO_TAG_HTML;
      return;
    }
    if (after_body_) GiveUp();
    if (tag.tag == GUMBO_TAG_TABLE &&
        TagIn(CurrentTag(), {GUMBO_TAG_TBODY, GUMBO_TAG_THEAD, GUMBO_TAG_TFOOT}))
      Pop();  // a table's end closes its body section
    const GumboNode& current = *stack_.back();
    if (current.v.element.tag != tag.tag || stack_.size() == 1) GiveUp();
    if (tag.tag == GUMBO_TAG_UNKNOWN && !SameLetters(UnknownName(current), tag.name)) GiveUp();
    if (tag.tag == GUMBO_TAG_SELECT) --select_depth_;
    if (tag.tag == GUMBO_TAG_FORM) {
      // The full parser takes a form off the open elements without first
      // placing the text before its end tag, which so lands after the form.
      form_open_ = false;
      PopUnflushed();
      return;
    }
    Pop();
  }

  static std::string_view UnknownName(const GumboNode& element) {
    std::string_view original(element.v.element.original_tag.data, element.v.element.original_tag.length);
    original.remove_prefix(1);
    std::size_t end = 0;
    while (end < original.size() && IsNameChar(original[end])) ++end;
    return original.substr(0, end);
  }

  // ---- the open elements ----
  static bool IsScopeEdge(GumboTag tag) {
    return TagIn(tag, {GUMBO_TAG_APPLET, GUMBO_TAG_CAPTION, GUMBO_TAG_HTML, GUMBO_TAG_TABLE, GUMBO_TAG_TD,
                       GUMBO_TAG_TH, GUMBO_TAG_MARQUEE, GUMBO_TAG_OBJECT, GUMBO_TAG_TEMPLATE});
  }

  bool InScope(GumboTag target, bool button_scope) const {
    if (open_[target] == 0) return false;
    for (auto open = stack_.rbegin(); open != stack_.rend(); ++open) {
      const GumboTag tag = (*open)->v.element.tag;
      if (tag == target) return true;
      if (IsScopeEdge(tag) || (button_scope && tag == GUMBO_TAG_BUTTON)) return false;
    }
    return false;
  }

  // A block start would close an open paragraph: the writer left out a </p>.
  void NoOpenParagraph() const {
    if (InScope(GUMBO_TAG_P, true)) GiveUp();
  }

  // Elements below which a new list item does not look for an open one.
  static bool StopsItemSearch(GumboTag tag) {
    return !TagIn(tag, {GUMBO_TAG_A, GUMBO_TAG_B, GUMBO_TAG_BIG, GUMBO_TAG_CODE, GUMBO_TAG_EM,
                        GUMBO_TAG_FONT, GUMBO_TAG_I, GUMBO_TAG_S, GUMBO_TAG_SMALL, GUMBO_TAG_STRIKE,
                        GUMBO_TAG_STRONG, GUMBO_TAG_TT, GUMBO_TAG_U, GUMBO_TAG_NOBR, GUMBO_TAG_SPAN,
                        GUMBO_TAG_LABEL, GUMBO_TAG_ABBR, GUMBO_TAG_ACRONYM, GUMBO_TAG_BDO, GUMBO_TAG_CITE,
                        GUMBO_TAG_DFN, GUMBO_TAG_KBD, GUMBO_TAG_Q, GUMBO_TAG_SAMP, GUMBO_TAG_SUB,
                        GUMBO_TAG_SUP, GUMBO_TAG_VAR, GUMBO_TAG_INS, GUMBO_TAG_DEL, GUMBO_TAG_MAP,
                        GUMBO_TAG_UNKNOWN, GUMBO_TAG_OPTION, GUMBO_TAG_OPTGROUP, GUMBO_TAG_ADDRESS,
                        GUMBO_TAG_DIV, GUMBO_TAG_P, GUMBO_TAG_LI, GUMBO_TAG_DD, GUMBO_TAG_DT});
  }

  void NoOpenListItem(std::initializer_list<GumboTag> items) const {
    if (std::none_of(items.begin(), items.end(), [this](GumboTag item) { return open_[item] > 0; })) return;
    for (auto open = stack_.rbegin(); open != stack_.rend(); ++open) {
      const GumboTag tag = (*open)->v.element.tag;
      if (TagIn(tag, items)) GiveUp();
      if (StopsItemSearch(tag)) return;
    }
  }

  static bool IsMarker(GumboTag tag) {
    return TagIn(tag, {GUMBO_TAG_TD, GUMBO_TAG_TH, GUMBO_TAG_CAPTION, GUMBO_TAG_APPLET, GUMBO_TAG_MARQUEE,
                       GUMBO_TAG_OBJECT, GUMBO_TAG_TEMPLATE});
  }

  void NoOpenLink() const {
    if (open_[GUMBO_TAG_A] == 0) return;
    for (auto open = stack_.rbegin(); open != stack_.rend() && !IsMarker((*open)->v.element.tag); ++open)
      if ((*open)->v.element.tag == GUMBO_TAG_A) GiveUp();
  }

  // Past three alike, the parser drops the oldest from its formatting list.
  void FewOpenAlike(GumboTag formatting) const {
    if (open_[formatting] < 3) return;
    int alike = 0;
    for (auto open = stack_.rbegin(); open != stack_.rend() && !IsMarker((*open)->v.element.tag); ++open)
      if ((*open)->v.element.tag == formatting && ++alike >= 3) GiveUp();
  }

  // ---- building nodes ----
  const char* Copy(std::string_view text) {
    auto* copy = static_cast<char*>(arena_->Keep(text.size() + 1));
    std::memcpy(copy, text.data(), text.size());
    copy[text.size()] = '\0';
    return copy;
  }

  GumboNode* NewNode(GumboNodeType type) {
    GumboNode* node = nullptr;
    if (!visitor_) {
      node = static_cast<GumboNode*>(arena_->Keep(sizeof(GumboNode)));
    } else if (!spare_.empty()) {
      node = spare_.back();  // a walk needs a node only while it is open
      spare_.pop_back();
    } else {
      node = walk_nodes_.emplace_back(std::make_unique<GumboNode>()).get();
    }
    std::memset(node, 0, sizeof(GumboNode));
    node->type = type;
    return node;
  }

  GumboNode* NewText(GumboNodeType type, const std::string& text) {
    if (visitor_) {
      std::memset(&walk_text_, 0, sizeof walk_text_);
      walk_text_.type = type;
      walk_text_.v.text.text = text.c_str();
      return &walk_text_;
    }
    GumboNode* node = NewNode(type);
    node->v.text.text = Copy(text);
    return node;
  }

  GumboNode* NewElement(const Tag& tag, bool implied) {
    GumboNode* node = NewNode(GUMBO_NODE_ELEMENT);
    node->parse_flags = implied ? GUMBO_INSERTION_IMPLIED : GUMBO_INSERTION_NORMAL;
    GumboElement& element = node->v.element;
    element.tag = tag.tag;
    element.tag_namespace = GUMBO_NAMESPACE_HTML;
    element.original_tag = {implied ? nullptr : tag.original.data(), implied ? 0 : tag.original.size()};
    if (!tag.attributes.empty() && visitor_) {
      // For the visitor's Enter alone; the tag's strings last until then.
      const unsigned count = unsigned(tag.attributes.size());
      walk_attributes_.assign(count, GumboAttribute{});
      walk_attribute_list_.resize(count);
      for (unsigned i = 0; i < count; ++i) {
        walk_attributes_[i].name = tag.attributes[i].name.c_str();
        walk_attributes_[i].value = tag.attributes[i].value.c_str();
        walk_attribute_list_[i] = &walk_attributes_[i];
      }
      element.attributes = {walk_attribute_list_.data(), count, count};
    } else if (!tag.attributes.empty()) {
      const unsigned count = unsigned(tag.attributes.size());
      element.attributes.data = static_cast<void**>(arena_->Keep(count * sizeof(void*)));
      element.attributes.length = element.attributes.capacity = count;
      for (unsigned i = 0; i < count; ++i) {
        const Attribute& source = tag.attributes[i];
        auto* attribute = static_cast<GumboAttribute*>(arena_->Keep(sizeof(GumboAttribute)));
        std::memset(attribute, 0, sizeof(GumboAttribute));
        attribute->attr_namespace = GUMBO_ATTR_NAMESPACE_NONE;
        attribute->name = Copy(source.name);
        attribute->original_name = {source.original_name.data(), source.original_name.size()};
        attribute->value = Copy(source.value);
        attribute->original_value = {source.original_value.data(), source.original_value.size()};
        element.attributes.data[i] = attribute;
      }
    }
    return node;
  }

  const Tag& ImpliedTableBody() {
    implied_.tag = GUMBO_TAG_TBODY;
    return implied_;
  }

  void Append(GumboNode* child) {
    GumboNode* parent = stack_.back();
    if (visitor_) {
      if (child->type != GUMBO_NODE_ELEMENT && hidden_from_ == kNone) visitor_->Other(*child, *parent, 0);
      return;
    }
    GumboVector& children = parent->v.element.children;
    if (children.length == children.capacity) {
      const unsigned capacity = std::max(4u, children.capacity * 2);
      auto* grown = static_cast<void**>(arena_->Allocate(capacity * sizeof(void*)));
      if (children.length > 0) std::memcpy(grown, children.data, children.length * sizeof(void*));
      arena_->Release(children.data);
      children.data = grown;
      children.capacity = capacity;
    }
    child->parent = parent;
    child->index_within_parent = children.length;
    children.data[children.length++] = child;
  }

  void FlushText() {
    if (run_.empty()) return;
    const bool space = IsAllSpace(run_);
    // Text loose in a table's structure is moved out of the table.
    if (!space && TagIn(CurrentTag(), {GUMBO_TAG_TABLE, GUMBO_TAG_TBODY, GUMBO_TAG_THEAD, GUMBO_TAG_TFOOT,
                                       GUMBO_TAG_TR}))
      GiveUp();
    Append(NewText(space ? GUMBO_NODE_WHITESPACE : GUMBO_NODE_TEXT, run_));
    run_.clear();
  }

  void Push(const Tag& tag) {
    FlushText();
    GumboNode* element = NewElement(tag, &tag == &implied_);
    Append(element);
    if (visitor_) walk_entered_.push_back(EnterWalk(*element, stack_.size()));
    stack_.push_back(element);
    ++open_[tag.tag];
  }

  void Void(const Tag& tag) {
    FlushText();
    GumboNode* element = NewElement(tag, false);
    Append(element);
    if (!visitor_) return;
    const bool entered = EnterWalk(*element, stack_.size());
    LeaveWalk(*element, stack_.size(), entered);
  }

  void Pop() {
    FlushText();
    PopUnflushed();
  }

  // Takes the current element off without first placing pending text.
  void PopUnflushed() {
    --open_[CurrentTag()];
    if (visitor_) {
      LeaveWalk(*stack_.back(), stack_.size() - 1, walk_entered_.back());
      walk_entered_.pop_back();
    }
    stack_.pop_back();
  }

  // The walk's Enter for an element about to open, at depth among the open
  // elements; whether it was entered. A declined element's children are not
  // told, as in a walk over the tree. LeaveWalk then gives its Leave (if it
  // was entered) and frees the node.
  bool EnterWalk(GumboNode& element, std::size_t depth) {
    const bool entered = hidden_from_ == kNone && visitor_->Enter(element);
    if (hidden_from_ == kNone && !entered) hidden_from_ = depth;
    element.v.element.attributes = {};  // the attributes were the tag's, for Enter alone
    return entered;
  }

  void LeaveWalk(GumboNode& element, std::size_t depth, bool entered) {
    if (entered) visitor_->Leave(element);
    if (hidden_from_ == depth) hidden_from_ = kNone;
    spare_.push_back(&element);
  }

  void RawTextElement(const Tag& tag) {
    Push(tag);
    const std::string name = tag.name;
    AppendChecked(run_, ReadRawText(name));
    Pop();
  }

  static constexpr std::size_t kNone = ~std::size_t{0};

  std::string_view in_;
  std::size_t at_ = 0;
  ParseArena* arena_;
  BodyVisitor* visitor_;
  // The walk's own: nodes of open elements, reused; the text node handed
  // to Other; the attributes handed to Enter; where a declined subtree starts.
  std::vector<std::unique_ptr<GumboNode>> walk_nodes_;
  std::vector<GumboNode*> spare_;
  std::vector<bool> walk_entered_;  // for each open element below the body
  GumboNode walk_text_{};
  std::vector<GumboAttribute> walk_attributes_;
  std::vector<void*> walk_attribute_list_;
  std::size_t hidden_from_ = kNone;
  Tag tag_;
  Tag implied_;
  std::string run_;  // characters not yet in a node
  std::vector<GumboNode*> stack_;
  // How many elements of each kind are open: the searches through the open
  // elements run only when one could find something, so a page nesting
  // thousands deep costs no more than a flat one.
  std::array<int, GUMBO_TAG_LAST + 1> open_{};
  GumboNode* body_ = nullptr;
  int select_depth_ = 0;
  bool form_open_ = false;
  bool after_body_ = false;
  bool after_html_ = false;
};

}  // namespace

const GumboNode* QuickParseBody(std::string_view utf8, ParseArena& arena) {
  try {
    return QuickParser(utf8, &arena, nullptr).Run();
  } catch (const NotPlain&) {
    return nullptr;
  }
}

bool QuickWalkBody(std::string_view utf8, BodyVisitor& visitor) {
  try {
    QuickParser(utf8, nullptr, &visitor).Run();
    return true;
  } catch (const NotPlain&) {
    return false;
  }
}

}  // namespace pitrel
