#include <gtest/gtest.h>

#include "TextRules.h"

using namespace trimora;

TEST(TextRules, ValReadsTheLeadingNumber) {
  EXPECT_EQ(numericValue("160"), 160);
  EXPECT_EQ(numericValue("12a"), 12);
  EXPECT_EQ(numericValue("  -7.25xyz"), -7.25);
  EXPECT_EQ(numericValue("1 2 3"), 123);  // blanks between digits are skipped
  EXPECT_EQ(numericValue("1x"), 1);
  EXPECT_EQ(numericValue("abc"), 0);
  EXPECT_EQ(numericValue(""), 0);
  EXPECT_EQ(numericValue("-"), 0);
  EXPECT_EQ(numericValue(".5"), 0.5);
  EXPECT_EQ(numericValue("-.5"), -0.5);
  EXPECT_EQ(numericValue("2.5e2"), 250);
  EXPECT_EQ(numericValue("2E-1"), 0.2);
  EXPECT_EQ(numericValue("12e"), 12);
  EXPECT_EQ(numericValue("+8"), 8);
  EXPECT_EQ(numericValue("1,5"), 1);        // only a point is a decimal separator
  EXPECT_GT(numericValue("9e999"), 1e300);  // saturates instead of overflowing
  EXPECT_EQ(numericValue("9e-999"), 0);
}

TEST(TextRules, DecimalTextIsTheShortestPlainForm) {
  EXPECT_EQ(decimalText(12.5), "12.5");
  EXPECT_EQ(decimalText(0), "0");
  EXPECT_EQ(decimalText(-0.0), "0");
  EXPECT_EQ(decimalText(160), "160");
  EXPECT_EQ(decimalText(-3), "-3");
  EXPECT_EQ(decimalText(0.1), "0.1");
  EXPECT_EQ(decimalText(numericValue("0012")), "12");
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
