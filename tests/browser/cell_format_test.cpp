#include "browser/cell_format.h"

#include <gtest/gtest.h>
#include <QDate>
#include <QDateTime>

namespace quenlo {
namespace {

TEST(FormatCellValue, RoundsDoublesToHundredthsWithHalvesToEven) {
  EXPECT_EQ(FormatCellValue(3.14159), "3.14");
  EXPECT_EQ(FormatCellValue(0.125), "0.12");
  EXPECT_EQ(FormatCellValue(0.375), "0.38");
  EXPECT_EQ(FormatCellValue(2.5), "2.5");
  EXPECT_EQ(FormatCellValue(2.0), "2");
  EXPECT_EQ(FormatCellValue(1234567.0), "1234567");  // no exponent form
  EXPECT_EQ(FormatCellValue(-0.001), "0");           // no "-0"
  EXPECT_EQ(FormatCellValue(-1.005), "-1");          // 1.005 is stored just below the half
}

TEST(FormatCellValue, ShowsDatesAsYearMonthDayAndThePlaceholderDateAsEmpty) {
  EXPECT_EQ(FormatCellValue(QDate(1900, 1, 1)), "");
  EXPECT_EQ(FormatCellValue(QDate(2008, 3, 7)), "2008.03.07");
  EXPECT_EQ(FormatCellValue(QDateTime(QDate(1900, 1, 1), QTime(0, 0))), "");
  EXPECT_EQ(FormatCellValue(QDateTime(QDate(2008, 3, 7), QTime(13, 45))), "2008.03.07");
}

TEST(FormatCellValue, MarksYesAndLeavesOtherValuesAsText) {
  EXPECT_EQ(FormatCellValue(true), "√");
  EXPECT_EQ(FormatCellValue(false), "");
  EXPECT_EQ(BoolMark(QVariant(1)), "√");
  EXPECT_EQ(FormatCellValue(42), "42");
  EXPECT_EQ(FormatCellValue(QStringLiteral("上海 0.125")), "上海 0.125");
  EXPECT_EQ(FormatCellValue(QVariant()), "");
}

}  // namespace
}  // namespace quenlo
