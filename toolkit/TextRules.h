#pragma once

#include <QColor>
#include <QString>
#include <cstdint>

// The number and text rules shared by every box, list and stored setting.
namespace trimora {

// Numeric value of a text: the number at its start (optional sign, digits, an
// optional decimal point with decimals, an optional exponent), blanks anywhere
// in between skipped. A text that does not start with a number is 0.
double Val(const QString& text);

// The shortest plain decimal text of a value: 12.5 -> "12.5", 0 -> "0", 3 -> "3".
QString DecimalText(double value);

// Rounds to the nearest whole number, a half going to the even neighbour
// (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
double nearest(double value);

// nearest() limited to the int range, for indexes, sizes and zooms.
int nearestInt(double value);

// Colours are stored as 0x00BBGGRR, red in the lowest byte.
QColor ColorFromBGR(std::uint32_t bbggrr);
std::uint32_t BGRFromColor(const QColor& color);

}  // namespace trimora
