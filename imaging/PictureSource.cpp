#include "PictureSource.h"

#include "ColourProfile.h"
#include "DecodeBudget.h"
#include "JpegStream.h"
#include "JpegWriter.h"
#include "PictureLoader.h"

#include <sys/stat.h>
#include <QFile>
#include <QImageReader>
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>
#include <vips/vips8>

namespace trimora::imaging {

using vips::VError;
using vips::VImage;
using vips::VSource;

namespace {

void ignoreLibraryMessage(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}

struct VipsFree {
  void operator()(void* p) const { g_free(p); }
};

bool isStoredSizeAcceptable(QSize size) {
  return size.width() > 0 && size.height() > 0 &&
         std::int64_t(size.width()) * size.height() <= kMaxPicturePixels;
}

// Brings a decoded picture into the form the scaler and the copy expect:
// 8-bit sRGB, three bands, transparency blended over the background.
VImage toOpaqueRgb(VImage image, const QColor& background) {
  const VipsInterpretation interpretation = image.interpretation();
  if (interpretation == VIPS_INTERPRETATION_CMYK && image.get_typeof(VIPS_META_ICC_NAME) != 0) {
    // Ink amounts mean nothing without the press they were made for: its profile says.
    image = srgbFromEmbeddedProfile(image);
  } else if (interpretation != VIPS_INTERPRETATION_sRGB || image.format() != VIPS_FORMAT_UCHAR) {
    image = image.colourspace(VIPS_INTERPRETATION_sRGB);
  }
  if (image.has_alpha()) {
    const std::vector<double> rgb = {double(background.red()), double(background.green()),
                                     double(background.blue())};
    image = image.flatten(VImage::option()->set("background", rgb));
  }
  if (image.bands() > 3) image = image.extract_band(0, VImage::option()->set("n", 3));
  if (image.bands() == 1) image = VImage::bandjoin({image, image, image});
  if (image.format() != VIPS_FORMAT_UCHAR) image = image.cast(VIPS_FORMAT_UCHAR);
  return image;
}

// Scales to exactly width x height with the cubic kernel; libvips widens the
// kernel when reducing, which is what keeps a reduction free of aliasing.
VImage scaleTo(VImage image, int width, int height) {
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

constexpr int kAbandonableBandRows = 64;

}  // namespace

void PictureSource::convertColours(std::uint8_t* pixels, int width, int height) {
  mNote.clear();
  if (!mProfile.isEmpty() && !convertToSrgb(pixels, width, height, mProfile))
    mNote = profileNotUsedText();
}

namespace {

// Draws the window of `image` scaled to `size` into the canvas, upright and in sRGB as `source`
// says.
bool sinkInto(VImage image, PictureSource& source, QImage& canvas, QPoint at, QSize size,
              const QRect& window) {
  const int orientation = source.orientation();
  const QSize storedTarget = (orientation >= 5) ? size.transposed() : size;
  image = scaleTo(image, storedTarget.width(), storedTarget.height());
  const QRect stored = storedWindow(window, storedTarget, orientation);
  // Only the rows and columns of the window are worked out.
  if (stored.size() != storedTarget)
    image = image.crop(stored.x(), stored.y(), stored.width(), stored.height());
  const std::size_t rowBytes = std::size_t(stored.width()) * 3;
  if (!loadAbandonmentFlag()) {
    size_t bytes = 0;
    std::unique_ptr<void, VipsFree> pixels(image.write_to_memory(&bytes));
    if (!pixels || bytes != rowBytes * std::size_t(stored.height())) return false;
    auto* rgb = static_cast<std::uint8_t*>(pixels.get());
    source.convertColours(rgb, stored.width(), stored.height());
    copyOriented({rgb, stored.width(), stored.height()}, orientation, canvas, at);
    return true;
  }
  // A load that may be abandoned is worked out on this thread alone (it yields to the
  // display), a band of rows at a time in order, as the sequential reader wants them, and looks
  // at its flag between two bands.
  std::vector<std::uint8_t> pixels(rowBytes * std::size_t(stored.height()));
  std::unique_ptr<VipsRegion, decltype(&g_object_unref)> region(vips_region_new(image.get_image()),
                                                                &g_object_unref);
  for (int y = 0; y < stored.height(); y += kAbandonableBandRows) {
    if (loadAbandoned()) return false;
    VipsRect band{0, y, stored.width(), std::min(kAbandonableBandRows, stored.height() - y)};
    if (vips_region_prepare(region.get(), &band) != 0) return false;
    for (int row = y; row < band.top + band.height; ++row) {
      std::memcpy(pixels.data() + rowBytes * std::size_t(row),
                  VIPS_REGION_ADDR(region.get(), 0, row), rowBytes);
    }
  }
  source.convertColours(pixels.data(), stored.width(), stored.height());
  copyOriented({pixels.data(), stored.width(), stored.height()}, orientation, canvas, at);
  return true;
}

// The readers there are; the file's first bytes choose one.
enum class Format { Unknown, Jpeg, Png, Gif, Bmp, WebP, Tiff, Heic, Avif };

Format formatOf(const QByteArray& head) {
  if (head.startsWith("\xFF\xD8\xFF")) return Format::Jpeg;
  if (head.startsWith("\x89PNG\r\n\x1A\n")) return Format::Png;
  if (head.startsWith("GIF87a") || head.startsWith("GIF89a")) return Format::Gif;
  if (head.startsWith("BM")) return Format::Bmp;
  if (head.startsWith("RIFF") && head.mid(8, 4) == "WEBP") return Format::WebP;
  for (const char* tiff : {"II*", "MM\0*", "II+", "MM\0+"}) {
    // Classic and big TIFF, in either byte order ("II*" stands for "II*\0").
    if (head.startsWith(QByteArray(tiff, 4))) return Format::Tiff;
  }
  if (head.mid(4, 4) == "ftyp") {
    // An ISO media file: its major brand says whether libheif holds a still picture.
    const QByteArray brand = head.mid(8, 4);
    if (brand == "avif" || brand == "avis") return Format::Avif;
    for (const char* heif : {"heic", "heix", "hevc", "hevx", "heim", "heis", "mif1", "msf1"})
      if (brand == heif) return Format::Heic;
  }
  return Format::Unknown;
}

// Whether this machine's libvips has the reader `loader` and lets it run: a reader can come as a
// module that is not installed, or be blocked.
bool readerInstalled(const char* loader) {
  const GType type = vips_type_find("VipsOperation", loader);
  if (type == 0) return false;
  gpointer type_class = g_type_class_ref(type);
  const bool blocked = (VIPS_OPERATION_CLASS(type_class)->flags & VIPS_OPERATION_BLOCKED) != 0;
  g_type_class_unref(type_class);
  return !blocked;
}

// A streaming reader holds some rows of the picture at its full width (its
// own line buffers, libvips' tile caches and the first reduction); at most
// this many, which the estimate counts for the readers that stream.
constexpr std::int64_t kStreamedRows = 256;

std::int64_t streamedBytes(QSize size, int bytesPerPixel) {
  return std::int64_t(size.width()) * std::min<std::int64_t>(size.height(), kStreamedRows) *
         bytesPerPixel;
}

// Formats that libvips reads itself, streamed and (for JPEG) scaled while decoding.
class VipsPictureSource final : public PictureSource {
 public:
  VipsPictureSource(QSize stored, int orientation, QByteArray path, std::string loader,
                    VImage header, bool manyScans)
      : PictureSource(stored, orientation),
        mPath(std::move(path)),
        mLoader(std::move(loader)),
        mHeader(std::move(header)),
        mManyScans(manyScans) {}

