#include "TextRules.h"

#include <cfenv>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace trimora {

namespace {

bool isBlank(QChar c) {
  return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

}  // namespace

double numericValue(const QString& text) {
  // Gather the characters of the leading number with blanks removed, then let
  // the standard parser read them; it copes with long digit runs and exponents.
  std::string number;
  int i = 0;
  const int n = text.size();
  auto skipBlanks = [&] {
    while (i < n && isBlank(text[i])) ++i;
  };
  auto takeDigits = [&] {
    int count = 0;
    for (skipBlanks(); i < n && text[i].isDigit() && text[i].unicode() < 128; skipBlanks()) {
      number += char(text[i].unicode());
      ++i;
      ++count;
    }
    return count;
  };

  skipBlanks();
  if (i < n && (text[i] == u'+' || text[i] == u'-')) {
    if (text[i] == u'-') number += '-';
    ++i;
  }
  int digits = takeDigits();
  if (i < n && text[i] == u'.') {
    number += '.';
    ++i;
    digits += takeDigits();
  }
  if (digits == 0) return 0.0;
  if (i < n && (text[i] == u'e' || text[i] == u'E' || text[i] == u'd' || text[i] == u'D')) {
    const std::string mantissa = number;
    const int save = i;
    ++i;
    skipBlanks();
    std::string exponent = "e";
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
      exponent += char(text[i].unicode());
      ++i;
    }
    number += exponent;
    if (takeDigits() == 0) {
      number = mantissa;  // "12e" is just 12
      i = save;
    }
  }
  if (number.size() > 1 && number[0] == '-' && number[1] == '.') number.insert(1, "0");
  if (number[0] == '.') number.insert(0, "0");
  double value = 0.0;
  const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    // Too large or too small for a double: saturate rather than give garbage.
    const bool negative = number[0] == '-';
    const bool hugeExponent = number.find("e-") == std::string::npos;
    if (hugeExponent)
      return negative ? -std::numeric_limits<double>::max() : std::numeric_limits<double>::max();
    return 0.0;
  }
  return value;
}

QString decimalText(double value) {
  if (value == 0.0 || !std::isfinite(value)) return QStringLiteral("0");
  if (std::fabs(value) < 1e15 && value == std::trunc(value))
    return QString::number(static_cast<long long>(value));
  // Up to 15 significant digits, as much as a double reliably holds; trailing
  // zeros dropped by the 'g' format.
  QString text = QString::number(value, 'g', 15);
  return text;
}

double nearest(double value) {
  // nearbyint honours the current rounding mode, which is round-half-to-even
  // unless someone changed it; make sure of it locally.
  const int previous = std::fegetround();
  if (previous != FE_TONEAREST) std::fesetround(FE_TONEAREST);
  const double result = std::nearbyint(value);
  if (previous != FE_TONEAREST) std::fesetround(previous);
  return result;
}

int nearestInt(double value) {
  if (std::isnan(value)) return 0;
  const double r = nearest(value);
  if (r >= double(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
  if (r <= double(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
  return static_cast<int>(r);
}

}  // namespace trimora
