#include "store/worker_limit.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdlib>
#include <utility>

#include "store/settings.h"

namespace quenlo {
namespace {

TEST(ParseWorkerLimit, ReadsTheNumberATextStartsWith) {
  EXPECT_EQ(ParseWorkerLimit(QStringLiteral("12abc")), 12);
  EXPECT_EQ(ParseWorkerLimit(QStringLiteral("  2 0 ")), 20);  // blanks are skipped
  EXPECT_EQ(ParseWorkerLimit(QStringLiteral("1e1x")), 10);
  EXPECT_EQ(ParseWorkerLimit(QStringLiteral("7e")), 7);
  EXPECT_EQ(ParseWorkerLimit(QStringLiteral("abc")), std::nullopt);
  EXPECT_EQ(ParseWorkerLimit(QString()), std::nullopt);
  EXPECT_EQ(ParseWorkerLimit(QStringLiteral("２０")), std::nullopt);  // only ASCII digits count
}

// One reading of numbers for the whole system: the worker's, which knows
// hexadecimal and octal.
TEST(ParseWorkerLimit, ReadsHexAndOctalAsTheWorkerDoes) {
  EXPECT_EQ(ParseWorkerLimit(QStringLiteral("&H10")), 16);
  EXPECT_EQ(ParseWorkerLimit(QStringLiteral("&h 1 4")), 20);
  EXPECT_EQ(ParseWorkerLimit(QStringLiteral("&O20")), 16);
  EXPECT_EQ(ParseWorkerLimit(QStringLiteral("&H40")), std::nullopt);  // 64
}

TEST(WorkerLimitFromSetting, UnusableValuesGiveFifteen) {
  for (const char* stored : {"", "3", "51", "abc", "4.5", "-20", "1e9", "1e999", "&X10"})
    EXPECT_EQ(WorkerLimitFromSetting(QString::fromLatin1(stored)), 15) << stored;
}

TEST(WorkerLimitFromSetting, RangeEndsAndRoundingHalfToEven) {
  EXPECT_EQ(WorkerLimitFromSetting(QStringLiteral("50")), 50);
  EXPECT_EQ(WorkerLimitFromSetting(QStringLiteral("5")), 5);
  EXPECT_EQ(WorkerLimitFromSetting(QStringLiteral("5.5")), 6);
  EXPECT_EQ(WorkerLimitFromSetting(QStringLiteral("6.5")), 6);
  EXPECT_EQ(WorkerLimitFromSetting(QStringLiteral("50.5")), 50);
  EXPECT_EQ(WorkerLimitFromSetting(QStringLiteral("20 threads")), 20);
  EXPECT_EQ(WorkerLimitFromSetting(QStringLiteral("&H10")), 16);
}

TEST(StoredWorkerLimit, ReadsMaxThreadFromTheSettings) {
  QTemporaryDir config;
  ASSERT_TRUE(config.isValid());
  setenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()).constData(), 1);
  EXPECT_EQ(StoredWorkerLimit(), 15);  // nothing stored
  const QString app = QString::fromLatin1(kSettingsApplication);
  const QString section = QString::fromLatin1(kSettingsSection);
  const std::pair<const char*, int> cases[] = {{"30", 30}, {"&H10", 16}, {"80", 15}};
  for (const auto& [stored, limit] : cases) {
    ASSERT_TRUE(
        SaveSettingValue(app, section, QStringLiteral("Max_Thread"), QString::fromLatin1(stored)));
    EXPECT_EQ(StoredWorkerLimit(), limit) << stored;
  }
  unsetenv("XDG_CONFIG_HOME");
}

TEST(AskWorkerLimit, AsksAgainSayingWhyUntilTheAnswerIsInRange) {
  QStringList answers{QStringLiteral("4"), QStringLiteral("abc"), QStringLiteral("20")};
  QStringList prompts, defaults;
  const auto limit = AskWorkerLimit(15, [&](const QString& prompt, const QString& def) {
    prompts << prompt;
    defaults << def;
    return answers.takeFirst();
  });
  EXPECT_EQ(limit, 20);
  ASSERT_EQ(prompts.size(), 3);
  EXPECT_EQ(prompts[0], QStringLiteral("请输入线程数（5-50）："));
  EXPECT_EQ(prompts[1],
            QStringLiteral("“4”不可用：线程数必须是 5 到 50 之间的整数。\n请输入线程数（5-50）："));
  EXPECT_TRUE(prompts[2].startsWith(QStringLiteral("“abc”不可用："))) << prompts[2].toStdString();
  EXPECT_EQ(defaults, QStringList({"15", "15", "15"}));
}

TEST(AskWorkerLimit, EmptyAnswerEndsWithoutChange) {
  int asked = 0;
  EXPECT_EQ(AskWorkerLimit(30,
                           [&](const QString&, const QString&) {
                             ++asked;
                             return QString();
                           }),
            std::nullopt);
  EXPECT_EQ(asked, 1);
}

}  // namespace
}  // namespace quenlo