  // Opens the file with `loader`; JPEG decodes at 1/shrink of its size through libjpeg's DCT
  // scaling, WebP at `scale` through libwebp's own.
  static VImage load(const std::string& loader, const QByteArray& path, int shrink,
                     double scale = 1.0) {
    VImage out;
    vips::VOption* options = VImage::option()
                                 ->set("access", VIPS_ACCESS_SEQUENTIAL)
                                 ->set("fail_on", VIPS_FAIL_ON_TRUNCATED)
                                 ->set("source", VSource::new_from_file(path.constData()));
    if (shrink > 1) options->set("shrink", shrink);
    if (scale < 1.0) options->set("scale", scale);
    VImage::call(loader.c_str(), options->set("out", &out));
    return out;
  }

  void attach(QByteArray profile, const QString& date) {
    setColourProfile(std::move(profile));
    setCaptureDate(date);
  }

  Refusal drawWindow(QImage& canvas, QPoint at, QSize size, const QRect& window,
                     const QColor& background) override {
    try {
      // The image opened for the header decodes once; another draw reads the file afresh.
      VImage image = std::exchange(mHeader, VImage());
      int shrink = 1;
      if (mLoader == kJpegLoader) {
        const QSize storedTarget = (orientation() >= 5) ? size.transposed() : size;
        shrink = jpegShrinkFor(storedSize(), storedTarget);
        const QRect stored = storedWindow(window, storedTarget, orientation());
        switch (drawJpeg(shrink, storedTarget, stored, canvas, at)) {
          case JpegOutcome::Decoded:
            return {};
          case JpegOutcome::Unreadable:
            return Refusal::unreadable();
          case JpegOutcome::OverBudget:
            return Refusal::tooLarge(uprightSize());
          case JpegOutcome::HandOn:
            break;
        }
        // libvips runs the same libjpeg with no limit on scans: walk them first.
        if (mManyScans && !jpegScansWithinLimits(mPath)) return Refusal::unreadable();
      }
      double scale = 1.0;
      if (mLoader == kWebpLoader) {
        // libwebp scales while decoding, averaging the pixels it folds together, so it can go
        // straight to the target; the cubic pass then only mends a rounded side.
        const QSize storedTarget = (orientation() >= 5) ? size.transposed() : size;
        scale = std::min(1.0, std::max(double(storedTarget.width()) / storedSize().width(),
                                       double(storedTarget.height()) / storedSize().height()));
      }
      if (shrink > 1 || scale < 1.0 || image.is_null()) image = load(mLoader, mPath, shrink, scale);
      if (!sinkInto(toOpaqueRgb(image, background), *this, canvas, at, size, window)) {
        return Refusal::unreadable();
      }
      return {};
    } catch (const VError&) {
      vips_error_clear();
      return Refusal::unreadable();
    } catch (const std::bad_alloc&) {
      return Refusal::tooLarge(uprightSize());
    }
  }

