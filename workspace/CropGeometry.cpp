#include "CropGeometry.h"

#include <algorithm>

#include "PictureLoader.h"
#include "TextRules.h"

namespace trimora {

QSize canvasRequest(QSize picture, int zoom) {
  if (zoom >= kMaxZoom) return {-1, -1};
  const int w = nearestInt(zoom / 100.0 * std::min(picture.width(), kMaxCanvasSide));
  const int h = nearestInt(zoom / 100.0 * std::min(picture.height(), kMaxCanvasSide));
  if (w < kMinCanvasSide || h < kMinCanvasSide) return {kMinCanvasSide, kMinCanvasSide};
  return {w, h};
}

QSize canvasForZoom(QSize picture, int zoom) {
  if (picture.width() <= 0 || picture.height() <= 0) return {0, 0};
  const QSize request = canvasRequest(picture, zoom);
  return canvasSizeFor(picture, request, kMaxCanvasSide);
}

bool frameFits(QSize frame, QSize canvas) {
  return frame.width() < canvas.width() && frame.height() < canvas.height();
}

int startZoom(int currentZoom, bool resizeLock, bool maxCropSize) {
  if (maxCropSize) return kMinZoom;
  return resizeLock ? currentZoom : kMaxZoom;
}

FitPlan planFit(QSize picture, QSize frame, int zoom, bool searching) {
  FitPlan plan;
  for (;;) {
    FitPass pass;
    pass.zoom = zoom;
    pass.canvas = canvasForZoom(picture, zoom);
    pass.fits = frameFits(frame, pass.canvas);
    plan.passes.push_back(pass);
    plan.zoom = zoom;
    if (!searching || pass.fits) break;
    if (zoom <= kMaxZoom - 10) {
      zoom += 10;
      continue;
    }
    plan.zoom = kMaxZoom;  // no zoom of the search fits: the picture at its own size
    break;
  }
  return plan;
}

QString fitStatus(const FitPass& pass) {
  const QString zoom = decimalText(pass.zoom) + QLatin1Char('%');
  if (pass.fits) return pass.zoom < kMaxZoom ? zoom : QString();
  return (pass.zoom != kMaxZoom ? zoom + QLatin1Char(' ') : QString()) +
         QStringLiteral("Too small to crop");
}

QPoint frameForPointer(QPoint pointer, QSize frame, QSize canvas) {
  const QPoint topLeft(nearestInt(pointer.x() - frame.width() / 2.0),
                       nearestInt(pointer.y() - frame.height() / 2.0));
  return clampFrame(topLeft, frame, canvas);
}

QPoint clampFrame(QPoint topLeft, QSize frame, QSize canvas) {
  int x = std::max(topLeft.x(), 0);
  int y = std::max(topLeft.y(), 0);
  if (x + frame.width() > canvas.width()) x = canvas.width() - frame.width();
  if (y + frame.height() > canvas.height()) y = canvas.height() - frame.height();
  return {x, y};
}

bool frameOnCanvas(const QRect& frame, QSize canvas) {
  return frame.left() >= 0 && frame.top() >= 0 && frame.x() + frame.width() <= canvas.width() &&
         frame.y() + frame.height() <= canvas.height();
}

int scrollRange(int length, int visible) {
  return std::max(length - visible, 0);
}

int centredOffset(int length, int visible) {
  return length <= visible ? nearestInt((visible - length) / 2.0) : 0;
}

int autoPanStep(int frameStart, int frameLength, int scroll, int maxScroll, int visible) {
  // Panning stops a step short of either end of the range; the scroll bar
  // itself reaches the ends.
  if (frameStart + frameLength - scroll > visible) {
    return maxScroll - kPanStep > scroll ? kPanStep : 0;
  }
  if (frameStart - scroll < 0) {
    return maxScroll > 2 * kPanStep && scroll - kPanStep > 0 ? -kPanStep : 0;
  }
  return 0;
}

}  // namespace trimora
