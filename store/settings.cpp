// Settings live where the platform keeps per-user settings. On Windows each
// setting is the default value of the key HKEY_CURRENT_USER\application\section\key;
// elsewhere each section is an ini file <config>/application/section.ini with
// one entry per key (<config> is $XDG_CONFIG_HOME or ~/.config on Linux).
// Nothing is cached: every call opens the store anew.
#include "store/settings.h"

#include <QSettings>
#include <QStandardPaths>
#include <memory>

namespace quenlo {
namespace {

struct SettingLocation {
  std::unique_ptr<QSettings> store;
  QString entry;
};

SettingLocation Locate(const QString& application, const QString& section, const QString& key) {
#ifdef Q_OS_WIN
  const QString path =
      QStringLiteral("HKEY_CURRENT_USER\\%1\\%2\\%3").arg(application, section, key);
  return {std::make_unique<QSettings>(path, QSettings::NativeFormat), QStringLiteral("Default")};
#else
  // The file path is worked out here on every call: QSettings remembers the
  // configuration directory of its first use, the environment may change.
  const QString directory = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  const QString path = QStringLiteral("%1/%2/%3.ini").arg(directory, application, section);
  return {std::make_unique<QSettings>(path, QSettings::IniFormat), key};
#endif
}

}  // namespace

bool SaveSettingValue(const QString& application, const QString& section, const QString& key,
                      const QString& value) {
  const SettingLocation location = Locate(application, section, key);
  if (!location.store->isWritable()) return false;
  location.store->setValue(location.entry, value);
  location.store->sync();
  return location.store->status() == QSettings::NoError;
}

QString GetSettingValue(const QString& application, const QString& section, const QString& key,
                        const QString& defaultValue) {
  const SettingLocation location = Locate(application, section, key);
  const QString value = location.store->value(location.entry).toString();
  return value.isEmpty() ? defaultValue : value;
}

}  // namespace quenlo
