#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>
#include <cstdint>
#include <memory>
#include <utility>

// Reading one picture file: its header (size, EXIF orientation, colour profile, capture date)
// and its pixels drawn at a chosen size. The file's first bytes choose the reader, each named
// here on purpose: JPEG has its own decoder and cubic scaler (JpegStream), which work side by
// side on two threads; libvips reads PNG, GIF, WebP, TIFF and HEIF/AVIF (through libheif), and
// the CMYK JPEGs that decoder leaves; Qt reads BMP (this libvips would hand BMP to ImageMagick,
// which takes hundreds of milliseconds just to start). No other libvips reader can be reached,
// whatever a file holds or is named. Files of several pages show their first.
// Before any pixel is decoded, the memory the reader will hold is worked out
// from the header and checked against decodeBudget().
namespace trimora::imaging {

// Starts libvips once per process (safe to call again) with its untrusted
// readers blocked; false when it cannot start.
bool ensureVips();

// Why a picture is not shown.
struct Refusal {
  enum class Kind {
    None,          // nothing is refused
    Unreadable,    // not a picture of a known format, or its data cannot be decoded
    TooLarge,      // over the pixel bound or the decode budget
    NotInstalled,  // a known format whose reader this machine's libvips lacks
  };
  Kind kind = Kind::None;
  std::int64_t pixels = 0;       // the picture's pixel count, for TooLarge
  const char* format = nullptr;  // the format's name, for NotInstalled

  static Refusal unreadable() { return {Kind::Unreadable, 0}; }
  static Refusal tooLarge(QSize size) {
    return {Kind::TooLarge, std::int64_t(size.width()) * size.height()};
  }
  static Refusal notInstalled(const char* format) { return {Kind::NotInstalled, 0, format}; }
  explicit operator bool() const { return kind != Kind::None; }
};

class PictureSource {
 public:
  // Reads the header of fileName; returns null, and says why in *why when
  // given, when no reader accepts the file or it is too large to decode.
  static std::unique_ptr<PictureSource> open(const QString& fileName, Refusal* why = nullptr);
  virtual ~PictureSource() = default;

  // The size as stored in the file, before the orientation is applied.
  QSize storedSize() const { return mStored; }
  // EXIF orientation, 1 (upright) to 8.
  int orientation() const { return mOrientation; }
  // The embedded RGB profile that drawing converts from, empty when the pixels are drawn as
  // stored (no profile, or an sRGB one).
  const QByteArray& colourProfile() const { return mProfile; }
  // When the photo was taken (EXIF DateTimeOriginal, "YYYY:MM:DD HH:MM:SS"), empty if not known.
  const QString& captureDate() const { return mCaptureDate; }
  // What the last drawing could not do although it drew (a profile left unused), empty if nothing.
  const QString& note() const { return mNote; }
  // Converts drawn pixels (packed RGB) to sRGB when the picture has a profile, noting a refusal.
  void convertColours(std::uint8_t* pixels, int width, int height);
  // The size as shown: stored size with the sides swapped for orientations 5 to 8.
  QSize uprightSize() const;

  // Decodes the picture, scales it with a cubic filter (antialiased when
  // reducing) to exactly target.size() (upright), blends any transparency over
  // background and writes it into canvas (Format_RGB32) at target,
  // which must lie inside the canvas. Decodes no more pixels than the scaling
  // needs. Says why when the pixels cannot be decoded (nothing otherwise); the
  // canvas may then be partly drawn.
  Refusal drawInto(QImage& canvas, const QRect& target, const QColor& background) {
    return drawWindow(canvas, target.topLeft(), target.size(), {QPoint(0, 0), target.size()},
                      background);
  }
  // As drawInto, for the picture scaled to `size`, but only its part `window` (upright, within
  // size), written into canvas at `at`: the same pixels as that part of a whole drawing, without
  // holding it whole.
  virtual Refusal drawWindow(QImage& canvas, QPoint at, QSize size, const QRect& window,
                             const QColor& background) = 0;

 protected:
  PictureSource(QSize stored, int orientation) : mStored(stored), mOrientation(orientation) {}
  void setColourProfile(QByteArray icc) { mProfile = std::move(icc); }
  void setCaptureDate(QString date) { mCaptureDate = std::move(date); }

 private:
  QSize mStored;
  int mOrientation;
  QByteArray mProfile;
  QString mCaptureDate;
  QString mNote;
};

// Copies a packed 3-byte-per-pixel picture (R, G, B), src.width() x
// src.height() as stored, upright by `orientation` into the canvas at `at`.
struct PackedRGB {
  const std::uint8_t* data;
  int width;
  int height;
};
void copyOriented(const PackedRGB& src, int orientation, QImage& canvas, QPoint at);

// The stored pixels that an upright window of a picture of storedSize (as stored) shows under
// an orientation: copyOriented of those gives the window.
QRect storedWindow(const QRect& upright, QSize storedSize, int orientation);

// The JPEG DCT scale denominator (1, 2, 4 or 8) that leaves at least twice
// the target size on both sides, or 1 when none does.
int jpegShrinkFor(QSize stored, QSize storedTarget);

}  // namespace trimora::imaging
