#include "harvest/search_query.h"

#include "harvest/regions.h"
#include "store/settings.h"

namespace quenlo {

namespace {
const QString kKeywordKey = QStringLiteral("Return_Str1");
const QString kRegionKey = QStringLiteral("Return_Str2");
}  // namespace

QString& QueryKeyword() {
  static QString keyword;
  return keyword;
}

QString& QueryRegionValue() {
  static QString regionValue;
  return regionValue;
}

RememberedQuery LoadRememberedQuery() {
  return {GetSettingValue(kSettingsApplication, kSettingsSection, kKeywordKey, {}),
          GetSettingValue(kSettingsApplication, kSettingsSection, kRegionKey, {})};
}

QString KeywordProblem(const QString& keyword) {
  if (keyword.trimmed().isEmpty()) return kEmptyKeywordMessage;
  if (keyword.contains(kCommandSeparator)) return kKeywordSeparatorMessage;
  return {};
}

bool ConfirmQuery(const QString& keyword, const QString& regionEntry) {
  const QString trimmed = keyword.trimmed();
  if (!KeywordProblem(trimmed).isEmpty()) return false;
  QueryKeyword() = trimmed;
  SaveSettingValue(kSettingsApplication, kSettingsSection, kKeywordKey, trimmed);
  SaveSettingValue(kSettingsApplication, kSettingsSection, kRegionKey, regionEntry);
  QueryRegionValue() = RegionValue(regionEntry);
  return true;
}

void ClearQuery() {
  QueryKeyword().clear();
  QueryRegionValue().clear();
}

}  // namespace quenlo
