#pragma once

#include <QString>

// The number and text rules shared by every box, list and stored setting.
namespace trimora {

// Numeric value of a text: the number at its start (optional sign, digits, an
// optional decimal point with decimals, an optional exponent), blanks anywhere
// in between skipped. A text that does not start with a number is 0.
double numericValue(const QString& text);

// The shortest plain decimal text of a value: 12.5 -> "12.5", 0 -> "0", 3 -> "3".
QString decimalText(double value);

// Rounds to the nearest whole number, a half going to the even neighbour
// (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
double nearest(double value);

// nearest() limited to the int range, for indexes, sizes and zooms.
int nearestInt(double value);

}  // namespace trimora
