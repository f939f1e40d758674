#include "PictureSource.h"

#include "GDIPlus.h"
#include "JpegStream.h"

#include <sys/stat.h>
#include <QColor>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>
#include <vips/vips8>

namespace trimora::imaging {

using vips::VError;
using vips::VImage;
using vips::VSource;

namespace {

void IgnoreLibraryMessage(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}

struct VipsFree {
  void operator()(void* p) const { g_free(p); }
};

bool IsStoredSizeAcceptable(QSize size) {
  return size.width() > 0 && size.height() > 0 &&
         std::int64_t(size.width()) * size.height() <= kMaxPicturePixels;
}

QRgb RgbFromBGR(std::uint32_t bbggrr) {
  return qRgb(int(bbggrr & 0xFF), int((bbggrr >> 8) & 0xFF), int((bbggrr >> 16) & 0xFF));
}

// Brings a decoded picture into the form the scaler and the copy expect:
// 8-bit sRGB, three bands, transparency blended over the background.
VImage ToOpaqueRGB(VImage image, std::uint32_t backColor) {
  const VipsInterpretation interpretation = image.interpretation();
  if (interpretation != VIPS_INTERPRETATION_sRGB || image.format() != VIPS_FORMAT_UCHAR) {
    image = image.colourspace(VIPS_INTERPRETATION_sRGB);
  }
  if (image.has_alpha()) {
    const std::vector<double> background = {double(backColor & 0xFF),
                                            double((backColor >> 8) & 0xFF),
                                            double((backColor >> 16) & 0xFF)};
    image = image.flatten(VImage::option()->set("background", background));
  }
  if (image.bands() > 3) image = image.extract_band(0, VImage::option()->set("n", 3));
  if (image.bands() == 1) image = VImage::bandjoin({image, image, image});
  if (image.format() != VIPS_FORMAT_UCHAR) image = image.cast(VIPS_FORMAT_UCHAR);
  return image;
}

// Scales to exactly width x height with the cubic kernel; libvips widens the
// kernel when reducing, which is what keeps a reduction free of aliasing.
VImage ScaleTo(VImage image, int width, int height) {
  if (image.width() != width || image.height() != height) {
    image = image.resize(double(width) / image.width(),
                         VImage::option()
                             ->set("vscale", double(height) / image.height())
                             ->set("kernel", VIPS_KERNEL_CUBIC));
  }
  // The scaler rounds its output size; mend a pixel lost or gained to rounding.
  if (image.width() != width || image.height() != height) {
    image = image.embed(0, 0, width, height, VImage::option()->set("extend", VIPS_EXTEND_COPY));
  }
  return image;
}

bool SinkInto(VImage image, int orientation, QImage& canvas, const QRect& target) {
  const QSize storedTarget = (orientation >= 5) ? target.size().transposed() : target.size();
  image = ScaleTo(image, storedTarget.width(), storedTarget.height());
  size_t bytes = 0;
  std::unique_ptr<void, VipsFree> pixels(image.write_to_memory(&bytes));
  if (!pixels || bytes != size_t(storedTarget.width()) * size_t(storedTarget.height()) * 3) {
    return false;
  }
  CopyOriented(
      {static_cast<const std::uint8_t*>(pixels.get()), storedTarget.width(), storedTarget.height()},
      orientation, canvas, target.topLeft());
  return true;
}

// Formats that libvips reads itself, streamed and (for JPEG) scaled while decoding.
class VipsPictureSource final : public PictureSource {
 public:
  VipsPictureSource(QSize stored, int orientation, QByteArray path, std::string loader,
                    VImage header)
      : PictureSource(stored, orientation),
        path_(std::move(path)),
        loader_(std::move(loader)),
        header_(std::move(header)) {}

  static VImage Load(const std::string& loader, const QByteArray& path, int shrink) {
    VImage out;
    vips::VOption* options = VImage::option()
                                 ->set("access", VIPS_ACCESS_SEQUENTIAL)
                                 ->set("fail_on", VIPS_FAIL_ON_TRUNCATED);
    if (shrink > 1) options->set("shrink", shrink);
    if (loader.ends_with("_source")) {
      options->set("source", VSource::new_from_file(path.constData()));
    } else {
      options->set("filename", path.constData());
    }
    VImage::call(loader.c_str(), options->set("out", &out));
    return out;
  }

  bool DrawInto(QImage& canvas, const QRect& target, std::uint32_t backColor) override {
    try {
      // The image opened for the header decodes once; another draw reads the file afresh.
      VImage image = std::exchange(header_, VImage());
      int shrink = 1;
      if (loader_ == "jpegload_source") {
        const QSize storedTarget =
            (Orientation() >= 5) ? target.size().transposed() : target.size();
        shrink = JpegShrinkFor(StoredSize(), storedTarget);
        if (DrawJpeg(shrink, storedTarget, canvas, target.topLeft())) return true;
      }
      if (shrink > 1 || image.is_null()) image = Load(loader_, path_, shrink);
      return SinkInto(ToOpaqueRGB(image, backColor), Orientation(), canvas, target);
    } catch (const VError&) {
      vips_error_clear();
      return false;
    }
  }

