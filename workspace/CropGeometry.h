#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <vector>

// The geometry of the crop view as plain functions over numbers, in pixels:
// which zoom a new picture is shown at, the canvas for a zoom, where the crop
// frame goes, how the view scrolls and pans. The widgets only apply them.
namespace trimora {

inline constexpr int kMinZoom = 5;
inline constexpr int kMaxZoom = 100;
// A shown picture is capped at this many pixels on its longer side, its aspect ratio kept; it
// bounds the memory of one shown picture.
inline constexpr int kMaxCanvasSide = 2000;
// Canvases smaller than this either way are raised to a square of this side.
inline constexpr int kMinCanvasSide = 100;

// The picture's size with its longer side capped at kMaxCanvasSide, the other in proportion.
QSize cappedPictureSize(QSize picture);

// Whether the cap applies to a picture for a frame: while the frame fits the capped picture at
// the full zoom. Otherwise the full zoom is the picture's own size, however large.
bool capApplies(QSize picture, QSize frame);

// The canvas asked of the loader at a zoom with the cap applied: the capped picture at the full
// zoom ((-1, -1) where the cap leaves the picture as it is), otherwise the zoom's share of it,
// raised to the minimum square where a side falls below it.
QSize canvasRequest(QSize picture, int zoom);

// The canvas for a picture at a zoom and a frame (the cap lifted where it does not apply; an
// empty frame: capped); empty for a picture of no size (one that cannot be read).
QSize canvasForZoom(QSize picture, int zoom, QSize frame = {});

// The scale the view shows the canvas at: 1 while the frame fits the view with 5 % of it to spare
// on each side, else the largest that leaves that margin. The frame and the view grow alike on a
// high-density screen, so the rule holds there in device pixels too.
double viewScale(QSize frame, QSize view);

// How a picture at a zoom is drawn for a view: the loader is asked for `request` with each
// side capped at maxSide. A view that shows the canvas as drawn has `canvas` empty (the canvas
// is the drawn picture); otherwise the picture is drawn at `scale` of `canvas`, the size the
// frame works in.
struct DisplayPlan {
  QSize request;
  int maxSide = 0;
  QSize canvas;
  double scale = 1.0;
};
DisplayPlan displayPlan(QSize picture, int zoom, QSize frame, QSize view);

// Where the picture is drawn on its canvas: all of it, but for the bands of a picture raised to
// the minimum square. Empty for a picture of no size.
QRect pictureArea(QSize picture, QSize canvas);

// Whether a frame fits on the drawn picture with room to spare: strictly smaller both ways.
bool frameFits(QSize frame, QSize picture);

// The zoom a newly selected picture starts from: the full zoom, the kept zoom
// with "Resize Lock", or the lowest zoom when "Max Crop Size" searches.
int startZoom(int currentZoom, bool resizeLock, bool maxCropSize);

// One pass of the fit loop: the zoom tried and the canvas it gives.
struct FitPass {
  int zoom = kMaxZoom;
  QSize canvas;
  bool fits = false;
};

// The fit loop for a picture: from `zoom`, and, when `searching`, up in steps
// of ten while the frame does not fit. Every pass tried is listed (each is
// reported on the status line); the picture is then drawn once, at `zoom`: the
// last pass's, or the full zoom when a search found none that fits.
struct FitPlan {
  std::vector<FitPass> passes;
  int zoom = kMaxZoom;
};
FitPlan planFit(QSize picture, QSize frame, int zoom, bool searching);

// What the status line says of a view scale below 1 ("1440 x 3120 shown at 42 %"); nothing at 1.
QString scaleStatus(QSize frame, double scale);

// The status line's text for a pass: the zoom when the frame fits below the
// full zoom, "Too small to crop" (after the zoom below the full one) when it
// does not, nothing at the full zoom with a frame that fits.
QString fitStatus(const FitPass& pass);

// The frame's top-left for the pointer at `pointer` (canvas pixels): centred on the pointer,
// kept on the drawn picture `area`.
QPoint frameForPointer(QPoint pointer, QSize frame, const QRect& area);

// A frame's top-left moved the least way that keeps it on the drawn picture `area`.
QPoint clampFrame(QPoint topLeft, QSize frame, const QRect& area);

// Whether the frame lies wholly on the drawn picture (flush with its edges counts).
bool frameOnPicture(const QRect& frame, const QRect& area);

// How far a canvas of `length` pixels scrolls in a view of `visible` pixels:
// until its last pixel meets the view's edge; 0 when it fits.
int scrollRange(int length, int visible);

// Where a canvas that fits the view starts, centred; 0 for one that does not.
int centredOffset(int length, int visible);

// Auto-pan: how many pixels one pass scrolls along one axis (negative:
// backwards), for a frame at `frameStart` (canvas pixels) of `frameLength`,
// the view scrolled to `scroll` of `maxScroll`, `visible` pixels wide.
inline constexpr int kPanStep = 3;
inline constexpr int kPanPasses = 6;
int autoPanStep(int frameStart, int frameLength, int scroll, int maxScroll, int visible);

}  // namespace trimora
