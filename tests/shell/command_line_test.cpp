#include "shell/command_line.h"
#include "shell/help_links.h"

#include <gtest/gtest.h>

namespace quenlo {
namespace {

TEST(ClassifyCommandLine, PicksTheTask) {
  EXPECT_EQ(ClassifyCommandLine({}), LaunchMode::Window);
  EXPECT_EQ(ClassifyCommandLine({"--help"}), LaunchMode::Help);
  EXPECT_EQ(ClassifyCommandLine({"--create-database", "/tmp/x"}), LaunchMode::CreateDatabase);
  EXPECT_EQ(ClassifyCommandLine({"--create-database"}), LaunchMode::Unknown);
  EXPECT_EQ(ClassifyCommandLine({"members", "家具"}), LaunchMode::Harvest);
  EXPECT_EQ(ClassifyCommandLine({"contacts"}), LaunchMode::Harvest);
  EXPECT_EQ(ClassifyCommandLine({"profiles", "--threads", "9"}), LaunchMode::Harvest);
  EXPECT_EQ(ClassifyCommandLine({"export", "a.csv"}), LaunchMode::Export);
  EXPECT_EQ(ClassifyCommandLine({"frobnicate"}), LaunchMode::Unknown);
  for (const char* word :
       {"members", "contacts", "profiles", "export", "--create-database", "--retries", "--delay"})
    EXPECT_TRUE(UsageText().contains(QString::fromLatin1(word))) << word;
}

TEST(HasDisplay, NeedsADisplayOrANamedPlatform) {
  QProcessEnvironment env;
  EXPECT_FALSE(HasDisplay(env));
  env.insert(QStringLiteral("DISPLAY"), QString());
  EXPECT_FALSE(HasDisplay(env));
  env.insert(QStringLiteral("DISPLAY"), QStringLiteral(":0"));
  EXPECT_TRUE(HasDisplay(env));
  QProcessEnvironment wayland;
  wayland.insert(QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("wayland-0"));
  EXPECT_TRUE(HasDisplay(wayland));
  QProcessEnvironment offscreen;
  offscreen.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  EXPECT_TRUE(HasDisplay(offscreen));
  EXPECT_FALSE(NoDisplayText().contains(u'\n'));
}

TEST(MessengerUrl, UsesTheMessengersOwnScheme) {
  EXPECT_EQ(MessengerUrl(QStringLiteral("123456")).toString(),
            "tencent://message/?uin=123456&Menu=yes");
}

}  // namespace
}  // namespace quenlo