  static constexpr const char* kJpegLoader = "jpegload_source";
  static constexpr const char* kWebpLoader = "webpload_source";

 private:
  // JPEG goes through its own decoder, which scales rows while the next ones
  // decode (see bench/README.md); CMYK is handed on to libvips.
  JpegOutcome drawJpeg(int shrink, QSize storedTarget, const QRect& stored, QImage& canvas,
                       QPoint at) {
    const QSize scaled((storedSize().width() + shrink - 1) / shrink,
                       (storedSize().height() + shrink - 1) / shrink);
    std::vector<std::uint8_t> pixels;
    const JpegOutcome outcome =
        decodeJpegScaled(mPath, shrink, scaled, storedTarget, pixels, stored);
    if (outcome == JpegOutcome::Decoded) {
      convertColours(pixels.data(), stored.width(), stored.height());
      copyOriented({pixels.data(), stored.width(), stored.height()}, orientation(), canvas, at);
    }
    return outcome;
  }

  QByteArray mPath;
  std::string mLoader;
  VImage mHeader;
  bool mManyScans;  // a JPEG whose every coefficient is held until its last scan
};

// Blends every pixel of an ARGB32 picture over `back` where it lies, and
// makes it an opaque RGB32 picture, so a large picture is not held twice.
void flattenInPlace(QImage& image, QRgb back) {
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const QRgb c = line[x];
      const int a = qAlpha(c);
      if (a == 255) continue;
      const auto mix = [a](int front, int behind) {
        return (front * a + behind * (255 - a) + 127) / 255;
      };
      line[x] =
          qRgb(mix(qRed(c), qRed(back)), mix(qGreen(c), qGreen(back)), mix(qBlue(c), qBlue(back)));
    }
  }
  image.reinterpretAsFormat(QImage::Format_RGB32);
}

// BMP, read through Qt. Qt decodes the whole picture, within an allocation
// limit that follows the decode budget.
class BmpPictureSource final : public PictureSource {
 public:
  BmpPictureSource(QSize stored, QString path) : PictureSource(stored, 1), mPath(std::move(path)) {}

