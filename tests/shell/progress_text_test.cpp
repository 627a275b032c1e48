#include "shell/progress_text.h"
#include "shell/duration_format.h"
#include "shell/terminal_progress.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <cstdio>

namespace quenlo {
namespace {

TEST(FormatDuration, DropsLeadingZeroFields) {
  EXPECT_EQ(FormatDuration(7), "0:7");
  EXPECT_EQ(FormatDuration(125), "2:5");
  EXPECT_EQ(FormatDuration(3725), "1:2:5");
  EXPECT_EQ(FormatDuration(0), "0:0");
  EXPECT_EQ(FormatDuration(-40), "0:0");
  EXPECT_EQ(FormatDuration(59 * 3600 + 59 * 60 + 59), "59:59:59");
  EXPECT_EQ(FormatDuration(60 * 3600 + 1), "1:0:0:1");
}

// A clock the test moves by hand. What Fn returns reads the clock, so the
// clock must outlive it: a temporary clock cannot hand one out.
struct FakeClock {
  qint64 now = 1000;
  ProgressText::Clock Fn() & {
    return [this] { return now; };
  }
};

TEST(ProgressText, LongRunShowsTenthsOfAPercentAndKeepsTextsBelowThem) {
  FakeClock clock;
  ProgressText text(clock.Fn());
  int start = 0;
  text.Begin(QStringLiteral("下载会员"), 2000, start);

  auto first = text.Step(1, QStringLiteral("pages"));
  EXPECT_EQ(first.percent, "0%");
  EXPECT_FALSE(first.counts.has_value());
  EXPECT_FALSE(first.times.has_value());

  clock.now += 4;
  auto second = text.Step(1, QStringLiteral("pages"));
  EXPECT_EQ(second.percent, "0.1%");
  EXPECT_EQ(second.counts, "(2/2000)");
  EXPECT_EQ(second.times, "0:4/1:6:36/1:6:40");  // 4 s for 0.1 % of the run
  EXPECT_EQ(text.Position(), 2);
}

TEST(ProgressText, PercentAndTimes) {
  FakeClock clock;
  ProgressText text(clock.Fn());
  int start = 0;
  text.Begin(QStringLiteral("x"), 3, start);
  EXPECT_EQ(text.Step(1, QString()).percent, "33.3%");

  text.Begin(QStringLiteral("x"), 4, start = 0);
  clock.now += 10;
  const auto quarter = text.Step(1, QStringLiteral("Pages"));  // any case
  EXPECT_EQ(quarter.percent, "25%");
  EXPECT_EQ(quarter.times, "0:10/0:30/0:40");
  EXPECT_EQ(quarter.counts, "(1/4)");
  EXPECT_EQ(text.Step(5, QString()).percent, "150%");  // beyond the total
}

TEST(ProgressText, UnitOtherThanPagesBecomesTheCaption) {
  FakeClock clock;
  ProgressText text(clock.Fn());
  int start = 5;
  text.Begin(QStringLiteral("删除"), 10, start);
  const auto step = text.Step(0, QStringLiteral("正在删除地址记录……"));
  EXPECT_EQ(step.caption, "正在删除地址记录……");
  EXPECT_EQ(step.percent, "50%");
  EXPECT_FALSE(step.counts.has_value());
  EXPECT_EQ(text.Caption(), "正在删除地址记录……");
  EXPECT_EQ(text.Position(), 5);

  const auto plain = text.Step(1, QString());
  EXPECT_FALSE(plain.caption.has_value());
  EXPECT_FALSE(plain.times.has_value());
  EXPECT_EQ(plain.percent, "60%");
}

TEST(ProgressText, NegativeStartContinuesAndZeroTotalDoesNotDivideByZero) {
  FakeClock clock;
  ProgressText text(clock.Fn());
  int start = 0;
  text.Begin(QStringLiteral("a"), 100, start);
  text.SetPosition(37);
  start = -1;
  text.Begin(QStringLiteral("b"), 0, start);
  EXPECT_EQ(start, 37);
  EXPECT_EQ(text.Position(), 37);
  EXPECT_EQ(text.Fraction(), 37.0);
  EXPECT_EQ(text.Step(1, QStringLiteral("pages")).counts, "(38/1)");
}

TEST(TerminalProgress, RewritesOneLineAndEndsIt) {
  std::FILE* out = std::tmpfile();
  ASSERT_NE(out, nullptr);
  FakeClock clock;
  {
    TerminalProgress progress(out, clock.Fn(), TerminalProgress::Style::Rewrite);
    int start = 0;
    progress.Begin(QStringLiteral("下载会员名"), 4, start);
    clock.now += 10;
    progress.Step(1, QStringLiteral("pages"));
    EXPECT_EQ(progress.Line(), "下载会员名  25%  (1/4)  0:10/0:30/0:40");
    progress.Step(1, QString());  // keeps counts and times
    EXPECT_EQ(progress.Line(), "下载会员名  50%  (1/4)  0:10/0:30/0:40");
    progress.End();
  }
  std::rewind(out);
  char buffer[512] = {};
  const size_t read = std::fread(buffer, 1, sizeof buffer - 1, out);
  std::fclose(out);
  const QString written = QString::fromLocal8Bit(buffer, qsizetype(read));
  EXPECT_EQ(written.count(u'\n'), 1);
  EXPECT_TRUE(written.endsWith(u'\n'));
  EXPECT_EQ(written.count(u'\r'), 3);  // one rewrite per Begin and Step
}

TEST(TerminalProgress, WritesALogOneLinePerTenthOfTheWay) {
  std::FILE* out = std::tmpfile();
  ASSERT_NE(out, nullptr);
  FakeClock clock;
  {
    TerminalProgress progress(out, clock.Fn(), TerminalProgress::Style::Log);
    int start = 0;
    progress.Begin(QStringLiteral("导出"), 100, start);
    for (int i = 0; i < 100; ++i) progress.Step(1, QStringLiteral("pages"));
    progress.End();
  }
  std::rewind(out);
  char buffer[4096] = {};
  const size_t read = std::fread(buffer, 1, sizeof buffer - 1, out);
  std::fclose(out);
  const QStringList lines =
      QString::fromLocal8Bit(buffer, qsizetype(read)).split(u'\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 11);  // 0 % and each tenth up to 100 %
  EXPECT_FALSE(lines.join(QString()).contains(u'\r'));
  EXPECT_TRUE(lines.last().startsWith(QStringLiteral("导出  100%  (100/100)")));
}

}  // namespace
}  // namespace quenlo
