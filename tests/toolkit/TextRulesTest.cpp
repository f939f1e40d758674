#include <gtest/gtest.h>

#include "TextRules.h"

using namespace trimora;

TEST(TextRules, ValReadsTheLeadingNumber) {
  EXPECT_EQ(Val("160"), 160);
  EXPECT_EQ(Val("12a"), 12);
  EXPECT_EQ(Val("  -7.25xyz"), -7.25);
  EXPECT_EQ(Val("1 2 3"), 123);  // blanks between digits are skipped
  EXPECT_EQ(Val("1x"), 1);
  EXPECT_EQ(Val("abc"), 0);
  EXPECT_EQ(Val(""), 0);
  EXPECT_EQ(Val("-"), 0);
  EXPECT_EQ(Val(".5"), 0.5);
  EXPECT_EQ(Val("-.5"), -0.5);
  EXPECT_EQ(Val("2.5e2"), 250);
  EXPECT_EQ(Val("2E-1"), 0.2);
  EXPECT_EQ(Val("12e"), 12);
  EXPECT_EQ(Val("+8"), 8);
  EXPECT_EQ(Val("1,5"), 1);        // only a point is a decimal separator
  EXPECT_GT(Val("9e999"), 1e300);  // saturates instead of overflowing
  EXPECT_EQ(Val("9e-999"), 0);
}

TEST(TextRules, DecimalTextIsTheShortestPlainForm) {
  EXPECT_EQ(DecimalText(12.5), "12.5");
  EXPECT_EQ(DecimalText(0), "0");
  EXPECT_EQ(DecimalText(-0.0), "0");
  EXPECT_EQ(DecimalText(160), "160");
  EXPECT_EQ(DecimalText(-3), "-3");
  EXPECT_EQ(DecimalText(0.1), "0.1");
  EXPECT_EQ(DecimalText(Val("0012")), "12");
}

TEST(TextRules, NearestRoundsHalvesToEven) {
  EXPECT_EQ(nearest(2.5), 2);
  EXPECT_EQ(nearest(3.5), 4);
  EXPECT_EQ(nearest(1.5), 2);
  EXPECT_EQ(nearest(0.5), 0);
  EXPECT_EQ(nearest(-2.5), -2);
  EXPECT_EQ(nearest(2.4999), 2);
  EXPECT_EQ(nearest(2.5001), 3);
  EXPECT_EQ(nearestInt(1e20), std::numeric_limits<int>::max());
  EXPECT_EQ(nearestInt(std::nan("")), 0);
}

TEST(TextRules, ColoursKeepRedInTheLowestByte) {
  const QColor statusBlue = ColorFromBGR(0x9C5536);
  EXPECT_EQ(statusBlue.red(), 54);
  EXPECT_EQ(statusBlue.green(), 85);
  EXPECT_EQ(statusBlue.blue(), 156);
  EXPECT_EQ(BGRFromColor(QColor(0, 0, 255)), 0xFF0000u);
  EXPECT_EQ(BGRFromColor(ColorFromBGR(0x80FFFF)), 0x80FFFFu);
}
