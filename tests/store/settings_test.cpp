#include "store/settings.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <cstdlib>

#include "store/marketplace_settings.h"
#include "store/proxy_setting.h"
#include "worker/marketplace_hosts.h"

namespace quenlo {
namespace {

const QString kApp = QStringLiteral("Pitrel");
const QString kSection = QStringLiteral("Validate");

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(config_.isValid());
    UseConfigDirectory(config_.path());
    for (const char* variable : {pitrel::kMainHostVariable, pitrel::kSearchHostVariable,
                                 pitrel::kMemberDomainVariable, pitrel::kDirectoryHostVariable}) {
      unsetenv(variable);
    }
  }
  void TearDown() override { unsetenv("XDG_CONFIG_HOME"); }
  static void UseConfigDirectory(const QString& path) {
    setenv("XDG_CONFIG_HOME", QFile::encodeName(path).constData(), 1);
  }
  QString SectionFile() const { return config_.filePath(QStringLiteral("Pitrel/Validate.ini")); }

  QTemporaryDir config_;
};

TEST_F(SettingsTest, MissingOrEmptyValuesGiveTheDefault) {
  EXPECT_EQ(GetSettingValue(kApp, kSection, QStringLiteral("Max_Thread"), QStringLiteral("15")),
            QStringLiteral("15"));
  EXPECT_EQ(GetSettingValue(kApp, kSection, QStringLiteral("Return_Str1"), QString()), QString());
  ASSERT_TRUE(SaveSettingValue(kApp, kSection, QStringLiteral("Return_Str1"), QString()));
  EXPECT_EQ(GetSettingValue(kApp, kSection, QStringLiteral("Return_Str1"), QStringLiteral("d")),
            QStringLiteral("d"));
}

TEST_F(SettingsTest, ValuesRoundTripExactlyUnderThePerUserConfigDirectory) {
  const QString keyword = QStringLiteral("电子元件 LED’s \"灯\" = ; [x]");
  ASSERT_TRUE(SaveSettingValue(kApp, kSection, QStringLiteral("Return_Str1"), keyword));
  ASSERT_TRUE(SaveSettingValue(kApp, kSection, QStringLiteral("Max_Thread"), QStringLiteral("30")));
  EXPECT_EQ(GetSettingValue(kApp, kSection, QStringLiteral("Return_Str1"), QString()), keyword);
  EXPECT_EQ(GetSettingValue(kApp, kSection, QStringLiteral("Max_Thread"), QString()),
            QStringLiteral("30"));

  // Laid out as application directory, section file, key entry.
  ASSERT_TRUE(QFile::exists(SectionFile()));
  QSettings file(SectionFile(), QSettings::IniFormat);
  EXPECT_EQ(file.value(QStringLiteral("Max_Thread")).toString(), QStringLiteral("30"));
  EXPECT_EQ(GetSettingValue(kApp, QStringLiteral("Other"), QStringLiteral("Max_Thread"),
                            QStringLiteral("none")),
            QStringLiteral("none"));
}

TEST_F(SettingsTest, EveryReadSeesTheCurrentDirectoryAndFile) {
  ASSERT_TRUE(SaveSettingValue(kApp, kSection, QStringLiteral("Max_Thread"), QStringLiteral("20")));
  QTemporaryDir elsewhere;
  UseConfigDirectory(elsewhere.path());
  EXPECT_EQ(GetSettingValue(kApp, kSection, QStringLiteral("Max_Thread"), QStringLiteral("15")),
            QStringLiteral("15"));
  UseConfigDirectory(config_.path());
  {
    QSettings other(SectionFile(), QSettings::IniFormat);  // another writer of the file
    other.setValue(QStringLiteral("Max_Thread"), QStringLiteral("40"));
  }
  EXPECT_EQ(GetSettingValue(kApp, kSection, QStringLiteral("Max_Thread"), QString()),
            QStringLiteral("40"));
}

