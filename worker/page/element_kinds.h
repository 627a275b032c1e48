// How the page layer treats each element: which are void, which start a
// block, which belong to tables, which are never rendered, which hold raw text.
// Shared by the mark-up writer and the text reader.
#pragma once

#include <gumbo.h>

#include <string>

namespace pitrel {

bool IsVoidElement(GumboTag tag);
// Block-level for both writers: gets CR LF before its start tag in the mark-up
// and line breaks around its text.
bool IsBlockElement(GumboTag tag);
bool IsTableElement(GumboTag tag);  // TABLE's parts: rows, cells, sections, caption, columns
bool IsHiddenElement(const GumboNode& element);  // display: none by default, or hidden
bool IsRawTextElement(GumboTag tag);             // content written and kept as is
bool IsPreformattedElement(GumboTag tag);        // whitespace kept

// Appends the element's tag name, upper-case; unknown tags keep the name they
// were written with.
void AppendUpperTagName(std::string& out, const GumboElement& element);

}  // namespace pitrel
