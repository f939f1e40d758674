#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>
#include <atomic>
#include <cstdint>
#include <optional>

// Picture loading for the whole program: reads a picture file and draws it,
// upright (EXIF orientation applied), into a canvas of a requested size with a
// high-quality cubic filter. Nothing here ever shows a message or throws; a file
// that cannot be read gives no picture, and the loads say why in a short text
// that the caller may show.
namespace trimora {

class Bitmap24;

// Keeps the imaging library started while it lives. The library starts once
// per process and cannot be started again after a shutdown, so the end of this
// object releases only the picture buffers of the thread that ends it; a later
// object (a window opened after another closed) loads pictures as before.
// Loads work without one too: the first load starts the library.
class ImagingLibrary {
 public:
  ImagingLibrary();
  ~ImagingLibrary();
  ImagingLibrary(const ImagingLibrary&) = delete;
  ImagingLibrary& operator=(const ImagingLibrary&) = delete;

  // False when the library could not start: no picture can then be loaded.
  bool isRunning() const { return mRunning; }

 private:
  bool mRunning = false;
};

// While one lives, the loads on its thread stop early once *abandoned turns true: the JPEG
// decoder and libvips' readers look at it before each block of rows, and the load then gives no
// picture. For a picture drawn ahead of need that nobody wants any more; a caller that set the
// flag throws away whatever the load returns.
class LoadAbandonment {
 public:
  explicit LoadAbandonment(const std::atomic<bool>* abandoned);
  ~LoadAbandonment();
  LoadAbandonment(const LoadAbandonment&) = delete;
  LoadAbandonment& operator=(const LoadAbandonment&) = delete;

 private:
  const std::atomic<bool>* mOuter;
};
// Whether the load running on this thread is to stop.
bool loadAbandoned();
// The flag of this thread's LoadAbandonment, if any: for work this thread hands to others.
const std::atomic<bool>* loadAbandonmentFlag();

// The size of the picture in a file as it is shown (upright), read from the
// file's header only; nothing when the file cannot be read or is refused.
std::optional<QSize> pictureFileSize(const QString& fileName);

// When the photo in a file was taken (EXIF DateTimeOriginal, "YYYY:MM:DD HH:MM:SS"), read from
// its header; empty when the file does not say or cannot be read.
QString pictureCaptureDate(const QString& fileName);

// Draws the picture in fileName into a canvas of request.width() x
// request.height() filled with background. A side given as -1 takes the
// picture's own size, then each side is capped at maxSide on its own
// (maxSide <= 0: no cap). With Qt::IgnoreAspectRatio the picture is stretched
// over the whole canvas, otherwise it is fitted inside and centred (fitRect);
// transparent parts show background. Returns a Format_RGB32 image of exactly
// that canvas size, converted to sRGB when the file carries another RGB colour profile.
// Returns a null image when the file is not a JPEG, PNG, GIF, BMP, WebP, TIFF, HEIC or AVIF
// picture (by its content, whatever its name), does not decode, the
// canvas would be empty or larger than kMaxCanvasPixels, or the picture is
// larger than kMaxPicturePixels or would need more than the decode budget
// (imaging/DecodeBudget.h) to decode. Then *whyNot, when given, is
// cannotReadPictureText() (with ": HEIC support is not installed" and the like when this
// machine cannot read the format) or tooLargePictureText(). It is emptied when a picture is
// drawn or the file name is empty, unless the picture was drawn without the colour conversion its
// profile asks for: then it says so (profileNotUsedText()).
//
// Memory: besides the canvas, a load holds the picture at its drawn size, the
// rows a streaming reader keeps, and what the decoder must hold whole: the
// coefficients of a progressive JPEG, the frame of a GIF, an interlaced PNG or
// a BMP. Each is worked out from the header before decoding and kept within
// the decode budget (512 MB).
QImage loadScaledPicture(const QString& fileName, QSize request, const QColor& background,
                         Qt::AspectRatioMode mode, int maxSide, QString* whyNot = nullptr);

// The picture as the workspace shows it: loadScaledPicture fitted on white,
// each side capped at kMaxDisplaySide.
QImage loadDisplayPicture(const QString& fileName, QSize request, QString* whyNot = nullptr);
inline constexpr int kMaxDisplaySide = 2000;

// The part `region` of the canvas that loadScaledPicture(fileName, canvasSize, Qt::white,
// Qt::KeepAspectRatio, 0) would draw, pixel for pixel, without drawing or holding the rest: a cut
// at full size from a picture shown smaller. Null, with *whyNot said, when the file cannot be
// drawn or the region leaves the canvas.
QImage loadPictureRegion(const QString& fileName, QSize canvasSize, const QRect& region,
                         QString* whyNot = nullptr);

// The same part, into `out` (made at the region's size) for a cut. A JPEG at its own size,
// upright as stored, goes from the decoder into the bitmap with nothing held between; any other
// picture through the drawing above. False, with *whyNot said, when it cannot be drawn.
bool loadPictureRegion(const QString& fileName, QSize canvasSize, const QRect& region,
                       Bitmap24& out, QString* whyNot = nullptr);

// The status texts for a picture that is not shown: one that cannot be read
// ("Cannot read picture"), and one too large to decode, with its size in
// whole megapixels ("Picture too large to open (268 MP)").
QString cannotReadPictureText();
QString tooLargePictureText(std::int64_t pixels);

// The canvas that loadScaledPicture uses for a picture of pictureSize when
// asked for request: -1 takes the picture's side, then each side is capped at
// maxSide (when maxSide > 0). Needs no decoding, so a caller can plan on sizes alone.
QSize canvasSizeFor(QSize pictureSize, QSize request, int maxSide);

// Where the picture lands on the canvas. Qt::IgnoreAspectRatio: the whole
// canvas. Otherwise the largest rectangle of the picture's aspect ratio inside
// the canvas, centred, every figure rounded to the nearest whole number with
// halves going to the even one.
QRect fitRect(QSize pictureSize, QSize canvas, Qt::AspectRatioMode mode);

// A canvas larger than this many pixels is refused (only reachable with maxSide <= 0).
inline constexpr std::int64_t kMaxCanvasPixels = std::int64_t(1) << 26;
// A picture larger than this many pixels is refused before any pixel is
// decoded, so a small file that declares a vast picture cannot tie the program up.
inline constexpr std::int64_t kMaxPicturePixels = std::int64_t(1) << 28;

}  // namespace trimora
