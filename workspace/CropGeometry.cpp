#include "CropGeometry.h"

#include <algorithm>

#include "PictureLoader.h"
#include "TextRules.h"

namespace trimora {

QSize cappedPictureSize(QSize picture) {
  const int longer = std::max(picture.width(), picture.height());
  if (longer <= kMaxCanvasSide) return picture;
  return {std::max(1, nearestInt(double(picture.width()) * kMaxCanvasSide / longer)),
          std::max(1, nearestInt(double(picture.height()) * kMaxCanvasSide / longer))};
}

QSize canvasRequest(QSize picture, int zoom) {
  const QSize capped = cappedPictureSize(picture);
  if (zoom >= kMaxZoom) return capped == picture ? QSize(-1, -1) : capped;
  const int w = nearestInt(zoom / 100.0 * capped.width());
  const int h = nearestInt(zoom / 100.0 * capped.height());
  if (w < kMinCanvasSide || h < kMinCanvasSide) return {kMinCanvasSide, kMinCanvasSide};
  return {w, h};
}

bool capApplies(QSize picture, QSize frame) {
  return frameFits(frame, cappedPictureSize(picture));
}

QSize canvasForZoom(QSize picture, int zoom, QSize frame) {
  if (picture.width() <= 0 || picture.height() <= 0) return {0, 0};
  if (capApplies(picture, frame))
    return canvasSizeFor(picture, canvasRequest(picture, zoom), kMaxCanvasSide);
  const QSize scaled(nearestInt(zoom / 100.0 * picture.width()),
                     nearestInt(zoom / 100.0 * picture.height()));
  if (scaled.width() < kMinCanvasSide || scaled.height() < kMinCanvasSide)
    return {kMinCanvasSide, kMinCanvasSide};
  return scaled;
}

DisplayPlan displayPlan(QSize picture, int zoom, QSize frame, QSize view) {
  const QSize canvas = canvasForZoom(picture, zoom, frame);
  const double scale = viewScale(frame, view);
  if (canvas.isEmpty() || (scale >= 1.0 && capApplies(picture, frame)))
    return {canvasRequest(picture, zoom), kMaxDisplaySide, {}, scale};
  // Only the canvas at the view's scale is drawn; a cut draws its own part at full size.
  const QSize shown(std::max(1, nearestInt(canvas.width() * scale)),
                    std::max(1, nearestInt(canvas.height() * scale)));
  return {shown, 0, canvas, scale};
}

double viewScale(QSize frame, QSize view) {
  if (frame.isEmpty() || view.isEmpty()) return 1.0;
  constexpr double kRoom = 0.9;  // 5 % of the view free on each side
  return std::min(
      {1.0, kRoom * view.width() / frame.width(), kRoom * view.height() / frame.height()});
}

QRect pictureArea(QSize picture, QSize canvas) {
  if (picture.isEmpty() || canvas.isEmpty()) return {};
  return fitRect(picture, canvas, Qt::KeepAspectRatio) & QRect(QPoint(0, 0), canvas);
}

bool frameFits(QSize frame, QSize picture) {
  return frame.width() < picture.width() && frame.height() < picture.height();
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
    pass.canvas = canvasForZoom(picture, zoom, frame);
    pass.fits = frameFits(frame, pictureArea(picture, pass.canvas).size());
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

QString scaleStatus(QSize frame, double scale) {
  if (scale >= 1.0) return {};
  return QStringLiteral("%1 x %2 shown at %3 %")
      .arg(frame.width())
      .arg(frame.height())
      .arg(std::max(1, nearestInt(scale * 100)));
}

QString fitStatus(const FitPass& pass) {
  const QString zoom = decimalText(pass.zoom) + QLatin1Char('%');
  if (pass.fits) return pass.zoom < kMaxZoom ? zoom : QString();
  return (pass.zoom != kMaxZoom ? zoom + QLatin1Char(' ') : QString()) +
         QStringLiteral("Too small to crop");
}

QPoint frameForPointer(QPoint pointer, QSize frame, const QRect& area) {
  const QPoint topLeft(nearestInt(pointer.x() - frame.width() / 2.0),
                       nearestInt(pointer.y() - frame.height() / 2.0));
  return clampFrame(topLeft, frame, area);
}

QPoint clampFrame(QPoint topLeft, QSize frame, const QRect& area) {
  int x = std::max(topLeft.x(), area.x());
  int y = std::max(topLeft.y(), area.y());
  if (x + frame.width() > area.x() + area.width()) x = area.x() + area.width() - frame.width();
  if (y + frame.height() > area.y() + area.height()) y = area.y() + area.height() - frame.height();
  return {x, y};
}

bool frameOnPicture(const QRect& frame, const QRect& area) {
  return area.contains(frame);
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
