#pragma once

#include "TextRules.h"

// Control geometry is kept in twips, 15 to a logical pixel; only the toolkit
// converts to pixels.
namespace trimora {

inline constexpr int kTwipsPerPixel = 15;

inline int TwipsToPixels(double twips) {
  return nearestInt(twips / kTwipsPerPixel);
}
inline int PixelsToTwips(int pixels) {
  return pixels * kTwipsPerPixel;
}

}  // namespace trimora
