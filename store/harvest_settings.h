// The harvests' settings besides the worker limit, kept beside Max_Thread:
//   Retries           further tries of a page that failed for a passing
//                     reason (0 to 10, default 2)
//   Delay_MS          the least pause between page starts to one host, in
//                     milliseconds (0 to 60000, default 0: no pause)
//   Max_Search_Pages  the most pages one member search fetches (1 to
//                     100000, default 500)
// A value that is missing or no whole number in its range reads as the default.
#pragma once

#include <QString>
#include <optional>

namespace quenlo {

inline constexpr char kRetriesKey[] = "Retries";
inline constexpr char kDelayKey[] = "Delay_MS";
inline constexpr char kSearchPageCapKey[] = "Max_Search_Pages";

struct SettingRange {
  int min;
  int max;
  int fallback;
};
inline constexpr SettingRange kRetriesRange{0, 10, 2};
inline constexpr SettingRange kDelayRange{0, 60'000, 0};
// A real search lists at most 100 pages; 500 leaves room for a larger one
// and still bounds what a page claiming millions of hits can make us fetch.
inline constexpr SettingRange kSearchPageCapRange{1, 100'000, 500};

struct HarvestSettings {
  int retries = kRetriesRange.fallback;
  int delayMs = kDelayRange.fallback;
  int searchPageCap = kSearchPageCapRange.fallback;
};

// A whole number (blanks around it allowed) within the range; nothing otherwise.
std::optional<int> WholeNumberIn(const QString& text, SettingRange range);

HarvestSettings StoredHarvestSettings();

}  // namespace quenlo
