#include "worker/text_cut.h"

namespace pitrel {

std::string CutAtMarker(std::string& source, std::string_view marker, bool fromFront) {
  if (marker.empty()) return {};
  const std::size_t at = fromFront ? source.find(marker) : source.rfind(marker);
  if (at == std::string::npos) return {};
  std::string head = source.substr(0, at);
  std::string tail = source.substr(at + marker.size());
  if (fromFront) {
    source = std::move(tail);
    return head;
  }
  source = std::move(head);
  return tail;
}

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

std::string Trim(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(' ');
  return std::string(text.substr(first, last - first + 1));
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(text);
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  for (std::size_t hit; (hit = text.find(from, pos)) != std::string_view::npos;
       pos = hit + from.size()) {
    out.append(text, pos, hit - pos).append(to);
  }
  out.append(text, pos);
  return out;
}

std::string RemoveAll(std::string_view text, std::string_view part) {
  return ReplaceAll(text, part, {});
}

}  // namespace pitrel
