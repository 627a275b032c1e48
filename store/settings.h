// Per-user settings under a three-level name: application / section / key.
// Stored with QSettings in the user's configuration location
// ($XDG_CONFIG_HOME on Linux, HKEY_CURRENT_USER on Windows).
#pragma once

#include <QString>

namespace quenlo {

inline constexpr char kSettingsApplication[] = "Pitrel";
inline constexpr char kSettingsSection[] = "Validate";

bool SaveSettingValue(const QString& application, const QString& section, const QString& key,
                      const QString& value);
// The stored value, or defaultValue when none is stored or it is empty.
QString GetSettingValue(const QString& application, const QString& section, const QString& key,
                        const QString& defaultValue);

}  // namespace quenlo