TEST_F(SettingsTest, ARefusedWriteReturnsFalse) {
  QFile blocker(config_.filePath(QStringLiteral("blocker")));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  UseConfigDirectory(blocker.fileName());  // a file where a directory should be
  EXPECT_FALSE(SaveSettingValue(kApp, kSection, QStringLiteral("Max_Thread"), QStringLiteral("9")));
  EXPECT_EQ(GetSettingValue(kApp, kSection, QStringLiteral("Max_Thread"), QStringLiteral("15")),
            QStringLiteral("15"));
}

TEST_F(SettingsTest, MarketplaceHostsComeFromEnvironmentThenSettingsThenDefaults) {
  MarketplaceHosts hosts = MarketplaceHostsInForce();
  EXPECT_EQ(hosts.main, QString::fromLatin1(pitrel::kDefaultMainHost));
  EXPECT_EQ(hosts.directory, QString::fromLatin1(pitrel::kDefaultDirectoryHost));

  ASSERT_TRUE(SaveSettingValue(kApp, QString::fromLatin1(kMarketplaceSection),
                               QString::fromLatin1(kSearchHostKey),
                               QStringLiteral("127.0.0.1:81")));
  ASSERT_TRUE(SaveSettingValue(kApp, QString::fromLatin1(kMarketplaceSection),
                               QString::fromLatin1(kMainHostKey), QStringLiteral("127.0.0.1:82")));
  setenv(pitrel::kMainHostVariable, "127.0.0.1:9000", 1);
  hosts = MarketplaceHostsInForce();
  EXPECT_EQ(hosts.main, QStringLiteral("127.0.0.1:9000"));
  EXPECT_EQ(hosts.search, QStringLiteral("127.0.0.1:81"));
  EXPECT_EQ(hosts.memberDomain, QString::fromLatin1(pitrel::kDefaultMemberDomain));
  // A blank setting is no setting: the default holds, not an empty host.
  ASSERT_TRUE(SaveSettingValue(kApp, QString::fromLatin1(kMarketplaceSection),
                               QString::fromLatin1(kMemberDomainKey), QStringLiteral("   ")));
  EXPECT_EQ(MarketplaceHostsInForce().memberDomain, QString::fromLatin1(pitrel::kDefaultMemberDomain));

  const QList<QPair<QString, QString>> environment = WorkerHostEnvironment();
  ASSERT_EQ(environment.size(), 4);
  EXPECT_EQ(environment[0],
            qMakePair(QStringLiteral("QUENLO_MAIN_HOST"), QStringLiteral("127.0.0.1:9000")));
  EXPECT_EQ(environment[1],
            qMakePair(QStringLiteral("QUENLO_SEARCH_HOST"), QStringLiteral("127.0.0.1:81")));
  unsetenv(pitrel::kMainHostVariable);
}

TEST_F(SettingsTest, TheProxyComesFromQuenloProxyThenTheSettingElseFromNoOneOfQuenlos) {
  unsetenv(kProxyVariable);
  EXPECT_EQ(ProxyInForce(), QString());
  EXPECT_TRUE(WorkerProxyEnvironment().isEmpty()) << "the environment's own proxy stands";
  ASSERT_TRUE(SaveSettingValue(kApp, QString::fromLatin1(kNetworkSection), QString::fromLatin1(kProxyKey),
                               QStringLiteral(" http://proxy.test:3128 ")));
  EXPECT_EQ(ProxyInForce(), QStringLiteral("http://proxy.test:3128"));
  setenv(kProxyVariable, "http://u:p@override.test:8080", 1);
  EXPECT_EQ(ProxyInForce(), QStringLiteral("http://u:p@override.test:8080"));
  const QList<QPair<QString, QString>> expected = {{QStringLiteral("http_proxy"), QStringLiteral("http://u:p@override.test:8080")},
                                                   {QStringLiteral("https_proxy"), QStringLiteral("http://u:p@override.test:8080")}};
  EXPECT_EQ(WorkerProxyEnvironment(), expected);
  setenv(kProxyVariable, "  ", 1);
  EXPECT_EQ(ProxyInForce(), QStringLiteral("http://proxy.test:3128")) << "a blank override counts as none";
  unsetenv(kProxyVariable);
}

}  // namespace
}  // namespace quenlo
