#include "worker/page/html_document.h"

#include "worker/page/parse_budget.h"
#include "worker/page/quick_parse.h"

#include <sys/mman.h>

#include <algorithm>
#include <bit>
#include <cstddef>
#include <new>

namespace pitrel {
namespace {

const GumboNode* ChildElement(const GumboNode* parent, GumboTag tag) {
  if (parent == nullptr) return nullptr;
  const GumboVector& children = parent->type == GUMBO_NODE_DOCUMENT ? parent->v.document.children
                                                                    : parent->v.element.children;
  for (unsigned i = 0; i < children.length; ++i) {
    const auto* child = static_cast<const GumboNode*>(children.data[i]);
    if (child->type == GUMBO_NODE_ELEMENT && child->v.element.tag == tag) return child;
  }
  return nullptr;
}

void* ArenaAllocate(void* arena, std::size_t size) {
  return static_cast<ParseArena*>(arena)->Allocate(size);
}
void ArenaRelease(void* arena, void* piece) { static_cast<ParseArena*>(arena)->Release(piece); }

// Each piece is preceded by its size class, so a released piece finds its list.
constexpr std::size_t kHeader = alignof(std::max_align_t);
constexpr std::size_t kSmallest = 16;
constexpr std::size_t kOwnBlock = ~std::size_t{0};

}  // namespace

std::byte* ParseArena::Carve(std::size_t bytes) {
  constexpr std::size_t kBlockSize = 256u << 10;
  if (bytes > left_) {
    const std::size_t block_size = std::max(bytes, kBlockSize);
    // Whole blocks are mapped with their pages already present: a page fault
    // per touched page costs a worker more than populating them at once.
    void* block = mmap(nullptr, block_size, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
    if (block == MAP_FAILED) throw std::bad_alloc();
    blocks_.emplace_back(static_cast<std::byte*>(block), Unmapping{block_size});
    reserved_ += block_size;
    // A piece larger than a block gets a block of its own; the current one stays open.
    if (block_size > kBlockSize) return blocks_.back().get();
    next_ = blocks_.back().get();
    left_ = block_size;
  }
  std::byte* piece = next_;
  next_ += bytes;
  left_ -= bytes;
  return piece;
}

void ParseArena::Unmapping::operator()(std::byte* block) const { munmap(block, bytes); }

void* ParseArena::Allocate(std::size_t size) {
  const std::size_t rounded = std::bit_ceil(std::max(size, kSmallest));
  const int size_class = std::countr_zero(rounded) - std::countr_zero(kSmallest);
  if (size_class >= kClasses) {
    std::byte* piece = Carve(kHeader + size);  // always a block of its own
    *reinterpret_cast<std::size_t*>(piece) = kOwnBlock;
    return piece + kHeader;
  }
  if (FreePiece* reused = free_[size_class]) {
    free_[size_class] = reused->next;
    return reused;
  }
  std::byte* piece = Carve(kHeader + rounded);
  *reinterpret_cast<std::size_t*>(piece) = static_cast<std::size_t>(size_class);
  return piece + kHeader;
}

void* ParseArena::Keep(std::size_t size) {
  // Rounded to the header's alignment, so what follows stays aligned.
  return Carve((size + kHeader - 1) / kHeader * kHeader);
}

void ParseArena::Release(void* piece) {
  if (piece == nullptr) return;
  const std::size_t size_class =
      *reinterpret_cast<const std::size_t*>(static_cast<std::byte*>(piece) - kHeader);
  if (size_class == kOwnBlock) return Unmap(static_cast<std::byte*>(piece) - kHeader);
  free_[size_class] = new (piece) FreePiece{free_[size_class]};
}

// The largest pieces are the buffers a long text run grows in, each twice
// the last: kept until the tree goes they would cost the page three times
// its text. They go back to the system at once.
void ParseArena::Unmap(std::byte* block) {
  const auto own = std::find_if(blocks_.rbegin(), blocks_.rend(),
                                [&](const auto& mapped) { return mapped.get() == block; });
  if (own == blocks_.rend()) return;
  reserved_ -= own->get_deleter().bytes;
  blocks_.erase(std::next(own).base());
}

HtmlDocument::HtmlDocument(std::string utf8) : text_(std::move(utf8)) {
  if (const std::size_t cut = ParseCutPoint(text_); cut != std::string::npos) text_.resize(cut);
}

const GumboNode* HtmlDocument::Body() const {
  if (!parsed_) Parse();
  return body_;
}

bool HtmlDocument::ParsedQuickly() const {
  if (!parsed_) Parse();
  return parsed_quickly_;
}

void HtmlDocument::Parse() const {
  parsed_ = true;
  body_ = QuickParseBody(text_, arena_);
  if (body_ != nullptr) {
    parsed_quickly_ = true;
    return;
  }
  // Recording parse errors copies the stack of open elements for each one,
  // which makes deeply nested broken pages quadratic; nobody reads them.
  GumboOptions options = kGumboDefaultOptions;
  options.max_errors = 0;
  options.allocator = ArenaAllocate;
  options.deallocator = ArenaRelease;
  options.userdata = &arena_;
  if (GumboOutput* output = gumbo_parse_with_options(&options, text_.data(), text_.size()))
    body_ = ChildElement(output->root, GUMBO_TAG_BODY);
}

// The arena frees the whole tree at once; gumbo_destroy_output would only
// walk it to hand each piece back to the arena.
HtmlDocument::~HtmlDocument() = default;

}  // namespace pitrel
