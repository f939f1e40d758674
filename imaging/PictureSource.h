#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>
#include <cstdint>
#include <memory>

// Reading one picture file: its header (size and EXIF orientation) and its
// pixels drawn at a chosen size. JPEG has its own decoder and cubic scaler
// (JpegStream), which work side by side on two threads; libvips does the work
// for the other formats it reads natively, and for any JPEG that decoder
// refuses. BMP and the other formats that libvips would hand to ImageMagick
// are read by Qt's own readers when Qt knows them, because ImageMagick takes
// hundreds of milliseconds just to start.
namespace trimora::imaging {

// Starts libvips once per process (safe to call again); false when it cannot start.
bool EnsureVips();

class PictureSource {
 public:
  // Reads the header of fileName; returns null when no reader accepts the file.
  static std::unique_ptr<PictureSource> Open(const QString& fileName);
  virtual ~PictureSource() = default;

  // The size as stored in the file, before the orientation is applied.
  QSize StoredSize() const { return stored_; }
  // EXIF orientation, 1 (upright) to 8.
  int Orientation() const { return orientation_; }
  // The size as shown: stored size with the sides swapped for orientations 5 to 8.
  QSize UprightSize() const;

  // Decodes the picture, scales it with a cubic filter (antialiased when
  // reducing) to exactly target.size() (upright), blends any transparency over
  // backColor (0x00BBGGRR) and writes it into canvas (Format_RGB32) at target,
  // which must lie inside the canvas. Decodes no more pixels than the scaling
  // needs. False when the pixels cannot be decoded; the canvas may then be
  // partly drawn.
  virtual bool DrawInto(QImage& canvas, const QRect& target, std::uint32_t backColor) = 0;

 protected:
  PictureSource(QSize stored, int orientation) : stored_(stored), orientation_(orientation) {}

 private:
  QSize stored_;
  int orientation_;
};

// Copies a packed 3-byte-per-pixel picture (R, G, B), src.width() x
// src.height() as stored, upright by `orientation` into the canvas at `at`.
struct PackedRGB {
  const std::uint8_t* data;
  int width;
  int height;
};
void CopyOriented(const PackedRGB& src, int orientation, QImage& canvas, QPoint at);

// The JPEG DCT scale denominator (1, 2, 4 or 8) that leaves at least twice
// the target size on both sides, or 1 when none does.
int JpegShrinkFor(QSize stored, QSize storedTarget);

}  // namespace trimora::imaging