  Refusal drawWindow(QImage& canvas, QPoint at, QSize size, const QRect& window,
                     const QColor& background) override {
    QImage flat = decode(mPath);
    if (flat.isNull()) return Refusal::unreadable();
    if (flat.hasAlphaChannel()) {
      flat.convertTo(QImage::Format_ARGB32);  // in place when Qt decoded it so
      if (flat.isNull()) return Refusal::tooLarge(uprightSize());
      flattenInPlace(flat, background.rgb());
    } else {
      flat = std::move(flat).convertToFormat(QImage::Format_RGB32);
    }
    if (flat.isNull()) return Refusal::tooLarge(uprightSize());
    // As JPEG's reduced DCT scales do, average down to twice the target first:
    // the cubic pass over a picture many times its output size is slow (a
    // strip thousands of pixels tall takes seconds) and gains nothing visible.
    const QSize twice(std::min(flat.width(), 2 * size.width()),
                      std::min(flat.height(), 2 * size.height()));
    if (twice != flat.size()) {
      flat = flat.scaled(twice, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
      if (flat.isNull()) return Refusal::tooLarge(uprightSize());
    }
    try {
      // Bytes B, G, R, X in memory; bands 2, 1, 0 give R, G, B.
      if (flat.bytesPerLine() != flat.width() * 4) return Refusal::unreadable();
      VImage image = VImage::new_from_memory(flat.bits(), size_t(flat.sizeInBytes()), flat.width(),
                                             flat.height(), 4, VIPS_FORMAT_UCHAR);
      image = VImage::bandjoin({image[2], image[1], image[0]});
      image.set("interpretation", VIPS_INTERPRETATION_sRGB);
      if (!sinkInto(image, *this, canvas, at, size, window)) return Refusal::unreadable();
      return {};
    } catch (const VError&) {
      vips_error_clear();
      return Refusal::unreadable();
    }
  }

  // A reader for the BMP in fileName that takes no other format and may
  // allocate as much as the decode budget.
  static QImage decode(const QString& fileName) {
    QImageReader reader(fileName, "bmp");
    reader.setAutoDetectImageFormat(false);  // no other of Qt's readers, ever
    reader.setAllocationLimit(int(std::clamp<std::int64_t>(decodeBudget() >> 20, 1, INT_MAX)));
    return reader.read();
  }

 private:
  QString mPath;
};

struct BmpHeader {
  QSize size;
  int bits = 0;
};

// The size and depth in a BMP file's headers, or nothing when they do not
// hold together (Qt's reader reports a size even for a few stray bytes after "BM").
std::optional<BmpHeader> readBmpHeader(QFile& file) {
  const QByteArray h = file.read(30);
  if (h.size() < 26) return std::nullopt;
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
    return std::nullopt;
  }
  const bool knownDepth =
      bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
  if (planes != 1 || !knownDepth || width <= 0 || height == 0 || height == INT_MIN ||
      dataOffset < 14 + headerSize || dataOffset >= quint64(file.size())) {
    return std::nullopt;
  }
  return BmpHeader{{width, std::abs(height)}, bits};
}

// PNG: what its header chunk says and whether a tRNS chunk adds an alpha band.
struct PngHeader {
  QSize size;
  int bytesPerPixel = 0;  // as libvips decodes it: 8 or 16 bits a band
  bool interlaced = false;
};

std::optional<PngHeader> readPngHeader(QFile& file) {
  const QByteArray h = file.read(33);
  if (h.size() < 33 || h.mid(12, 4) != "IHDR") return std::nullopt;
  const auto u32 = [&](qsizetype at) {
    return quint32(quint8(h[at])) << 24 | quint32(quint8(h[at + 1])) << 16 |
           quint32(quint8(h[at + 2])) << 8 | quint32(quint8(h[at + 3]));
  };
  const quint32 width = u32(16), height = u32(20);
  const int depth = quint8(h[24]), colourType = quint8(h[25]);
  if (width == 0 || height == 0 || width > INT_MAX || height > INT_MAX) return std::nullopt;
  // Bands as decoded, by colour type: grey, -, RGB, palette (as RGB), grey
  // and alpha, -, RGBA.
  constexpr int kBands[7] = {1, 0, 3, 3, 2, 0, 4};
  int bands = colourType < 7 ? kBands[colourType] : 0;
  if (bands == 0) return std::nullopt;
  // The chunks before the pixel data; a transparency chunk adds an alpha band.
  qint64 at = 33;
  while (colourType != 4 && colourType != 6 && file.seek(at)) {
    const QByteArray chunk = file.read(8);
    if (chunk.size() < 8) break;
    const QByteArray type = chunk.mid(4, 4);
    if (type == "IDAT" || type == "IEND") break;
    if (type == "tRNS") {
      ++bands;
      break;
    }
    at += 12 + qint64(quint32(quint8(chunk[0])) << 24 | quint32(quint8(chunk[1])) << 16 |
                      quint32(quint8(chunk[2])) << 8 | quint32(quint8(chunk[3])));
  }
  return PngHeader{{int(width), int(height)}, bands * (depth == 16 ? 2 : 1), quint8(h[28]) != 0};
}

// The capture date in a header's EXIF, as "YYYY:MM:DD HH:MM:SS"; empty when absent or malformed.
QString captureDateOf(const VImage& header) {
  constexpr const char* kField = "exif-ifd2-DateTimeOriginal";
  const char* text = nullptr;
  if (header.get_typeof(kField) == 0 ||
      vips_image_get_string(header.get_image(), kField, &text) != 0 || !text) {
    vips_error_clear();
    return {};
  }
  // libvips gives the value, then its description in brackets.
  const QString date = QString::fromLatin1(text).left(19);
  return isExifDate(date) ? date : QString();
}

// The header of a file that libvips reads with `loader`, and how many pages it has.
struct VipsOpened {
  std::unique_ptr<PictureSource> source;
  int pages = 1;
  bool deep = false;  // more than 8 bits a sample
};

VipsOpened openWithVips(const QByteArray& path, std::string loader, bool manyScans) {
  try {
    VImage header = VipsPictureSource::load(loader, path, 1);
    const QSize stored(header.width(), header.height());
    int orientation = vips_image_get_orientation(header.get_image());
    if (orientation < 1 || orientation > 8) orientation = 1;
    const int pages = header.get_typeof(VIPS_META_N_PAGES) != 0
                          ? std::max(1, vips_image_get_n_pages(header.get_image()))
                          : 1;
    QByteArray profile;
    if (header.get_typeof(VIPS_META_ICC_NAME) != 0 && header.bands() >= 3) {
      const void* data = nullptr;
      std::size_t length = 0;
      // A press's CMYK profile runs to a megabyte: only one that is used is copied.
      if (vips_image_get_blob(header.get_image(), VIPS_META_ICC_NAME, &data, &length) == 0 &&
          profileNeedsConversion(
              QByteArray::fromRawData(static_cast<const char*>(data), qsizetype(length)))) {
        profile = QByteArray(static_cast<const char*>(data), qsizetype(length));
      }
    }
    const QString date = captureDateOf(header);
    const bool deep = header.format() != VIPS_FORMAT_UCHAR && header.format() != VIPS_FORMAT_CHAR;
    auto source = std::make_unique<VipsPictureSource>(stored, orientation, path, std::move(loader),
                                                      std::move(header), manyScans);
    source->attach(std::move(profile), date);
    return {std::move(source), pages, deep};
  } catch (const VError&) {
    vips_error_clear();
    return {};
  }
}

// The reader for a file in `format` (none when its header does not hold
// together), and the memory (bytes) that its decoding will hold.
struct Opened {
  std::unique_ptr<PictureSource> source;
  std::int64_t decodeBytes = 0;
  Refusal refusal = Refusal::unreadable();  // why there is no source
};

// TIFF: what the first directory says of the pixels and of the chunks they are stored in.
struct TiffLayout {
  QSize size;
  int bytesPerPixel = 0;       // as libvips decodes it
  std::int64_t chunkRows = 0;  // rows of one strip, or of one row of tiles
};

// Reads the first directory of a classic TIFF (big TIFF gives nothing: it is estimated whole).
std::optional<TiffLayout> readTiffLayout(QFile& file) {
  if (!file.seek(0)) return std::nullopt;
  const QByteArray h = file.read(8);
  if (h.size() < 8) return std::nullopt;
  const bool little = h.startsWith("II");
  const auto u16 = [little](const QByteArray& b, qsizetype at) {
    const int lo = quint8(b[little ? at : at + 1]), hi = quint8(b[little ? at + 1 : at]);
    return std::uint32_t(lo | hi << 8);
  };
  const auto u32 = [&](const QByteArray& b, qsizetype at) {
    const std::uint32_t a = u16(b, at), c = u16(b, at + 2);
    return little ? (a | c << 16) : (a << 16 | c);
  };
  if (u16(h, 2) != 42) return std::nullopt;
  const std::uint32_t directory = u32(h, 4);
  if (directory < 8) return std::nullopt;
  // Two bytes at `at`, or -1 when they cannot be read (the file may shrink as it is read).
  const auto read16 = [&](qint64 at) -> std::int64_t {
    const QByteArray b = at + 2 <= file.size() && file.seek(at) ? file.read(2) : QByteArray();
    return b.size() == 2 ? std::int64_t(u16(b, 0)) : -1;
  };
  const std::int64_t count = read16(directory);
  if (count < 0) return std::nullopt;
  const QByteArray entries = file.read(std::min<std::int64_t>(count, 4096) * 12);
  std::int64_t width = 0, height = 0, bits = 1, samples = 1, stripRows = -1, tileRows = -1;
  for (qsizetype at = 0; at + 12 <= entries.size(); at += 12) {
    const std::uint32_t tag = u16(entries, at), type = u16(entries, at + 2);
    const std::uint32_t n = u32(entries, at + 4);
    // One SHORT or LONG sits in the entry itself; BitsPerSample of several samples points away,
    // and its samples are taken to be alike, as libvips requires.
    std::int64_t value = type == 3 ? u16(entries, at + 8) : type == 4 ? u32(entries, at + 8) : -1;
    if (tag == 258 && type == 3 && n > 2) {
      const std::uint32_t offset = u32(entries, at + 8);
      value = read16(offset);
    }
    if (value < 0) continue;
    switch (tag) {
      case 256:
        width = value;
        break;
      case 257:
        height = value;
        break;
      case 258:
        bits = value;
        break;
      case 277:
        samples = value;
        break;
      case 278:
        stripRows = value;
        break;
      case 323:
        tileRows = value;
        break;
      default:
        break;
    }
  }
  if (width <= 0 || height <= 0 || width > INT_MAX || height > INT_MAX || bits <= 0 || bits > 64 ||
      samples <= 0 || samples > 64)
    return std::nullopt;
  const std::int64_t rows = tileRows > 0 ? tileRows : stripRows > 0 ? stripRows : height;
  return TiffLayout{{int(width), int(height)},
                    int(samples * std::max<std::int64_t>(1, bits / 8)),
                    std::min(rows, height)};
}

// For a reader of libvips that may not be on this machine.
Opened notInstalled(const char* format) {
  return {nullptr, 0, Refusal::notInstalled(format)};
}

Opened openAs(Format format, const QString& fileName, QFile& file) {
  const QByteArray path = QFile::encodeName(fileName);
  switch (format) {
    case Format::Jpeg: {
      // libjpeg holds the whole coefficient buffer of a progressive file;
      // otherwise it streams, a few rows of blocks at a time.
      const auto layout = readJpegLayout(path);
      if (!layout) return {};
      Opened opened{
          openWithVips(path, VipsPictureSource::kJpegLoader, layout->wholeCoefficients).source,
          layout->wholeCoefficients ? layout->coefficientBytes : 0};
      if (opened.source) opened.decodeBytes += streamedBytes(opened.source->storedSize(), 4);
      return opened;
    }
    case Format::Png: {
      // libvips streams a PNG row by row, but decodes an interlaced one whole.
      const auto header = readPngHeader(file);
      if (!header) return {};
      Opened opened{openWithVips(path, "pngload_source", false).source, 0};
      opened.decodeBytes = header->interlaced ? frameBytes(header->size, header->bytesPerPixel)
                                              : streamedBytes(header->size, header->bytesPerPixel);
      return opened;
    }
    case Format::Gif: {
      // The GIF reader decodes into a whole RGBA frame of the picture's size.
      Opened opened{openWithVips(path, "gifload_source", false).source, 0};
      if (opened.source) opened.decodeBytes = frameBytes(opened.source->storedSize(), 4);
      return opened;
    }
    case Format::Bmp: {
      // Qt decodes the whole picture: 4 bytes a pixel, and a palette picture
      // is held at 1 byte a pixel while it becomes that.
      const auto header = readBmpHeader(file);
      QImageReader reader(fileName, "bmp");
      reader.setAutoDetectImageFormat(false);
      if (!header || !reader.canRead()) return {};
      return {std::make_unique<BmpPictureSource>(header->size, fileName),
              frameBytes(header->size, header->bits <= 8 ? 5 : 4)};
    }
    case Format::WebP: {
      // libwebp decodes into one frame of the picture's size (at most, when it scales as it
      // decodes); an animation holds the frame it builds and the one it decodes.
      if (!readerInstalled(VipsPictureSource::kWebpLoader)) return notInstalled("WebP");
      VipsOpened webp = openWithVips(path, VipsPictureSource::kWebpLoader, false);
      Opened opened{std::move(webp.source), 0};
      if (opened.source)
        opened.decodeBytes = frameBytes(opened.source->storedSize(), webp.pages > 1 ? 8 : 4);
      return opened;
    }
    case Format::Tiff: {
      // libtiff decodes a strip, or a row of tiles, at a time: each is held as stored and as
      // decoded, and libvips keeps a few hundred rows of them.
      if (!readerInstalled("tiffload_source")) return notInstalled("TIFF");
      Opened opened{openWithVips(path, "tiffload_source", false).source, 0};
      if (!opened.source) return opened;
      const QSize size = opened.source->storedSize();
      if (const auto layout = readTiffLayout(file); layout && layout->size == size) {
        opened.decodeBytes =
            2 * frameBytes(
                    {size.width(), int(std::max<std::int64_t>(layout->chunkRows, kStreamedRows))},
                    layout->bytesPerPixel);
        opened.decodeBytes =
            std::min(opened.decodeBytes, 2 * frameBytes(size, layout->bytesPerPixel));
      } else {
        opened.decodeBytes = frameBytes(size, 8);  // a layout not read: as if held whole, deep
      }
      return opened;
    }
    case Format::Heic:
    case Format::Avif: {
      // libheif decodes the whole picture (all tiles of a grid), as planes of luma and chroma and
      // then as interleaved RGB: some 6 bytes a pixel at 8 bits, twice that for deeper pictures.
      if (!readerInstalled("heifload_source"))
        return notInstalled(format == Format::Avif ? "AVIF" : "HEIC");
      VipsOpened heif = openWithVips(path, "heifload_source", false);
      Opened opened{std::move(heif.source), 0};
      if (opened.source)
        opened.decodeBytes = frameBytes(opened.source->storedSize(), heif.deep ? 12 : 6);
      return opened;
    }
    case Format::Unknown:
      break;
  }
  return {};
}

}  // namespace

