#pragma once

#include <QRect>
#include <cstdint>

class QPainter;

namespace trimora {

class PictureBox;

// Fills a rectangle with a two-colour linear gradient. Vertical: colour1 lies
// along the top row and colour2 along the bottom row; otherwise colour1 is the
// left column and colour2 the right one. Colours are 0x00BBGGRR.
void GradientRect(QPainter& dc, const QRect& rect, std::uint32_t colour1, std::uint32_t colour2,
                  bool vertical);

// Paints the whole box, top to bottom, from colour1 to colour2, and keeps the
// result as the box's picture so that it stays when the box is redrawn.
void PaintGradient(PictureBox& target, std::uint32_t colour1, std::uint32_t colour2);

}  // namespace trimora
