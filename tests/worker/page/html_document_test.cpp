#include "worker/page/html_document.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <map>

#include "worker/page/inner_text.h"

namespace pitrel {
namespace {

TEST(ParseArena, PiecesAreAlignedApartAndReusedOnlyOnceReleased) {
  ParseArena arena;
  std::map<std::uintptr_t, std::size_t> live;  // start -> size
  auto take = [&](std::size_t size) {
    auto* piece = static_cast<unsigned char*>(arena.Allocate(size));
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(piece) % alignof(std::max_align_t), 0u);
    std::memset(piece, 0xAB, size);
    const auto start = reinterpret_cast<std::uintptr_t>(piece);
    auto after = live.lower_bound(start);
    if (after != live.end()) {
      EXPECT_LE(start + size, after->first);
    }
    if (after != live.begin()) {
      EXPECT_LE(std::prev(after)->first + std::prev(after)->second, start);
    }
    live[start] = size;
    return piece;
  };
  std::vector<unsigned char*> small;
  for (std::size_t size : {1, 15, 16, 17, 100, 4096, 5000}) small.push_back(take(size));
  unsigned char* huge = take(3u << 20);  // larger than any block
  take(300'000);

  // A released piece is handed out again for a request of its size class.
  arena.Release(small[4]);
  live.erase(reinterpret_cast<std::uintptr_t>(small[4]));
  EXPECT_EQ(take(120), small[4]);
  // A piece larger than any size class goes back to the system at once.
  const std::size_t before = arena.BytesReserved();
  arena.Release(huge);
  arena.Release(nullptr);
  live.erase(reinterpret_cast<std::uintptr_t>(huge));
  EXPECT_LE(arena.BytesReserved(), before - (3u << 20));
  take(3u << 20);
  EXPECT_GE(arena.BytesReserved(), (3u << 20) + 300'000);
}

TEST(HtmlDocument, LargePagesParseWholeWithBoundedMemory) {
  // A text run far larger than a block, then thousands of small elements.
  std::string page = "<p>" + std::string(600'000, 'x') + "</p>";
  for (int i = 0; i < 20'000; ++i)
    page += "<div class=c" + std::to_string(i) + ">" + std::to_string(i) + "</div>";
  const HtmlDocument document(page);
  const std::string text = BodyInnerText(document.Body());
  EXPECT_EQ(text.substr(0, 600'000), std::string(600'000, 'x'));
  EXPECT_NE(text.find("\r\n19999"), std::string::npos);
  EXPECT_LT(document.BytesReserved(), 40 * page.size());
}

}  // namespace
}  // namespace pitrel