bool ensureVips() {
  static bool started = [] {
    if (VIPS_INIT("trimora") != 0) {
      vips_error_clear();
      return false;
    }
    // Readers that libvips itself does not vouch for on hostile files (SVG,
    // PDF, ImageMagick and the like) can never run in this process.
    vips_block_untrusted_set(TRUE);
    // Every load reads its file afresh (a file may change between two looks),
    // and a cached operation would keep a whole decoded picture alive.
    vips_cache_set_max(0);
    g_log_set_handler("VIPS", G_LOG_LEVEL_WARNING, ignoreLibraryMessage, nullptr);
    std::atexit([] { vips_shutdown(); });
    return true;
  }();
  return started;
}

QSize PictureSource::uprightSize() const {
  return mOrientation >= 5 ? mStored.transposed() : mStored;
}

std::unique_ptr<PictureSource> PictureSource::open(const QString& fileName, Refusal* why) {
  Refusal unused;
  Refusal& refusal = why ? *why : unused;
  refusal = Refusal::unreadable();
  // Only regular files: opening a named pipe would wait for a writer forever.
  struct stat info {};
  if (fileName.isEmpty() || ::stat(QFile::encodeName(fileName).constData(), &info) != 0 ||
      !S_ISREG(info.st_mode) || !ensureVips()) {
    return nullptr;
  }
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly)) return nullptr;
  Opened opened = openAs(formatOf(file.peek(12)), fileName, file);
  if (!opened.source) {
    refusal = opened.refusal;
    return nullptr;
  }
  const QSize size = opened.source->storedSize();
  if (size.isEmpty()) return nullptr;
  if (!isStoredSizeAcceptable(size) || opened.decodeBytes > decodeBudget()) {
    refusal = Refusal::tooLarge(opened.source->uprightSize());
    return nullptr;
  }
  refusal = {};
  return std::move(opened.source);
}