 private:
  // JPEG goes through its own decoder, which scales rows while the next ones
  // decode (see bench/README.md); anything it refuses goes to libvips.
  bool DrawJpeg(int shrink, QSize storedTarget, QImage& canvas, QPoint at) {
    const QSize scaled((StoredSize().width() + shrink - 1) / shrink,
                       (StoredSize().height() + shrink - 1) / shrink);
    std::vector<std::uint8_t> pixels;
    if (!DecodeJpegScaled(path_, shrink, scaled, storedTarget, pixels)) return false;
    CopyOriented({pixels.data(), storedTarget.width(), storedTarget.height()}, Orientation(),
                 canvas, at);
    return true;
  }

  QByteArray path_;
  std::string loader_;
  VImage header_;
};

// Formats read through Qt (BMP above all). Qt decodes the whole picture, within
// its allocation limit, and applies any orientation itself.
class QtPictureSource final : public PictureSource {
 public:
  QtPictureSource(QSize stored, QString path) : PictureSource(stored, 1), path_(std::move(path)) {}

  bool DrawInto(QImage& canvas, const QRect& target, std::uint32_t backColor) override {
    QImageReader reader(path_);
    reader.setAutoTransform(true);
    QImage decoded = reader.read();
    if (decoded.isNull()) return false;
    QImage flat;
    if (decoded.hasAlphaChannel()) {
      flat = QImage(decoded.size(), QImage::Format_RGB32);
      if (flat.isNull()) return false;
      flat.fill(RgbFromBGR(backColor));
      QPainter painter(&flat);
      painter.drawImage(0, 0, decoded);
    } else {
      flat = std::move(decoded).convertToFormat(QImage::Format_RGB32);
    }
    decoded = QImage();
    if (flat.isNull()) return false;
    // As JPEG's reduced DCT scales do, average down to twice the target first:
    // the cubic pass over a picture many times its output size is slow (a
    // strip thousands of pixels tall takes seconds) and gains nothing visible.
    const QSize twice(std::min(flat.width(), 2 * target.width()),
                      std::min(flat.height(), 2 * target.height()));
    if (twice != flat.size()) {
      flat = flat.scaled(twice, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
      if (flat.isNull()) return false;
    }
    try {
      // Bytes B, G, R, X in memory; bands 2, 1, 0 give R, G, B.
      VImage image = VImage::new_from_memory(flat.bits(), size_t(flat.sizeInBytes()), flat.width(),
                                             flat.height(), 4, VIPS_FORMAT_UCHAR);
      if (flat.bytesPerLine() != flat.width() * 4) return false;
      image = VImage::bandjoin({image[2], image[1], image[0]});
      image.set("interpretation", VIPS_INTERPRETATION_sRGB);
      return SinkInto(image, 1, canvas, target);
    } catch (const VError&) {
      vips_error_clear();
      return false;
    }
  }

 private:
  QString path_;
};

bool StartsWithBmpSignature(const QString& fileName) {
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly)) return false;
  char head[2] = {};
  return file.read(head, 2) == 2 && head[0] == 'B' && head[1] == 'M';
}

// The size in a BMP file's headers, or an empty size when they do not hold
// together. Qt's reader reports a size even for a few stray bytes after "BM".
QSize BmpHeaderSize(const QString& fileName) {
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QByteArray h = file.read(30);
  if (h.size() < 26) return {};
  const auto u16 = [&](int at) { return int(quint8(h[at])) | int(quint8(h[at + 1])) << 8; };
  const auto u32 = [&](int at) { return quint32(u16(at)) | quint32(u16(at + 2)) << 16; };
  const quint32 headerSize = u32(14);
  const quint32 dataOffset = u32(10);
  int width = 0, height = 0, planes = 0, bits = 0;
  if (headerSize == 12) {
    width = u16(18), height = u16(20), planes = u16(22), bits = u16(24);
  } else if (headerSize >= 40 && headerSize <= 124 && h.size() >= 30) {
    width = qint32(u32(18)), height = qint32(u32(22)), planes = u16(26), bits = u16(28);
  } else {
    return {};
  }
  const bool knownDepth =
      bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
  if (planes != 1 || !knownDepth || width <= 0 || height == 0 || height == INT_MIN ||
      dataOffset < 14 + headerSize || dataOffset >= quint64(file.size())) {
    return {};
  }
  return {width, std::abs(height)};
}

std::unique_ptr<PictureSource> OpenWithQt(const QString& fileName, bool bmp) {
  QImageReader reader(fileName);
  reader.setAutoTransform(true);
  if (!reader.canRead()) return nullptr;
  QSize size = bmp ? BmpHeaderSize(fileName) : reader.size();
  if (size.isEmpty()) return nullptr;
  if (reader.transformation() & QImageIOHandler::TransformationRotate90) size.transpose();
  if (!IsStoredSizeAcceptable(size)) return nullptr;
  return std::make_unique<QtPictureSource>(size, fileName);
}

std::unique_ptr<PictureSource> OpenWithVips(const QString& fileName, std::string loader) {
  const QByteArray path = QFile::encodeName(fileName);
  try {
    VImage header = VipsPictureSource::Load(loader, path, 1);
    const QSize stored(header.width(), header.height());
    int orientation = vips_image_get_orientation(header.get_image());
    if (orientation < 1 || orientation > 8) orientation = 1;
    return std::make_unique<VipsPictureSource>(stored, orientation, path, std::move(loader),
                                               std::move(header));
  } catch (const VError&) {
    vips_error_clear();
    return nullptr;
  }
}

}  // namespace

