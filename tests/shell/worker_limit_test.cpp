#include "shell/worker_limit.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace quenlo {
namespace {

TEST(LeadingNumber, ReadsTheNumberATextStartsWith) {
  EXPECT_EQ(LeadingNumber(QStringLiteral("12abc")), 12);
  EXPECT_EQ(LeadingNumber(QStringLiteral("  2 0 ")), 20);  // blanks are skipped
  EXPECT_EQ(LeadingNumber(QStringLiteral("4.5")), 4.5);
  EXPECT_EQ(LeadingNumber(QStringLiteral("-3")), -3);
  EXPECT_EQ(LeadingNumber(QStringLiteral("1e1x")), 10);
  EXPECT_EQ(LeadingNumber(QStringLiteral("7e")), 7);
  EXPECT_EQ(LeadingNumber(QStringLiteral("abc")), 0);
  EXPECT_EQ(LeadingNumber(QString()), 0);
  EXPECT_EQ(LeadingNumber(QStringLiteral("２０")), 0);  // only ASCII digits count
}

TEST(WorkerLimitFromSetting, UnusableValuesGiveFifteen) {
  for (const char* stored : {"", "3", "51", "abc", "4.5", "-20", "1e9"})
    EXPECT_EQ(WorkerLimitFromSetting(QString::fromLatin1(stored)), 15) << stored;
}

TEST(WorkerLimitFromSetting, RangeEndsAndRoundingHalfToEven) {
  EXPECT_EQ(WorkerLimitFromSetting(QStringLiteral("50")), 50);
  EXPECT_EQ(WorkerLimitFromSetting(QStringLiteral("5")), 5);
  EXPECT_EQ(WorkerLimitFromSetting(QStringLiteral("5.5")), 6);
  EXPECT_EQ(WorkerLimitFromSetting(QStringLiteral("50.5")), 50);
  EXPECT_EQ(WorkerLimitFromSetting(QStringLiteral("20 threads")), 20);
}

TEST(AskWorkerLimit, AsksAgainUntilTheAnswerIsInRange) {
  QStringList answers{QStringLiteral("4"), QStringLiteral("abc"), QStringLiteral("20")};
  QStringList prompts, defaults;
  const auto limit = AskWorkerLimit(15, [&](const QString& prompt, const QString& def) {
    prompts << prompt;
    defaults << def;
    return answers.takeFirst();
  });
  EXPECT_EQ(limit, 20);
  ASSERT_EQ(prompts.size(), 3);
  EXPECT_EQ(prompts.front(), QStringLiteral("请输入线程数（5-50）："));
  EXPECT_EQ(defaults, QStringList({"15", "15", "15"}));
}

TEST(AskWorkerLimit, EmptyAnswerEndsWithoutChange) {
  int asked = 0;
  EXPECT_EQ(AskWorkerLimit(30, [&](const QString&, const QString&) {
              ++asked;
              return QString();
            }),
            std::nullopt);
  EXPECT_EQ(asked, 1);
}

}  // namespace
}  // namespace quenlo