int jpegShrinkFor(QSize stored, QSize storedTarget) {
  for (int shrink : {8, 4, 2}) {
    const int w = (stored.width() + shrink - 1) / shrink;
    const int h = (stored.height() + shrink - 1) / shrink;
    if (w >= 2 * storedTarget.width() && h >= 2 * storedTarget.height()) return shrink;
  }
  return 1;
}

QRect storedWindow(const QRect& upright, QSize storedSize, int orientation) {
  const int u0 = upright.left(), u1 = upright.right() + 1;
  const int v0 = upright.top(), v1 = upright.bottom() + 1;
  const int w = storedSize.width(), h = storedSize.height();
  // Upright (u, v) shows stored (u, v) turned and mirrored as copyOriented walks it.
  switch (orientation) {
    case 2:
      return QRect(QPoint(w - u1, v0), QPoint(w - u0 - 1, v1 - 1));
    case 3:
      return QRect(QPoint(w - u1, h - v1), QPoint(w - u0 - 1, h - v0 - 1));
    case 4:
      return QRect(QPoint(u0, h - v1), QPoint(u1 - 1, h - v0 - 1));
    case 5:
      return QRect(QPoint(v0, u0), QPoint(v1 - 1, u1 - 1));
    case 6:
      return QRect(QPoint(v0, h - u1), QPoint(v1 - 1, h - u0 - 1));
    case 7:
      return QRect(QPoint(w - v1, h - u1), QPoint(w - v0 - 1, h - u0 - 1));
    case 8:
      return QRect(QPoint(w - v1, u0), QPoint(w - v0 - 1, u1 - 1));
    default:
      return upright;
  }
}

void copyOriented(const PackedRGB& src, int orientation, QImage& canvas, QPoint at) {
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
