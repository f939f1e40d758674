#pragma once

#include <QImage>
#include <QPoint>
#include <QSize>
#include <cstdint>
#include <memory>

namespace trimora {

class MessageBoxService;

// The header that describes a Bitmap24's pixels, laid out as the classic
// 40-byte device-independent bitmap header.
struct BitmapHeader {
  std::uint32_t headerSize = 40;
  std::int32_t width = 0;
  std::int32_t height = 0;  // positive: rows stored bottom-up
  std::uint16_t planes = 1;
  std::uint16_t bitsPerPixel = 24;
  std::uint32_t compression = 0;
  std::uint32_t imageSize = 0;  // bytes of pixel memory, row padding included
  std::int32_t xPixelsPerMetre = 0;
  std::int32_t yPixelsPerMetre = 0;
  std::uint32_t coloursUsed = 0;
  std::uint32_t coloursImportant = 0;
};
static_assert(sizeof(BitmapHeader) == 40);

// Handle of a drawing surface: a Bitmap24's surfaceHandle() or bitmapHandle().
// 0 is no surface.
using SurfaceHandle = std::uintptr_t;

// How a block transfer combines source and destination bytes: the ternary
// raster codes over pattern, source and destination (the pattern is white).
// The program itself only copies.
enum class RasterOp : std::uint32_t {
  Copy = 0x00CC0020,          // source
  Or = 0x00EE0086,            // source | destination
  And = 0x008800C6,           // source & destination
  Xor = 0x00660046,           // source ^ destination
  CopyInverted = 0x00330008,  // ~source
  Black = 0x00000042,
  White = 0x00FF0062,
};

// A 24-bit picture in memory that the program's own loops and the JPEG encoder
// reach in place: pixels blue, green, red; each row padded to a multiple of 4
// bytes; rows stored bottom-up, so pixel (x, y) counted from the top-left lies
// at byte (height() - 1 - y) * bytesPerLine() + 3 * x from bits().
//
// surfaceHandle() and bitmapHandle() are opaque handles, non-zero while the
// object holds pixels and 0 when it is empty; another Bitmap24's
// surfaceHandle() can be the source of copyFrom or the target of paintOnto.
// width() and height() keep reporting the last size asked of create, also
// after clear().
class Bitmap24 {
 public:
  // messages shows copyToClipboard's one message; null shows nothing.
  explicit Bitmap24(MessageBoxService* messages = nullptr);
  ~Bitmap24();
  Bitmap24(const Bitmap24&) = delete;
  Bitmap24& operator=(const Bitmap24&) = delete;

  int width() const { return mHeader.width; }
  int height() const { return mHeader.height; }
  QSize size() const { return {width(), height()}; }
  // width() * 3 rounded up to a multiple of 4.
  int bytesPerLine() const;
  const BitmapHeader& header() const { return mHeader; }
  // The pixel memory (header().imageSize bytes), or null when empty.
  std::uint8_t* bits() { return mBits; }
  const std::uint8_t* constBits() const { return mBits; }
  SurfaceHandle surfaceHandle() const { return mSurface; }
  SurfaceHandle bitmapHandle() const { return mBitmap; }

  // Empties the object, then makes a bitmap of size with zeroed pixels and a
  // surface. False (object empty) for a side below 1 or when the memory
  // cannot be had.
  bool create(QSize size);
  // The lower half of create: sets the header for size and allocates zeroed
  // pixels, without a surface. Returns the new pixels' handle, or 0 (and no
  // pixels) when the size is refused or the memory cannot be had.
  SurfaceHandle allocatePixels(QSize size);
  // Makes the bitmap the size of image and copies its pixels in, converted to
  // the 24-bit layout (alpha is dropped). A null image leaves the object empty.
  void createFromImage(const QImage& image);
  // Releases the pixels and both handles.
  void clear();

  // Copies size pixels (a negative side: this bitmap's) from sourceTopLeft of
  // the source to (0, 0) of this bitmap, clipped to both. False when either
  // side has no pixels or the source is not a known surface.
  bool copyFrom(SurfaceHandle source, QPoint sourceTopLeft = {}, QSize size = {},
                RasterOp op = RasterOp::Copy);
  bool copyFrom(const QImage& source, QPoint sourceTopLeft = {}, QSize size = {},
                RasterOp op = RasterOp::Copy);
  // Copies size pixels (a negative side: this bitmap's) from sourceTopLeft of
  // this bitmap to targetTopLeft of the target, clipped, never stretched. False
  // when either side has no pixels, the target is not a known surface or (a
  // QImage) not one of the 32-bit RGB formats.
  bool paintOnto(SurfaceHandle target, QPoint targetTopLeft = {}, QSize size = {},
                 QPoint sourceTopLeft = {}, RasterOp op = RasterOp::Copy) const;
  bool paintOnto(QImage& target, QPoint targetTopLeft = {}, QSize size = {},
                 QPoint sourceTopLeft = {}, RasterOp op = RasterOp::Copy) const;

  enum class ClipboardFormat { Image, DeviceIndependentBitmap };
  // Puts a copy of the picture on the system clipboard as an image. The
  // device-independent format is not offered: it shows a message instead and
  // returns false. False also when the object is empty or there is no clipboard.
  bool copyToClipboard(ClipboardFormat format = ClipboardFormat::Image);

  enum class Noise { GreenAndRed, Grey };
  // Random pixels, seeded from the seconds since midnight: grey, or with blue
  // 0 and random green and red.
  void fillWithNoise(Noise kind = Noise::GreenAndRed);

  // A new bitmap of newSize: an exact copy at the same size, bilinearly
  // resampled otherwise; null when this one is empty or the new one cannot be made.
  std::unique_ptr<Bitmap24> resampled(QSize newSize) const;

 private:
  void resampleInto(Bitmap24& target) const;
  std::uint8_t* row(int memoryRow) const {
    return mBits + std::ptrdiff_t(memoryRow) * bytesPerLine();
  }

  SurfaceHandle mBitmap = 0;
  SurfaceHandle mSurface = 0;
  std::uint8_t* mBits = nullptr;
  BitmapHeader mHeader;
  std::unique_ptr<std::uint8_t[]> mStorage;
  MessageBoxService* mMessages = nullptr;
};

}  // namespace trimora
