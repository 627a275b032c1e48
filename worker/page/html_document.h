// A parsed page: gumbo's tree of UTF-8 text, freed with the object.
// Not copyable; the tree is read-only once parsed.
#pragma once

#include <gumbo.h>

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace pitrel {

// Memory for one parse. Everything gumbo allocates goes when the tree goes,
// so it is carved from a few large blocks that are freed together: a malloc
// and a free for each of thousands of small pieces cost more than the parse's
// own work on them. Pieces gumbo hands back early (token and text buffers)
// are kept on a list per size and handed out again; the few larger than
// any size class are unmapped as soon as they are handed back.
class ParseArena {
 public:
  ParseArena() = default;
  ParseArena(const ParseArena&) = delete;
  ParseArena& operator=(const ParseArena&) = delete;

  void* Allocate(std::size_t size);
  void Release(void* piece);
  // A piece that is never released, without the size-class rounding: for
  // what stays until the tree goes.
  void* Keep(std::size_t size);
  std::size_t BytesReserved() const { return reserved_; }

 private:
  static constexpr int kClasses = 17;  // pieces of 16 bytes to 1 MB; larger ones get a block each
  struct FreePiece {
    FreePiece* next;
  };
  std::byte* Carve(std::size_t bytes);
  void Unmap(std::byte* block);
  struct Unmapping {
    std::size_t bytes;
    void operator()(std::byte* block) const;
  };

  std::vector<std::unique_ptr<std::byte, Unmapping>> blocks_;
  std::byte* next_ = nullptr;
  std::size_t left_ = 0;
  std::size_t reserved_ = 0;
  FreePiece* free_[kClasses] = {};
};

// Parsed on first use: a worker that needs only a plainly written page's
// text takes it from the mark-up without building the tree at all
// (PageInnerText). Not for use from two threads at once.
class HtmlDocument {
 public:
  explicit HtmlDocument(std::string utf8);
  ~HtmlDocument();
  HtmlDocument(const HtmlDocument&) = delete;
  HtmlDocument& operator=(const HtmlDocument&) = delete;

  // The <body> element, or nullptr (a frameset page has none).
  const GumboNode* Body() const;
  std::size_t BytesReserved() const { return arena_.BytesReserved(); }
  // Whether the page was plain enough to be built without the full parser.
  bool ParsedQuickly() const;
  // The page's text, as the parser reads it, and whether its tree is built yet.
  std::string_view Text() const { return text_; }
  bool HasTree() const { return parsed_; }

 private:
  void Parse() const;

  std::string text_;          // the tree points into it
  mutable ParseArena arena_;  // holds the tree
  mutable const GumboNode* body_ = nullptr;
  mutable bool parsed_ = false;
  mutable bool parsed_quickly_ = false;
};

}  // namespace pitrel