bool EnsureVips() {
  static bool started = [] {
    if (VIPS_INIT("trimora") != 0) {
      vips_error_clear();
      return false;
    }
    // Every load reads its file afresh (a file may change between two looks),
    // and a cached operation would keep a whole decoded picture alive.
    vips_cache_set_max(0);
    g_log_set_handler("VIPS", G_LOG_LEVEL_WARNING, IgnoreLibraryMessage, nullptr);
    std::atexit([] { vips_shutdown(); });
    return true;
  }();
  return started;
}

QSize PictureSource::UprightSize() const {
  return orientation_ >= 5 ? stored_.transposed() : stored_;
}

std::unique_ptr<PictureSource> PictureSource::Open(const QString& fileName) {
  // Only regular files: opening a named pipe would wait for a writer forever.
  struct stat info {};
  if (fileName.isEmpty() || ::stat(QFile::encodeName(fileName).constData(), &info) != 0 ||
      !S_ISREG(info.st_mode) || !EnsureVips()) {
    return nullptr;
  }
  std::unique_ptr<PictureSource> source;
  if (StartsWithBmpSignature(fileName)) {
    source = OpenWithQt(fileName, true);
  } else {
    std::string loader;
    try {
      VSource file = VSource::new_from_file(QFile::encodeName(fileName).constData());
      // The finder answers with the loader's type name; operations go by nickname.
      if (const char* name = vips_foreign_find_load_source(file.get_source())) {
        if (const char* nickname = vips_nickname_find(g_type_from_name(name))) loader = nickname;
      }
    } catch (const VError&) {
      vips_error_clear();
    }
    if (loader.empty() || loader.starts_with("magickload")) {
      source = OpenWithQt(fileName, false);
      // ImageMagick reads no sources in this libvips; its file loader is the last resort.
      if (!source && !loader.empty()) source = OpenWithVips(fileName, "magickload");
    } else {
      source = OpenWithVips(fileName, loader);
    }
  }
  if (source && !IsStoredSizeAcceptable(source->StoredSize())) source.reset();
  return source;
}

int JpegShrinkFor(QSize stored, QSize storedTarget) {
  for (int shrink : {8, 4, 2}) {
    const int w = (stored.width() + shrink - 1) / shrink;
    const int h = (stored.height() + shrink - 1) / shrink;
    if (w >= 2 * storedTarget.width() && h >= 2 * storedTarget.height()) return shrink;
  }
  return 1;
}

void CopyOriented(const PackedRGB& src, int orientation, QImage& canvas, QPoint at) {
  const bool swap = orientation >= 5;
  const int outW = swap ? src.height : src.width;
  const int outH = swap ? src.width : src.height;
  const std::size_t rowBytes = std::size_t(src.width) * 3;
  // Per output pixel (u, v): the stored pixel is base + u * du + v * dv.
  std::ptrdiff_t first = 0, du = 3, dv = std::ptrdiff_t(rowBytes);
  const std::ptrdiff_t lastCol = std::ptrdiff_t(src.width - 1) * 3;
  const std::ptrdiff_t lastRow = std::ptrdiff_t(src.height - 1) * std::ptrdiff_t(rowBytes);
  switch (orientation) {
    case 2:
      first = lastCol, du = -3, dv = std::ptrdiff_t(rowBytes);
      break;
    case 3:
      first = lastRow + lastCol, du = -3, dv = -std::ptrdiff_t(rowBytes);
      break;
    case 4:
      first = lastRow, du = 3, dv = -std::ptrdiff_t(rowBytes);
      break;
    case 5:
      first = 0, du = std::ptrdiff_t(rowBytes), dv = 3;
      break;
    case 6:
      first = lastRow, du = -std::ptrdiff_t(rowBytes), dv = 3;
      break;
    case 7:
      first = lastRow + lastCol, du = -std::ptrdiff_t(rowBytes), dv = -3;
      break;
    case 8:
      first = lastCol, du = std::ptrdiff_t(rowBytes), dv = -3;
      break;
    default:
      break;
  }
  for (int v = 0; v < outH; ++v) {
    auto* line = reinterpret_cast<QRgb*>(canvas.scanLine(at.y() + v)) + at.x();
    const std::uint8_t* p = src.data + first + v * dv;
    for (int u = 0; u < outW; ++u, p += du)
      line[u] = 0xFF000000u | (p[0] << 16) | (p[1] << 8) | p[2];
  }
}

}  // namespace trimora::imaging
