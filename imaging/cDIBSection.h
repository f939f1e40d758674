#pragma once

#include <QImage>
#include <cstdint>
#include <memory>

namespace trimora {

class MessageBoxService;

// The header that describes a cDIBSection's pixels, laid out as the classic
// 40-byte device-independent bitmap header.
struct BitmapInfoHeader {
  std::uint32_t biSize = 40;
  std::int32_t biWidth = 0;
  std::int32_t biHeight = 0;  // positive: rows stored bottom-up
  std::uint16_t biPlanes = 1;
  std::uint16_t biBitCount = 24;
  std::uint32_t biCompression = 0;
  std::uint32_t biSizeImage = 0;
  std::int32_t biXPelsPerMeter = 0;
  std::int32_t biYPelsPerMeter = 0;
  std::uint32_t biClrUsed = 0;
  std::uint32_t biClrImportant = 0;
};

// Handle of a drawing surface: a cDIBSection's hdc() or hDib(). 0 is no surface.
using SurfaceHandle = std::uintptr_t;

// Raster operations of a block transfer (ternary codes over pattern, source and
// destination). Only SRCCOPY is used by the program itself.
inline constexpr std::uint32_t SRCCOPY = 0x00CC0020;
inline constexpr std::uint32_t SRCPAINT = 0x00EE0086;
inline constexpr std::uint32_t SRCAND = 0x008800C6;
inline constexpr std::uint32_t SRCINVERT = 0x00660046;
inline constexpr std::uint32_t NOTSRCCOPY = 0x00330008;
inline constexpr std::uint32_t BLACKNESS = 0x00000042;
inline constexpr std::uint32_t WHITENESS = 0x00FF0062;

// A 24-bit picture in memory that the program's own loops and the JPEG encoder
// reach in place: pixels blue, green, red; each row padded to a multiple of 4
// bytes; rows stored bottom-up, so pixel (x, y) counted from the top-left lies
// at byte (Height - 1 - y) * BytesPerScanLine + 3 * x from DIBSectionBitsPtr.
//
// hdc() and hDib() are opaque handles of the surface, non-zero while the object
// holds pixels and 0 when it is empty; another cDIBSection's hdc() can be the
// source of LoadPictureBlt or the target of PaintPicture. Width and Height keep
// reporting the last size asked of Create, also after ClearUp.
class cDIBSection {
 public:
  // messages shows CopyToClipboard's one message; null shows nothing.
  explicit cDIBSection(MessageBoxService* messages = nullptr);
  ~cDIBSection();
  cDIBSection(const cDIBSection&) = delete;
  cDIBSection& operator=(const cDIBSection&) = delete;

  // Width * 3 rounded up to a multiple of 4.
  int BytesPerScanLine() const;
  // Releases the pixels and both handles.
  void ClearUp();
  // Puts a copy of the picture on the system clipboard. With bAsDIB it shows a
  // message instead and returns false. False also when the object is empty or
  // there is no clipboard.
  bool CopyToClipboard(bool bAsDIB = false);
  // Empties the object, then makes a lWidth x lHeight bitmap whose pixels are
  // not initialised. False (object empty) for a side below 1 or when the memory
  // cannot be had.
  bool Create(int lWidth, int lHeight);
  // Fills the header for lWidth x lHeight and allocates the pixels; hDib
  // receives the new bitmap's handle, or 0 on failure.
  bool CreateDIB(SurfaceHandle lhDC, int lWidth, int lHeight, SurfaceHandle& hDib);
  // Makes the bitmap the size of picThis and copies its pixels in, converted to
  // the 24-bit layout (alpha is dropped). A null picture leaves the object empty.
  void CreateFromPicture(const QImage& picThis);
  std::uint8_t* DIBSectionBitsPtr() const { return bits_; }
  SurfaceHandle hdc() const { return memoryDC_; }
  SurfaceHandle hDib() const { return dibHandle_; }
  int Height() const { return info_.biHeight; }
  // Copies lSrcWidth x lSrcHeight pixels (negative: this bitmap's size) from
  // (lSrcLeft, lSrcTop) of the source to (0, 0) of this bitmap, clipped to both.
  // False when either side has no pixels or the source is not a known surface.
  bool LoadPictureBlt(SurfaceHandle lhDC, int lSrcLeft = 0, int lSrcTop = 0, int lSrcWidth = -1,
                      int lSrcHeight = -1, std::uint32_t eRop = SRCCOPY);
  bool LoadPictureBlt(const QImage& source, int lSrcLeft = 0, int lSrcTop = 0, int lSrcWidth = -1,
                      int lSrcHeight = -1, std::uint32_t eRop = SRCCOPY);
  // Copies from (lSrcLeft, lSrcTop) of this bitmap to (lDestLeft, lDestTop) of
  // the target, lDestWidth x lDestHeight (negative: this bitmap's size), clipped,
  // never stretched. A QImage target must be one of the 32-bit RGB formats.
  bool PaintPicture(SurfaceHandle lhDC, int lDestLeft = 0, int lDestTop = 0, int lDestWidth = -1,
                    int lDestHeight = -1, int lSrcLeft = 0, int lSrcTop = 0,
                    std::uint32_t eRop = SRCCOPY) const;
  bool PaintPicture(QImage& target, int lDestLeft = 0, int lDestTop = 0, int lDestWidth = -1,
                    int lDestHeight = -1, int lSrcLeft = 0, int lSrcTop = 0,
                    std::uint32_t eRop = SRCCOPY) const;
  // Random pixels, seeded from the seconds since midnight: grey, or with blue 0
  // and random green and red.
  void RandomiseBits(bool bGray = false);
  // A new bitmap of lNewWidth x lNewHeight (note the order), an exact copy at the
  // same size, bilinearly resampled otherwise; null when this one is empty or
  // the new one cannot be made.
  std::unique_ptr<cDIBSection> Resample(int lNewHeight, int lNewWidth) const;
  int Width() const { return info_.biWidth; }

  const BitmapInfoHeader& BitmapInfo() const { return info_; }

 private:
  void ResampleInto(cDIBSection& target) const;
  std::uint8_t* Row(int memoryRow) const {
    return bits_ + std::ptrdiff_t(memoryRow) * BytesPerScanLine();
  }

  SurfaceHandle dibHandle_ = 0;
  SurfaceHandle savedBitmap_ = 0;
  SurfaceHandle memoryDC_ = 0;
  std::uint8_t* bits_ = nullptr;
  BitmapInfoHeader info_;
  std::unique_ptr<std::uint8_t[]> storage_;
  MessageBoxService* messages_ = nullptr;
};

}  // namespace trimora
