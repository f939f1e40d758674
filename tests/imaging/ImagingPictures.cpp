// libvips comes first: glib's headers use names that Qt defines as macros.
#include <vips/vips8>

#include "ImagingPictures.h"

#include <QDataStream>
#include <QFile>
#include <algorithm>
#include <vector>

namespace trimora::testing {

using vips::VError;
using vips::VImage;

namespace {

// The image as an sRGB libvips picture, copied so that it outlives the QImage.
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

QByteArray Le32(qint64 v) {
  QByteArray b;
  for (int i = 0; i < 4; ++i) b.append(char((v >> (8 * i)) & 0xFF));
  return b;
}

// 24-bit rows bottom-up (top-down with a negative height), or RLE8 runs.
bool WriteBmp(const QImage& image, const QString& path, Kind kind) {
  const int w = image.width(), h = image.height();
  const bool rle = kind == Kind::BmpRle8;
  QByteArray pixels;
  std::vector<QRgb> palette;
  for (int i = 0; i < h; ++i) {
    const int y = kind == Kind::BmpTopDown ? i : h - 1 - i;
    QByteArray row;
    for (int x = 0; x < w; ++x) {
      const QRgb c = image.pixel(x, y) & 0xFFFFFF;
      if (!rle) {
        row.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c)));
        continue;
      }
      auto at = std::find(palette.begin(), palette.end(), c);
      if (at == palette.end()) {
        if (palette.size() == 256) return false;
        at = palette.insert(at, c);
      }
      const char index = char(at - palette.begin());
      const qsizetype n = row.size();
      if (n > 0 && row[n - 1] == index && uchar(row[n - 2]) < 255) {
        row[n - 2] = char(uchar(row[n - 2]) + 1);  // one more pixel in the run
      } else {
        row.append('\1').append(index);
      }
    }
    pixels += rle ? row + QByteArray(i == h - 1 ? "\0\1" : "\0\0", 2)
                  : row + QByteArray((4 - row.size() % 4) % 4, '\0');
  }
  const qint64 offset = 54 + 4 * qint64(palette.size());
  QByteArray file = "BM" + Le32(offset + pixels.size()) + Le32(0) + Le32(offset) + Le32(40) +
                    Le32(w) + Le32(kind == Kind::BmpTopDown ? -h : h) +
                    Le32(1 | (rle ? 8 : 24) << 16) + Le32(rle ? 1 : 0) + Le32(pixels.size()) +
                    Le32(2835) + Le32(2835) + Le32(qint64(palette.size())) + Le32(0);
  for (QRgb c : palette) file += Le32(c);
  return WriteBytes(path, file + pixels);
}

QByteArray Chunk(const char* type, const QByteArray& data) {
  const QByteArray body = QByteArray(type, 4) + data;
  quint32 crc = 0xFFFFFFFFu;  // CRC-32 of type and data
  for (unsigned char c : body) {
    crc ^= c;
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  QByteArray out;
  QDataStream(&out, QIODevice::WriteOnly) << quint32(data.size());
  out += body;
  QDataStream(&out, QIODevice::Append) << ~crc;
  return out;
}

}  // namespace

bool WritePictureAs(Kind kind, const QImage& image, const QString& path, const char* options,
                    int orientation) {
  if (kind >= Kind::Bmp24) return WriteBmp(image, path, kind);
  try {
    VImage v = ToVips(image, kind == Kind::Alpha);
    if (kind == Kind::Grey) v = v.colourspace(VIPS_INTERPRETATION_B_W);
    if (kind == Kind::Cmyk) v = v.colourspace(VIPS_INTERPRETATION_CMYK);
    if (kind == Kind::Png16) {
      v = (v.cast(VIPS_FORMAT_USHORT) * 257).cast(VIPS_FORMAT_USHORT);
      v.set("interpretation", VIPS_INTERPRETATION_RGB16);
    }
    if (kind == Kind::AnimatedGif) {
      v = VImage::arrayjoin({v, ToVips(image.mirrored(true, true), false)},
                            VImage::option()->set("across", 1));
      v.set("page-height", image.height());
      v.set("delay", std::vector<int>{100, 100});
    }
    if (orientation != 0) v.set("orientation", orientation);
    v.write_to_file((QFile::encodeName(path) + options).constData());
    return true;
  } catch (const VError&) {
    vips_error_clear();
    return false;
  }
}

bool WriteZeroPng(const QString& path, int width, int height, int rows) {
  QByteArray header;
  QDataStream(&header, QIODevice::WriteOnly) << quint32(width) << quint32(height) << quint8(8)
                                             << quint8(0) << quint8(0) << quint8(0) << quint8(0);
  // Each row: filter byte 0, then width zero bytes; qCompress puts a length first.
  const QByteArray raw(qsizetype(rows) * (qsizetype(width) + 1), '\0');
  return WriteBytes(path, QByteArray("\x89PNG\r\n\x1a\n", 8) + Chunk("IHDR", header) +
                              Chunk("IDAT", qCompress(raw, 9).mid(4)) + Chunk("IEND", {}));
}

std::size_t VipsPixelMemoryHighWater() {
  return vips_tracked_get_mem_highwater();
}

}  // namespace trimora::testing
