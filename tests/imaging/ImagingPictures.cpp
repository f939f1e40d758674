// libvips comes first: glib's headers use names that Qt defines as macros.
#include <vips/vips8>

#include "ImagingPictures.h"

#include <QDataStream>
#include <QFile>
#include <QtEndian>
#include <algorithm>
#include <cstring>
#include <vector>

namespace trimora::testing {

using vips::VError;
using vips::VImage;

namespace {

// The image as an sRGB libvips picture (with its alpha when asked), copied so
// that it does not depend on the QImage staying alive.
VImage ToVips(const QImage& source, bool alpha) {
  const QImage argb = source.convertToFormat(QImage::Format_ARGB32);
  VImage bgra =
      VImage::new_from_memory(const_cast<uchar*>(argb.constBits()), size_t(argb.sizeInBytes()),
                              argb.width(), argb.height(), 4, VIPS_FORMAT_UCHAR);
  VImage rgb = alpha ? VImage::bandjoin({bgra[2], bgra[1], bgra[0], bgra[3]})
                     : VImage::bandjoin({bgra[2], bgra[1], bgra[0]});
  rgb = rgb.copy_memory();
  rgb.set("interpretation", VIPS_INTERPRETATION_sRGB);
  return rgb;
}

bool Save(VImage image, const QString& path, const char* options) {
  try {
    image.write_to_file((QFile::encodeName(path) + options).constData());
    return true;
  } catch (const VError&) {
    vips_error_clear();
    return false;
  }
}

QByteArray Chunk(const char* type, const QByteArray& data) {
  QByteArray body = QByteArray(type, 4) + data;
  QByteArray out;
  QDataStream s(&out, QIODevice::WriteOnly);
  s << quint32(data.size());
  out += body;
  // CRC-32 of type and data, as PNG wants it.
  quint32 crc = 0xFFFFFFFFu;
  for (unsigned char c : body) {
    crc ^= c;
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  crc ^= 0xFFFFFFFFu;
  QDataStream t(&out, QIODevice::Append);
  t << crc;
  return out;
}

void Put16(QByteArray& b, int v) {
  b.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF));
}
void Put32(QByteArray& b, qint64 v) {
  for (int i = 0; i < 4; ++i) b.append(char((v >> (8 * i)) & 0xFF));
}

}  // namespace

bool SaveWithVips(const QImage& image, const QString& path, const char* options, bool alpha) {
  return Save(ToVips(image, alpha), path, options);
}

bool SaveAnimatedGif(const QImage& first, const QImage& second, const QString& path) {
  VImage frames = VImage::arrayjoin({ToVips(first, false), ToVips(second, false)},
                                    VImage::option()->set("across", 1));
  frames.set("page-height", first.height());
  frames.set("delay", std::vector<int>{100, 100});
  return Save(frames, path, "");
}

bool SaveGreyJpeg(const QImage& image, const QString& path) {
  return Save(ToVips(image, false).colourspace(VIPS_INTERPRETATION_B_W), path, "[Q=95]");
}

bool SaveCmykJpeg(const QImage& image, const QString& path) {
  try {
    return Save(ToVips(image, false).colourspace(VIPS_INTERPRETATION_CMYK), path, "[Q=95]");
  } catch (const VError&) {
    vips_error_clear();
    return false;
  }
}

bool Save16BitPng(const QImage& image, const QString& path) {
  VImage wide = (ToVips(image, false).cast(VIPS_FORMAT_USHORT) * 257).cast(VIPS_FORMAT_USHORT);
  wide.set("interpretation", VIPS_INTERPRETATION_RGB16);
  return Save(wide, path, "[bitdepth=16]");
}

bool SaveJpegWithOrientation(const QImage& stored, const QString& path, int orientation) {
  VImage image = ToVips(stored, false);
  image.set("orientation", orientation);
  return Save(image, path, "[Q=98]");
}

bool WriteBmp(const QImage& image, const QString& path, BmpKind kind) {
  const int w = image.width(), h = image.height();
  const int bpp = kind == BmpKind::Rgb32 ? 32 : kind == BmpKind::Rle8 ? 8 : 24;
  QByteArray pixels;
  std::vector<QRgb> palette;
  if (kind == BmpKind::Rle8) {
    // Runs of equal palette indexes, bottom row first, each row ended by 0 0.
    for (int y = h - 1; y >= 0; --y) {
      int x = 0;
      while (x < w) {
        const QRgb c = image.pixel(x, y) | 0xFF000000u;
        auto found = std::find(palette.begin(), palette.end(), c);
        if (found == palette.end()) {
          if (palette.size() == 256) return false;
          palette.push_back(c);
          found = palette.end() - 1;
        }
        int run = 1;
        while (x + run < w && run < 255 && (image.pixel(x + run, y) | 0xFF000000u) == c) ++run;
        pixels.append(char(run)).append(char(found - palette.begin()));
        x += run;
      }
      pixels.append('\0').append(y == 0 ? '\1' : '\0');
    }
  } else {
    const int stride = ((w * bpp / 8) + 3) & ~3;
    for (int i = 0; i < h; ++i) {
      const int y = kind == BmpKind::TopDown24 ? i : h - 1 - i;
      QByteArray row;
      for (int x = 0; x < w; ++x) {
        const QRgb c = image.pixel(x, y);
        row.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c)));
        if (bpp == 32) row.append(char(0xFF));
      }
      row.append(QByteArray(stride - row.size(), '\0'));
      pixels += row;
    }
  }
  const int paletteBytes = int(palette.size()) * 4;
  QByteArray file("BM");
  Put32(file, 14 + 40 + paletteBytes + pixels.size());
  Put32(file, 0);
  Put32(file, 14 + 40 + paletteBytes);
  Put32(file, 40);
  Put32(file, w);
  Put32(file, kind == BmpKind::TopDown24 ? -h : h);
  Put16(file, 1);
  Put16(file, bpp);
  Put32(file, kind == BmpKind::Rle8 ? 1 : 0);
  Put32(file, pixels.size());
  Put32(file, 2835);
  Put32(file, 2835);
  Put32(file, qint64(palette.size()));
  Put32(file, 0);
  for (QRgb c : palette) Put32(file, c & 0xFFFFFF);
  file += pixels;
  return WriteBytes(path, file);
}

bool WriteZeroPng(const QString& path, int width, int height, int rows) {
  QByteArray header;
  QDataStream s(&header, QIODevice::WriteOnly);
  s << quint32(width) << quint32(height) << quint8(8) << quint8(0) << quint8(0) << quint8(0)
    << quint8(0);
  // Each row: filter byte 0, then width zero bytes.
  const QByteArray raw(qsizetype(rows) * (qsizetype(width) + 1), '\0');
  const QByteArray zlib = qCompress(raw, 9).mid(4);  // qCompress puts a length before the stream
  QByteArray file("\x89PNG\r\n\x1a\n", 8);
  file += Chunk("IHDR", header);
  file += Chunk("IDAT", zlib);
  file += Chunk("IEND", {});
  return WriteBytes(path, file);
}

std::size_t VipsPixelMemoryHighWater() {
  return vips_tracked_get_mem_highwater();
}

bool WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QByteArray ReadBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace trimora::testing
