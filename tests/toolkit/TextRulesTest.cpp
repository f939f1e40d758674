#include <gtest/gtest.h>

#include <cmath>

#include "TextRules.h"

using namespace trimora;

// Numbers typed into the boxes: the leading number (blanks between digits skipped, only a point
// as separator, saturating), its shortest plain text, and rounding half to even.
TEST(TextRules, LeadingNumberItsTextAndRounding) {
  // clang-format off
  for (auto [text, value] : {std::pair<const char*, double>{"160", 160}, {"12a", 12},
           {"  -7.25xyz", -7.25}, {"1 2 3", 123}, {"abc", 0}, {"", 0}, {"-", 0}, {".5", 0.5},
           {"-.5", -0.5}, {"2.5e2", 250}, {"2E-1", 0.2}, {"12e", 12}, {"+8", 8}, {"1,5", 1},
           {"9e-999", 0}})
    EXPECT_EQ(numericValue(text), value) << text;
  for (auto [value, text] : {std::pair<double, const char*>{12.5, "12.5"}, {-0.0, "0"},
           {160, "160"}, {-3, "-3"}, {0.1, "0.1"}})
    EXPECT_EQ(decimalText(value), text) << value;
  for (auto [value, rounded] : {std::pair<double, double>{2.5, 2}, {3.5, 4}, {0.5, 0},
           {-2.5, -2}, {2.4999, 2}, {2.5001, 3}})
    EXPECT_EQ(nearest(value), rounded) << value;
  // clang-format on
  EXPECT_GT(numericValue("9e999"), 1e300);
  EXPECT_EQ(nearestInt(1e20), std::numeric_limits<int>::max());
  EXPECT_EQ(nearestInt(std::nan("")), 0);
}
