#include "tools/sample_market/faults.h"

#include <charconv>
#include <utility>

namespace sample_market {
namespace {

constexpr std::pair<std::string_view, FaultKind> kKinds[] = {
    {"slow", FaultKind::kSlow},         {"hang", FaultKind::kHang},
    {"500", FaultKind::kServerError},   {"503", FaultKind::kUnavailable},
    {"429", FaultKind::kTooMany},       {"404", FaultKind::kNotFound},
    {"reset", FaultKind::kReset},       {"truncate", FaultKind::kTruncate},
    {"garbage", FaultKind::kGarbage},   {"flood", FaultKind::kFlood}};

constexpr std::pair<std::string_view, PageKind> kPages[] = {
    {"search", PageKind::kSearch},  {"contact", PageKind::kContact}, {"site", PageKind::kSite},
    {"intro", PageKind::kProfile},  {"credit", PageKind::kCredit},   {"offerlist", PageKind::kOfferList},
    {"any", PageKind::kAny}};

template <typename T, std::size_t N>
std::optional<T> Lookup(const std::pair<std::string_view, T> (&table)[N], std::string_view key) {
  for (const auto& [word, value] : table) {
    if (word == key) return value;
  }
  return std::nullopt;
}

bool PositiveNumber(std::string_view digits, int* value) {
  auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), *value);
  return error == std::errc() && end == digits.data() + digits.size() && *value > 0;
}

bool ParseWho(std::string_view who, Fault* fault, std::string* error) {
  if (who == "*") {
    fault->who = Fault::Who::kAll;
  } else if (who.starts_with('#') || who.starts_with('%')) {
    fault->who = who.starts_with('#') ? Fault::Who::kNumber : Fault::Who::kEvery;
    if (!PositiveNumber(who.substr(1), &fault->number)) {
      *error = "\"" + std::string(who) + "\" needs a number above 0 after " + std::string(who.substr(0, 1));
      return false;
    }
  } else if (fault->page == PageKind::kSearch) {
    fault->who = Fault::Who::kNumber;
    if (!PositiveNumber(who, &fault->number)) {
      *error = "a search page is chosen by number, *, #K or %N, not \"" + std::string(who) + "\"";
      return false;
    }
  } else if (who.empty()) {
    *error = "a page needs something after \":\" (*, #K, %N or a member name)";
    return false;
  } else {
    fault->who = Fault::Who::kName;
    fault->name = who;
  }
  return true;
}

// KIND or KINDxK: the kind, and in *first the K of "only the first K requests".
std::optional<FaultKind> ParseKind(std::string_view text, int* first, std::string* error) {
  const std::size_t x = text.rfind('x');
  if (x != std::string_view::npos && x > 0 && x + 1 < text.size()) {
    if (!PositiveNumber(text.substr(x + 1), first)) {
      *error = "\"" + std::string(text) + "\" needs a number above 0 after x";
      return std::nullopt;
    }
    text = text.substr(0, x);
  }
  std::optional<FaultKind> kind = Lookup(kKinds, text);
  if (!kind)
    *error = "unknown fault \"" + std::string(text) +
             "\" (slow, hang, 500, 503, 429, 404, reset, truncate, garbage, flood)";
  return kind;
}

bool ParseFault(std::string_view item, Fault* fault, std::string* error) {
  std::size_t at = item.find('@');
  if (at == std::string_view::npos) {
    *error = "\"" + std::string(item) + "\" is not KIND@PAGE";
    return false;
  }
  std::optional<FaultKind> kind = ParseKind(item.substr(0, at), &fault->first, error);
  if (!kind) return false;
  fault->kind = *kind;
  std::string_view page = item.substr(at + 1);
  std::size_t colon = page.find(':');
  std::string_view page_kind = page.substr(0, colon);
  std::optional<PageKind> kind_of_page = Lookup(kPages, page_kind);
  if (!kind_of_page) {
    *error = "unknown page \"" + std::string(page_kind) +
             "\" (search, contact, site, intro, credit, offerlist, any)";
    return false;
  }
  fault->page = *kind_of_page;
  if (colon == std::string_view::npos) {
    fault->who = Fault::Who::kAll;
    return true;
  }
  return ParseWho(page.substr(colon + 1), fault, error);
}

}  // namespace

bool Fault::Matches(const PageRef& ref) const {
  if (page != PageKind::kAny && page != ref.kind) return false;
  switch (who) {
    case Who::kAll: return true;
    case Who::kNumber: return ref.number == number;
    case Who::kEvery: return ref.number > 0 && ref.number % number == 0;
    case Who::kName: return !ref.name.empty() && ref.name == name;
  }
  return false;
}

std::optional<FaultKind> FaultPlan::For(const PageRef& ref, int request) const {
  for (const Fault& fault : faults) {
    if (fault.first > 0 && request > fault.first) continue;
    if (fault.Matches(ref)) return fault.kind;
  }
  return std::nullopt;
}

bool ParseFaultPlan(std::string_view text, FaultPlan* plan, std::string* error) {
  FaultPlan parsed;
  while (!text.empty()) {
    std::size_t comma = text.find(',');
    std::string_view item = text.substr(0, comma);
    text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    if (item.empty()) continue;
    if (item == "hostile") {
      parsed.hostile_names = true;
      continue;
    }
    Fault fault;
    if (!ParseFault(item, &fault, error)) return false;
    parsed.faults.push_back(std::move(fault));
  }
  *plan = std::move(parsed);
  return true;
}

}  // namespace sample_market
