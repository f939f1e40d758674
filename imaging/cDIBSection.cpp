#include "cDIBSection.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTime>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>
#include <new>
#include <random>
#include <unordered_map>
#include <vector>

#include "Services.h"
#include "TextRules.h"

namespace trimora {

namespace {

// Surfaces by their hdc(), so that one bitmap can be the source or the target
// of another's block transfer.
struct SurfaceRegistry {
  std::mutex lock;
  std::unordered_map<SurfaceHandle, const cDIBSection*> surfaces;
  SurfaceHandle next = 0;
};

SurfaceRegistry& Registry() {
  static SurfaceRegistry registry;
  return registry;
}

SurfaceHandle NewHandle() {
  auto& r = Registry();
  std::lock_guard guard(r.lock);
  if (++r.next == 0) ++r.next;
  return r.next;
}

// A bitmap larger than this is refused rather than attempted.
constexpr std::int64_t kMaxBitmapBytes = std::int64_t(1) << 31;

std::int64_t ScanLineBytes(std::int64_t width) {
  return (width * 3 + 3) & ~std::int64_t(3);
}

// A ternary raster operation on bytes: bit i of the operation's code is the
// result for pattern, source and destination bits p s d with i = p*4 + s*2 + d.
// No brush is selected into a bitmap's surface, so the pattern is white.
std::uint8_t Rop3(std::uint8_t code, std::uint8_t s, std::uint8_t d) {
  const std::uint8_t p = 0xFF;
  std::uint8_t result = 0;
  for (int i = 0; i < 8; ++i) {
    if (!(code & (1 << i))) continue;
    const std::uint8_t pp = (i & 4) ? p : std::uint8_t(~p);
    const std::uint8_t ss = (i & 2) ? s : std::uint8_t(~s);
    const std::uint8_t dd = (i & 1) ? d : std::uint8_t(~d);
    result |= pp & ss & dd;
  }
  return result;
}

void ApplyRop(std::uint32_t rop, const std::uint8_t* src, std::uint8_t* dst, std::size_t n) {
  if (rop == SRCCOPY) {
    std::memmove(dst, src, n);
    return;
  }
  const std::uint8_t code = std::uint8_t((rop >> 16) & 0xFF);
  for (std::size_t i = 0; i < n; ++i) dst[i] = Rop3(code, src[i], dst[i]);
}

// The part of a w x h transfer from srcAt to dstAt that lies inside both
// surfaces, as offsets [x0, x1) x [y0, y1) from the origins.
struct Span {
  std::int64_t x0, x1, y0, y1;
  bool empty() const { return x0 >= x1 || y0 >= y1; }
};

Span ClipTransfer(std::int64_t w, std::int64_t h, QPoint srcAt, QSize srcSize, QPoint dstAt,
                  QSize dstSize) {
  Span s;
  s.x0 = std::max({std::int64_t(0), -std::int64_t(srcAt.x()), -std::int64_t(dstAt.x())});
  s.y0 = std::max({std::int64_t(0), -std::int64_t(srcAt.y()), -std::int64_t(dstAt.y())});
  s.x1 = std::min(
      {w, std::int64_t(srcSize.width()) - srcAt.x(), std::int64_t(dstSize.width()) - dstAt.x()});
  s.y1 = std::min(
      {h, std::int64_t(srcSize.height()) - srcAt.y(), std::int64_t(dstSize.height()) - dstAt.y()});
  return s;
}

bool IsDirect32(QImage::Format f) {
  return f == QImage::Format_RGB32 || f == QImage::Format_ARGB32 ||
         f == QImage::Format_ARGB32_Premultiplied;
}

}  // namespace

cDIBSection::cDIBSection(MessageBoxService* messages) : messages_(messages) {}

cDIBSection::~cDIBSection() {
  ClearUp();
}

int cDIBSection::BytesPerScanLine() const {
  return int(ScanLineBytes(info_.biWidth));
}

void cDIBSection::ClearUp() {
  if (memoryDC_ != 0) {
    auto& r = Registry();
    std::lock_guard guard(r.lock);
    r.surfaces.erase(memoryDC_);
  }
  storage_.reset();
  memoryDC_ = 0;
  dibHandle_ = 0;
  savedBitmap_ = 0;
  bits_ = nullptr;
}

bool cDIBSection::CreateDIB(SurfaceHandle lhDC, int lWidth, int lHeight, SurfaceHandle& hDib) {
  (void)lhDC;  // the surface only matters for palette bitmaps, which this class never makes
  hDib = 0;
  info_ = BitmapInfoHeader{};
  info_.biWidth = lWidth;
  info_.biHeight = lHeight;
  const std::int64_t bytes = ScanLineBytes(lWidth) * std::int64_t(lHeight);
  info_.biSizeImage = std::uint32_t(bytes);
  if (lWidth < 1 || lHeight < 1 || bytes > kMaxBitmapBytes) return false;
  // Zeroed, as a new device-independent bitmap is: the padding at the end of
  // each row is part of the bits that the bitmap hands out.
  std::unique_ptr<std::uint8_t[]> pixels(new (std::nothrow) std::uint8_t[std::size_t(bytes)]());
  if (!pixels) return false;
  storage_ = std::move(pixels);
  bits_ = storage_.get();
  hDib = NewHandle();
  return true;
}

bool cDIBSection::Create(int lWidth, int lHeight) {
  ClearUp();
  memoryDC_ = NewHandle();
  if (!CreateDIB(memoryDC_, lWidth, lHeight, dibHandle_)) {
    memoryDC_ = 0;
    bits_ = nullptr;
    storage_.reset();
    return false;
  }
  auto& r = Registry();
  std::lock_guard guard(r.lock);
  r.surfaces[memoryDC_] = this;
  return true;
}

void cDIBSection::CreateFromPicture(const QImage& picThis) {
  if (!Create(picThis.width(), picThis.height())) return;
  LoadPictureBlt(picThis);
}

bool cDIBSection::LoadPictureBlt(SurfaceHandle lhDC, int lSrcLeft, int lSrcTop, int lSrcWidth,
                                 int lSrcHeight, std::uint32_t eRop) {
  if (!bits_ || lhDC == 0) return false;
  auto& r = Registry();
  std::unique_lock guard(r.lock);
  const auto found = r.surfaces.find(lhDC);
  if (found == r.surfaces.end()) return false;
  const cDIBSection* source = found->second;
  guard.unlock();
  if (lSrcWidth < 0) lSrcWidth = Width();
  if (lSrcHeight < 0) lSrcHeight = Height();
  return source->PaintPicture(hdc(), 0, 0, lSrcWidth, lSrcHeight, lSrcLeft, lSrcTop, eRop);
}

bool cDIBSection::LoadPictureBlt(const QImage& source, int lSrcLeft, int lSrcTop, int lSrcWidth,
                                 int lSrcHeight, std::uint32_t eRop) {
  if (!bits_ || source.isNull()) return false;
  if (lSrcWidth < 0) lSrcWidth = Width();
  if (lSrcHeight < 0) lSrcHeight = Height();
  Span s = ClipTransfer(lSrcWidth, lSrcHeight, {lSrcLeft, lSrcTop}, source.size(), {0, 0},
                        {Width(), Height()});
  if (s.empty()) return true;
  QImage converted;
  const QImage* src = &source;
  QPoint at(lSrcLeft, lSrcTop);
  if (!IsDirect32(source.format())) {
    // Convert only the part that is copied.
    converted =
        source.copy(int(lSrcLeft + s.x0), int(lSrcTop + s.y0), int(s.x1 - s.x0), int(s.y1 - s.y0))
            .convertToFormat(QImage::Format_RGB32);
    if (converted.isNull()) return false;
    src = &converted;
    at = QPoint(int(-s.x0), int(-s.y0));
  }
  const std::size_t n = std::size_t(s.x1 - s.x0);
  std::vector<std::uint8_t> scratch(eRop == SRCCOPY ? 0 : n * 3);
  for (std::int64_t j = s.y0; j < s.y1; ++j) {
    const auto* in = reinterpret_cast<const std::uint32_t*>(src->constScanLine(int(at.y() + j))) +
                     (at.x() + s.x0);
    std::uint8_t* out = Row(int(Height() - 1 - j)) + s.x0 * 3;
    std::uint8_t* bgr = (eRop == SRCCOPY) ? out : scratch.data();
    for (std::size_t i = 0; i < n; ++i) {
      const std::uint32_t px = in[i];
      bgr[3 * i] = std::uint8_t(px);
      bgr[3 * i + 1] = std::uint8_t(px >> 8);
      bgr[3 * i + 2] = std::uint8_t(px >> 16);
    }
    if (eRop != SRCCOPY) ApplyRop(eRop, bgr, out, n * 3);
  }
  return true;
}

bool cDIBSection::PaintPicture(SurfaceHandle lhDC, int lDestLeft, int lDestTop, int lDestWidth,
                               int lDestHeight, int lSrcLeft, int lSrcTop,
                               std::uint32_t eRop) const {
  if (!bits_ || lhDC == 0) return false;
  auto& r = Registry();
  std::unique_lock guard(r.lock);
  const auto found = r.surfaces.find(lhDC);
  if (found == r.surfaces.end()) return false;
  const cDIBSection* target = found->second;
  guard.unlock();
  if (lDestWidth < 0) lDestWidth = Width();
  if (lDestHeight < 0) lDestHeight = Height();
  const Span s = ClipTransfer(lDestWidth, lDestHeight, {lSrcLeft, lSrcTop}, {Width(), Height()},
                              {lDestLeft, lDestTop}, {target->Width(), target->Height()});
  if (s.empty()) return true;
  const std::size_t n = std::size_t(s.x1 - s.x0) * 3;
  // Rows are copied top-down; when a bitmap paints onto itself, a downward
  // overlap is walked bottom-up instead so that no row is read after it was written.
  const bool upward = target == this && lDestTop > lSrcTop;
  for (std::int64_t k = s.y0; k < s.y1; ++k) {
    const std::int64_t j = upward ? s.y1 - 1 - (k - s.y0) : k;
    const std::uint8_t* in = Row(int(Height() - 1 - (lSrcTop + j))) + (lSrcLeft + s.x0) * 3;
    std::uint8_t* out =
        target->Row(int(target->Height() - 1 - (lDestTop + j))) + (lDestLeft + s.x0) * 3;
    ApplyRop(eRop, in, out, n);
  }
  return true;
}

bool cDIBSection::PaintPicture(QImage& target, int lDestLeft, int lDestTop, int lDestWidth,
                               int lDestHeight, int lSrcLeft, int lSrcTop,
                               std::uint32_t eRop) const {
  if (!bits_ || target.isNull() || !IsDirect32(target.format())) return false;
  if (lDestWidth < 0) lDestWidth = Width();
  if (lDestHeight < 0) lDestHeight = Height();
  const Span s = ClipTransfer(lDestWidth, lDestHeight, {lSrcLeft, lSrcTop}, {Width(), Height()},
                              {lDestLeft, lDestTop}, target.size());
  if (s.empty()) return true;
  const std::size_t n = std::size_t(s.x1 - s.x0);
  std::vector<std::uint8_t> mixed(n * 3);
  for (std::int64_t j = s.y0; j < s.y1; ++j) {
    const std::uint8_t* in = Row(int(Height() - 1 - (lSrcTop + j))) + (lSrcLeft + s.x0) * 3;
    auto* out =
        reinterpret_cast<std::uint32_t*>(target.scanLine(int(lDestTop + j))) + (lDestLeft + s.x0);
    const std::uint8_t* bgr = in;
    if (eRop != SRCCOPY) {
      for (std::size_t i = 0; i < n; ++i) {
        mixed[3 * i] = std::uint8_t(out[i]);
        mixed[3 * i + 1] = std::uint8_t(out[i] >> 8);
        mixed[3 * i + 2] = std::uint8_t(out[i] >> 16);
      }
      ApplyRop(eRop, in, mixed.data(), n * 3);
      bgr = mixed.data();
    }
    for (std::size_t i = 0; i < n; ++i) {
      out[i] = 0xFF000000u | (std::uint32_t(bgr[3 * i + 2]) << 16) |
               (std::uint32_t(bgr[3 * i + 1]) << 8) | bgr[3 * i];
    }
  }
  return true;
}

bool cDIBSection::CopyToClipboard(bool bAsDIB) {
  if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return false;
  if (bAsDIB) {
    if (messages_) {
      messages_->show(nullptr,
                      QStringLiteral("I don't know how to put a DIB on the clipboard! Copy as "
                                     "bitmap instead!!!"));
    }
    return false;
  }
  if (!bits_) return false;
  QImage copy(Width(), Height(), QImage::Format_RGB32);
  if (copy.isNull() || !PaintPicture(copy)) return false;
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (!clipboard) return false;
  clipboard->setImage(copy);
  return true;
}

void cDIBSection::RandomiseBits(bool bGray) {
  if (!bits_) return;
  std::mt19937 generator(unsigned(QTime::currentTime().msecsSinceStartOfDay() / 1000));
  std::uniform_real_distribution<float> draw(0.0f, 1.0f);
  const auto next = [&] { return std::uint8_t(nearestInt(double(draw(generator)) * 255.0)); };
  const int w = Width();
  const int h = Height();
  if (bGray) {
    for (int y = 0; y < h; ++y) {
      std::uint8_t* row = Row(y);
      for (int x = 0; x < w; ++x) {
        const std::uint8_t v = next();
        row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = v;
      }
    }
  } else {
    for (int x = 0; x < w; ++x) {
      for (int y = 0; y < h; ++y) {
        std::uint8_t* px = Row(y) + 3 * x;
        px[0] = 0;
        px[1] = next();
        px[2] = next();
      }
    }
  }
}

std::unique_ptr<cDIBSection> cDIBSection::Resample(int lNewHeight, int lNewWidth) const {
  if (!bits_) return nullptr;
  auto result = std::make_unique<cDIBSection>(messages_);
  if (!result->Create(lNewWidth, lNewHeight)) return nullptr;
  if (lNewWidth == Width() && lNewHeight == Height()) {
    result->LoadPictureBlt(hdc());
  } else {
    ResampleInto(*result);
  }
  return result;
}

void cDIBSection::ResampleInto(cDIBSection& target) const {
  const int sw = Width();
  const int sh = Height();
  const int dw = target.Width();
  const int dh = target.Height();
  const float xs = float(sw - 1) / float(dw);
  const float ys = float(sh - 1) / float(dh);
  for (int y = 0; y < dh; ++y) {
    const float sy = ys * float(y);
    const int iy = int(std::floor(sy));
    const float fy = sy - float(iy);
    // A source one row high has no next row: the last row is read again.
    const std::uint8_t* row0 = Row(iy);
    const std::uint8_t* row1 = Row(std::min(iy + 1, sh - 1));
    std::uint8_t* out = target.Row(y);
    for (int x = 0; x < dw; ++x) {
      const float sx = xs * float(x);
      const int ix = int(std::floor(sx));
      const float fx = sx - float(ix);
      const int c0 = ix * 3;
      const int c1 = std::min(ix + 1, sw - 1) * 3;
      for (int k = 0; k < 3; ++k) {
        const double left = nearest((1.0 - fy) * row0[c0 + k] + double(fy) * row1[c0 + k]);
        const double right = nearest((1.0 - fy) * row0[c1 + k] + double(fy) * row1[c1 + k]);
        const double value = nearest((1.0 - fx) * left + double(fx) * right);
        out[3 * x + k] = std::uint8_t(std::clamp(value, 0.0, 255.0));
      }
    }
  }
}

}  // namespace trimora
