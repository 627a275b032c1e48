#include "store/harvest_settings.h"

#include "store/settings.h"

namespace quenlo {

namespace {

int Stored(const char* key, SettingRange range) {
  const QString text =
      GetSettingValue(QString::fromLatin1(kSettingsApplication),
                      QString::fromLatin1(kSettingsSection), QString::fromLatin1(key), {});
  return WholeNumberIn(text, range).value_or(range.fallback);
}

}  // namespace

std::optional<int> WholeNumberIn(const QString& text, SettingRange range) {
  bool ok = false;
  const int value = text.trimmed().toInt(&ok);
  if (!ok || value < range.min || value > range.max) return std::nullopt;
  return value;
}

HarvestSettings StoredHarvestSettings() {
  return {Stored(kRetriesKey, kRetriesRange), Stored(kDelayKey, kDelayRange),
          Stored(kSearchPageCapKey, kSearchPageCapRange)};
}

}  // namespace quenlo
