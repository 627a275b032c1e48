#include "worker/page/element_kinds.h"

#include <string_view>

namespace pitrel {

bool IsVoidElement(GumboTag tag) {
  switch (tag) {
    case GUMBO_TAG_AREA: case GUMBO_TAG_BASE: case GUMBO_TAG_BASEFONT: case GUMBO_TAG_BGSOUND:
    case GUMBO_TAG_BR: case GUMBO_TAG_COL: case GUMBO_TAG_EMBED: case GUMBO_TAG_FRAME:
    case GUMBO_TAG_HR: case GUMBO_TAG_IMG: case GUMBO_TAG_IMAGE: case GUMBO_TAG_INPUT:
    case GUMBO_TAG_KEYGEN: case GUMBO_TAG_LINK: case GUMBO_TAG_META: case GUMBO_TAG_PARAM:
    case GUMBO_TAG_SOURCE: case GUMBO_TAG_TRACK: case GUMBO_TAG_WBR:
      return true;
    default:
      return false;
  }
}

bool IsBlockElement(GumboTag tag) {
  switch (tag) {
    case GUMBO_TAG_ADDRESS: case GUMBO_TAG_ARTICLE: case GUMBO_TAG_ASIDE: case GUMBO_TAG_BLOCKQUOTE:
    case GUMBO_TAG_CENTER: case GUMBO_TAG_DD: case GUMBO_TAG_DETAILS:
    case GUMBO_TAG_DIR: case GUMBO_TAG_DIV: case GUMBO_TAG_DL: case GUMBO_TAG_DT:
    case GUMBO_TAG_FIELDSET: case GUMBO_TAG_FIGCAPTION: case GUMBO_TAG_FIGURE: case GUMBO_TAG_FOOTER:
    case GUMBO_TAG_FORM: case GUMBO_TAG_H1: case GUMBO_TAG_H2: case GUMBO_TAG_H3:
    case GUMBO_TAG_H4: case GUMBO_TAG_H5: case GUMBO_TAG_H6: case GUMBO_TAG_HEADER:
    case GUMBO_TAG_HGROUP: case GUMBO_TAG_HR: case GUMBO_TAG_LEGEND: case GUMBO_TAG_LI:
    case GUMBO_TAG_LISTING: case GUMBO_TAG_MAIN: case GUMBO_TAG_MENU: case GUMBO_TAG_NAV:
    case GUMBO_TAG_OL: case GUMBO_TAG_P: case GUMBO_TAG_PLAINTEXT: case GUMBO_TAG_PRE:
    case GUMBO_TAG_SECTION: case GUMBO_TAG_SUMMARY: case GUMBO_TAG_TABLE: case GUMBO_TAG_UL:
    case GUMBO_TAG_XMP:
      return true;
    default:
      return false;
  }
}

bool IsTableElement(GumboTag tag) {
  switch (tag) {
    case GUMBO_TAG_CAPTION: case GUMBO_TAG_COL: case GUMBO_TAG_COLGROUP: case GUMBO_TAG_TBODY:
    case GUMBO_TAG_TD: case GUMBO_TAG_TFOOT: case GUMBO_TAG_TH: case GUMBO_TAG_THEAD:
    case GUMBO_TAG_TR:
      return true;
    default:
      return false;
  }
}

bool IsHiddenElement(const GumboNode& node) {
  switch (node.v.element.tag) {
    case GUMBO_TAG_HEAD: case GUMBO_TAG_TITLE: case GUMBO_TAG_SCRIPT: case GUMBO_TAG_STYLE:
    case GUMBO_TAG_TEMPLATE: case GUMBO_TAG_NOSCRIPT: case GUMBO_TAG_NOEMBED: case GUMBO_TAG_NOFRAMES:
    case GUMBO_TAG_META: case GUMBO_TAG_LINK: case GUMBO_TAG_BASE: case GUMBO_TAG_PARAM:
    case GUMBO_TAG_AREA: case GUMBO_TAG_MAP: case GUMBO_TAG_DATALIST: case GUMBO_TAG_RP:
    case GUMBO_TAG_IFRAME: case GUMBO_TAG_TEXTAREA: case GUMBO_TAG_OBJECT:
    case GUMBO_TAG_EMBED: case GUMBO_TAG_INPUT: case GUMBO_TAG_BGSOUND: case GUMBO_TAG_FRAMESET:
      return true;
    default:
      break;
  }
  return gumbo_get_attribute(&node.v.element.attributes, "hidden") != nullptr;
}

bool IsRawTextElement(GumboTag tag) {
  switch (tag) {
    case GUMBO_TAG_SCRIPT: case GUMBO_TAG_STYLE: case GUMBO_TAG_XMP: case GUMBO_TAG_IFRAME:
    case GUMBO_TAG_NOEMBED: case GUMBO_TAG_NOFRAMES: case GUMBO_TAG_PLAINTEXT:
      return true;
    default:
      return false;
  }
}

bool IsPreformattedElement(GumboTag tag) {
  switch (tag) {
    case GUMBO_TAG_PRE: case GUMBO_TAG_LISTING: case GUMBO_TAG_TEXTAREA: case GUMBO_TAG_XMP:
    case GUMBO_TAG_PLAINTEXT: case GUMBO_TAG_SCRIPT: case GUMBO_TAG_STYLE:
      return true;
    default:
      return false;
  }
}

void AppendUpperTagName(std::string& out, const GumboElement& element) {
  std::string_view name;
  if (element.tag != GUMBO_TAG_UNKNOWN) {
    name = gumbo_normalized_tagname(element.tag);
  } else {
    // gumbo trims "<name attrs>" down to the name; it expects a whole start tag.
    GumboStringPiece original = element.original_tag;
    if (original.data != nullptr && original.length >= 2 && original.data[0] == '<' &&
        original.data[original.length - 1] == '>') {
      gumbo_tag_from_original_text(&original);
      name = std::string_view(original.data, original.length);
    }
  }
  for (char c : name) out.push_back((c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c);
}

}  // namespace pitrel
