#include "Bitmap24.h"

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

// Surfaces by their surfaceHandle(), so that one bitmap can be the source or the target
// of another's block transfer.
struct SurfaceRegistry {
  std::mutex lock;
  std::unordered_map<SurfaceHandle, const Bitmap24*> surfaces;
  SurfaceHandle next = 0;
};

SurfaceRegistry& registry() {
  static SurfaceRegistry registry;
  return registry;
}

SurfaceHandle newHandle() {
  auto& r = registry();
  std::lock_guard guard(r.lock);
  if (++r.next == 0) ++r.next;
  return r.next;
}

// A bitmap larger than this is refused rather than attempted.
constexpr std::int64_t kMaxBitmapBytes = std::int64_t(1) << 31;

std::int64_t scanLineBytes(std::int64_t width) {
  return (width * 3 + 3) & ~std::int64_t(3);
}

// A ternary raster operation on bytes: bit i of the operation's code is the
// result for pattern, source and destination bits p s d with i = p*4 + s*2 + d.
// No brush is selected into a bitmap's surface, so the pattern is white.
std::uint8_t rop3(std::uint8_t code, std::uint8_t s, std::uint8_t d) {
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

void applyRop(RasterOp op, const std::uint8_t* src, std::uint8_t* dst, std::size_t n) {
  if (op == RasterOp::Copy) {
    std::memmove(dst, src, n);
    return;
  }
  const std::uint8_t code = std::uint8_t((std::uint32_t(op) >> 16) & 0xFF);
  for (std::size_t i = 0; i < n; ++i) dst[i] = rop3(code, src[i], dst[i]);
}

// The part of a w x h transfer from srcAt to dstAt that lies inside both
// surfaces, as offsets [x0, x1) x [y0, y1) from the origins.
struct Span {
  std::int64_t x0, x1, y0, y1;
  bool empty() const { return x0 >= x1 || y0 >= y1; }
};

Span clipTransfer(std::int64_t w, std::int64_t h, QPoint srcAt, QSize srcSize, QPoint dstAt,
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

bool isDirect32(QImage::Format f) {
  return f == QImage::Format_RGB32 || f == QImage::Format_ARGB32 ||
         f == QImage::Format_ARGB32_Premultiplied;
}

}  // namespace

Bitmap24::Bitmap24(MessageBoxService* messages) : mMessages(messages) {}

Bitmap24::~Bitmap24() {
  clear();
}

int Bitmap24::bytesPerLine() const {
  return int(scanLineBytes(mHeader.width));
}

void Bitmap24::clear() {
  if (mSurface != 0) {
    auto& r = registry();
    std::lock_guard guard(r.lock);
    r.surfaces.erase(mSurface);
  }
  mStorage.reset();
  mSurface = 0;
  mBitmap = 0;
  mBits = nullptr;
}

SurfaceHandle Bitmap24::allocatePixels(QSize size) {
  // The old pixels go first, also when the new ones cannot be had: pixels of
  // another size under the new header would be written past their end.
  mStorage.reset();
  mBits = nullptr;
  mHeader = BitmapHeader{};
  mHeader.width = size.width();
  mHeader.height = size.height();
  const std::int64_t bytes = scanLineBytes(size.width()) * std::int64_t(size.height());
  mHeader.imageSize = std::uint32_t(bytes);
  if (size.width() < 1 || size.height() < 1 || bytes > kMaxBitmapBytes) return 0;
  // Zeroed: the padding at the end of each row is part of the memory that
  // the bitmap hands out, and an encoder may read it.
  std::unique_ptr<std::uint8_t[]> pixels(new (std::nothrow) std::uint8_t[std::size_t(bytes)]());
  if (!pixels) return 0;
  mStorage = std::move(pixels);
  mBits = mStorage.get();
  return newHandle();
}

bool Bitmap24::create(QSize size) {
  clear();
  mBitmap = allocatePixels(size);
  if (mBitmap == 0) return false;
  mSurface = newHandle();
  auto& r = registry();
  std::lock_guard guard(r.lock);
  r.surfaces[mSurface] = this;
  return true;
}

void Bitmap24::createFromImage(const QImage& image) {
  if (!create(image.size())) return;
  copyFrom(image);
}

namespace {

// The bitmap registered under a surface handle, or null.
const Bitmap24* surfaceFor(SurfaceHandle handle) {
  if (handle == 0) return nullptr;
  auto& r = registry();
  std::lock_guard guard(r.lock);
  const auto found = r.surfaces.find(handle);
  return found == r.surfaces.end() ? nullptr : found->second;
}

// A negative side of size stands for that side of `whole`.
QSize sizeOr(QSize size, QSize whole) {
  return {size.width() < 0 ? whole.width() : size.width(),
          size.height() < 0 ? whole.height() : size.height()};
}

}  // namespace

bool Bitmap24::copyFrom(SurfaceHandle source, QPoint sourceTopLeft, QSize size, RasterOp op) {
  if (!mBits) return false;
  const Bitmap24* bitmap = surfaceFor(source);
  if (!bitmap) return false;
  return bitmap->paintOnto(mSurface, {0, 0}, sizeOr(size, this->size()), sourceTopLeft, op);
}

bool Bitmap24::copyFrom(const QImage& source, QPoint sourceTopLeft, QSize size, RasterOp op) {
  if (!mBits || source.isNull()) return false;
  size = sizeOr(size, this->size());
  const Span s =
      clipTransfer(size.width(), size.height(), sourceTopLeft, source.size(), {0, 0}, this->size());
  if (s.empty()) return true;
  QImage converted;
  const QImage* src = &source;
  QPoint at = sourceTopLeft;
  if (!isDirect32(source.format())) {
    // Convert only the part that is copied.
    converted =
        source.copy(int(at.x() + s.x0), int(at.y() + s.y0), int(s.x1 - s.x0), int(s.y1 - s.y0))
            .convertToFormat(QImage::Format_RGB32);
    if (converted.isNull()) return false;
    src = &converted;
    at = QPoint(int(-s.x0), int(-s.y0));
  }
  const std::size_t n = std::size_t(s.x1 - s.x0);
  std::vector<std::uint8_t> scratch(op == RasterOp::Copy ? 0 : n * 3);
  for (std::int64_t j = s.y0; j < s.y1; ++j) {
    const auto* in = reinterpret_cast<const std::uint32_t*>(src->constScanLine(int(at.y() + j))) +
                     (at.x() + s.x0);
    std::uint8_t* out = row(int(height() - 1 - j)) + s.x0 * 3;
    std::uint8_t* bgr = (op == RasterOp::Copy) ? out : scratch.data();
    for (std::size_t i = 0; i < n; ++i) {
      const std::uint32_t px = in[i];
      bgr[3 * i] = std::uint8_t(px);
      bgr[3 * i + 1] = std::uint8_t(px >> 8);
      bgr[3 * i + 2] = std::uint8_t(px >> 16);
    }
    if (op != RasterOp::Copy) applyRop(op, bgr, out, n * 3);
  }
  return true;
}

bool Bitmap24::paintOnto(SurfaceHandle target, QPoint targetTopLeft, QSize size,
                         QPoint sourceTopLeft, RasterOp op) const {
  if (!mBits) return false;
  const Bitmap24* bitmap = surfaceFor(target);
  if (!bitmap || !bitmap->mBits) return false;
  size = sizeOr(size, this->size());
  const Span s = clipTransfer(size.width(), size.height(), sourceTopLeft, this->size(),
                              targetTopLeft, bitmap->size());
  if (s.empty()) return true;
  const std::size_t n = std::size_t(s.x1 - s.x0) * 3;
  // Rows are copied top-down; when a bitmap paints onto itself, a downward
  // overlap is walked bottom-up instead so that no row is read after it was written.
  const bool upward = bitmap == this && targetTopLeft.y() > sourceTopLeft.y();
  for (std::int64_t k = s.y0; k < s.y1; ++k) {
    const std::int64_t j = upward ? s.y1 - 1 - (k - s.y0) : k;
    const std::uint8_t* in =
        row(int(height() - 1 - (sourceTopLeft.y() + j))) + (sourceTopLeft.x() + s.x0) * 3;
    std::uint8_t* out = bitmap->row(int(bitmap->height() - 1 - (targetTopLeft.y() + j))) +
                        (targetTopLeft.x() + s.x0) * 3;
    applyRop(op, in, out, n);
  }
  return true;
}

bool Bitmap24::paintOnto(QImage& target, QPoint targetTopLeft, QSize size, QPoint sourceTopLeft,
                         RasterOp op) const {
  if (!mBits || target.isNull() || !isDirect32(target.format())) return false;
  size = sizeOr(size, this->size());
  const Span s = clipTransfer(size.width(), size.height(), sourceTopLeft, this->size(),
                              targetTopLeft, target.size());
  if (s.empty()) return true;
  const std::size_t n = std::size_t(s.x1 - s.x0);
  std::vector<std::uint8_t> mixed(n * 3);
  for (std::int64_t j = s.y0; j < s.y1; ++j) {
    const std::uint8_t* in =
        row(int(height() - 1 - (sourceTopLeft.y() + j))) + (sourceTopLeft.x() + s.x0) * 3;
    auto* out = reinterpret_cast<std::uint32_t*>(target.scanLine(int(targetTopLeft.y() + j))) +
                (targetTopLeft.x() + s.x0);
    const std::uint8_t* bgr = in;
    if (op != RasterOp::Copy) {
      for (std::size_t i = 0; i < n; ++i) {
        mixed[3 * i] = std::uint8_t(out[i]);
        mixed[3 * i + 1] = std::uint8_t(out[i] >> 8);
        mixed[3 * i + 2] = std::uint8_t(out[i] >> 16);
      }
      applyRop(op, in, mixed.data(), n * 3);
      bgr = mixed.data();
    }
    for (std::size_t i = 0; i < n; ++i) {
      out[i] = 0xFF000000u | (std::uint32_t(bgr[3 * i + 2]) << 16) |
               (std::uint32_t(bgr[3 * i + 1]) << 8) | bgr[3 * i];
    }
  }
  return true;
}

bool Bitmap24::copyToClipboard(ClipboardFormat format) {
  if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return false;
  if (format == ClipboardFormat::DeviceIndependentBitmap) {
    if (mMessages) {
      mMessages->show(nullptr,
                      QStringLiteral("I don't know how to put a DIB on the clipboard! Copy as "
                                     "bitmap instead!!!"));
    }
    return false;
  }
  if (!mBits) return false;
  QImage copy(size(), QImage::Format_RGB32);
  if (copy.isNull() || !paintOnto(copy)) return false;
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (!clipboard) return false;
  clipboard->setImage(copy);
  return true;
}

void Bitmap24::fillWithNoise(Noise kind) {
  if (!mBits) return;
  std::mt19937 generator(unsigned(QTime::currentTime().msecsSinceStartOfDay() / 1000));
  std::uniform_real_distribution<float> draw(0.0f, 1.0f);
  const auto next = [&] { return std::uint8_t(nearestInt(double(draw(generator)) * 255.0)); };
  const int w = width();
  const int h = height();
  if (kind == Noise::Grey) {
    for (int y = 0; y < h; ++y) {
      std::uint8_t* line = row(y);
      for (int x = 0; x < w; ++x) {
        const std::uint8_t v = next();
        line[3 * x] = line[3 * x + 1] = line[3 * x + 2] = v;
      }
    }
  } else {
    for (int x = 0; x < w; ++x) {
      for (int y = 0; y < h; ++y) {
        std::uint8_t* px = row(y) + 3 * x;
        px[0] = 0;
        px[1] = next();
        px[2] = next();
      }
    }
  }
}

std::unique_ptr<Bitmap24> Bitmap24::resampled(QSize newSize) const {
  if (!mBits) return nullptr;
  auto result = std::make_unique<Bitmap24>(mMessages);
  if (!result->create(newSize)) return nullptr;
  if (newSize == size()) {
    result->copyFrom(mSurface);
  } else {
    resampleInto(*result);
  }
  return result;
}

void Bitmap24::resampleInto(Bitmap24& target) const {
  const int sw = width();
  const int sh = height();
  const int dw = target.width();
  const int dh = target.height();
  const float xs = float(sw - 1) / float(dw);
  const float ys = float(sh - 1) / float(dh);
  for (int y = 0; y < dh; ++y) {
    const float sy = ys * float(y);
    const int iy = int(std::floor(sy));
    const float fy = sy - float(iy);
    // A source one row high has no next row: the last row is read again.
    const std::uint8_t* row0 = row(iy);
    const std::uint8_t* row1 = row(std::min(iy + 1, sh - 1));
    std::uint8_t* out = target.row(y);
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
