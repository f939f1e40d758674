// libvips first: glib's headers use names that Qt defines as macros.
#include <vips/vips8>

#include "HostilePictures.h"

#include <zlib.h>
#include <QDir>
#include <QFile>
#include <QtEndian>
#include <cstdio>  // before jpeglib.h, which needs FILE

#include <jpeglib.h>

#include "PictureSource.h"

namespace trimora::testing {
namespace {

// Bits 10 (the most libjpeg allows) down to 0 of the DC of all components together, then of
// each of the first `ac` AC coefficients of each component alone; the rest in one scan each.
std::vector<jpeg_scan_info> bitByBitScans(int components, int ac) {
  std::vector<jpeg_scan_info> scans;
  const auto add = [&](int first, int count, int ss, int se, int bit) {
    const int high = bit < 0 || bit == 10 ? 0 : bit + 1, low = std::max(bit, 0);
    scans.push_back({count, {first, first + 1, first + 2, first + 3}, ss, se, high, low});
  };
  for (int bit = 10; bit >= 0; --bit) add(0, components, 0, 0, bit);
  for (int c = 0; c < components; ++c) {
    for (int k = 1; k <= ac; ++k)
      for (int bit = 10; bit >= 0; --bit) add(c, 1, k, k, bit);
    if (ac < 63) add(c, 1, ac + 1, 63, -1);
  }
  return scans;
}

// The JPEG's frame header made to declare width x height: its data runs out long before.
QByteArray declaring(QByteArray jpeg, int width, int height) {
  qsizetype at = jpeg.indexOf(QByteArray("\xFF\xC0", 2));
  if (at < 0) at = jpeg.indexOf(QByteArray("\xFF\xC2", 2));
  qToBigEndian(quint16(height), jpeg.data() + at + 5);
  qToBigEndian(quint16(width), jpeg.data() + at + 7);
  return jpeg;
}

QByteArray words(std::vector<quint32> values, bool bigEndian = false) {
  for (quint32& v : values) v = bigEndian ? qToBigEndian(v) : qToLittleEndian(v);
  return QByteArray(reinterpret_cast<const char*>(values.data()), qsizetype(values.size() * 4));
}

QByteArray pngChunk(const QByteArray& type, const QByteArray& data) {
  const QByteArray body = type + data;
  const auto crc = crc32(0, reinterpret_cast<const Bytef*>(body.data()), uInt(body.size()));
  return words({quint32(data.size())}, true) + body + words({quint32(crc)}, true);
}

// A PNG whose pixel data is `rows` rows of zeros (qCompress puts a length before the stream).
QByteArray zeroPng(int width, int height, int depth, int colourType, bool interlaced, int rows,
                   int bytesPerPixel) {
  const QByteArray header = words({quint32(width), quint32(height)}, true) + char(depth) +
                            char(colourType) + '\0' + '\0' + char(interlaced);
  const QByteArray data(qsizetype(rows) * (qsizetype(width) * bytesPerPixel + 1), '\0');
  return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header) +
         pngChunk("IDAT", qCompress(data, 9).mid(4)) + pngChunk("IEND", {});
}

// 35 bytes of GIF that a reader expands into a whole frame of width x height.
QByteArray declaredGif(int width, int height) {
  const QByteArray size = words({quint32(width) | quint32(height) << 16});
  return "GIF89a" + size + QByteArray("\x80\0\0\0\0\0\xFF\xFF\xFF,\0\0\0\0", 14) + size +
         QByteArray("\0\x02\x02\x44\x01\0;", 7);
}

// An 8-bit run-length BMP of width x height whose only code ends the picture.
QByteArray declaredRleBmp(quint32 width, quint32 height) {
  return "BM" +
         words({64, 0, 62, 40, width, height, 1 | 8 << 16, 1, 2, 2835, 2835, 2, 0, 0, 0xFFFFFF}) +
         QByteArray("\0\x01", 2);
}

// A plain picture of width x height saved by libvips in the format its suffix names.
QByteArray vipsSaved(int width, int height, const char* suffix) {
  if (!imaging::ensureVips()) return {};
  return testing::vipsSaved(vips::VImage::xyz(width, height)
                                .extract_band(0)
                                .bandjoin_const({80, 160})
                                .cast(VIPS_FORMAT_UCHAR),
                            suffix);
}

// A JPEG carrying `icc` as its colour profile, in one APP2 segment after the start of image.
QByteArray withProfile(const QByteArray& jpeg, const QByteArray& icc) {
  const QByteArray body = QByteArray("ICC_PROFILE\0\x01\x01", 14) + icc;
  const quint16 length = quint16(body.size() + 2);
  return jpeg.left(2) + "\xFF\xE2" + char(length >> 8) + char(length & 0xFF) + body + jpeg.mid(2);
}

// A tiled 12000 x 12000 RGB TIFF whose every tile points back into its header: a row of tiles
// is some 9 MB, the whole picture 432 MB; libtiff finds the tiles short.
QByteArray tiledTiffWithoutData() {
  const quint32 tiles = 47 * 47, ifd = 8, entries = 11, bits = ifd + 2 + entries * 12 + 4;
  const quint32 offsets = bits + 6, counts = offsets + 4 * tiles;
  const auto entry = [](quint32 tag, quint32 type, quint32 count, quint32 value) {
    return words({tag | type << 16, count, value});
  };
  QByteArray tiff = QByteArray("II*\0", 4) + words({ifd});
  tiff += char(entries) + QByteArray(1, '\0');
  tiff += entry(256, 4, 1, 12000) + entry(257, 4, 1, 12000) + entry(258, 3, 3, bits) +
          entry(259, 3, 1, 1) + entry(262, 3, 1, 2) + entry(277, 3, 1, 3) + entry(284, 3, 1, 1) +
          entry(322, 3, 1, 256) + entry(323, 3, 1, 256) + entry(324, 4, tiles, offsets) +
          entry(325, 4, tiles, counts) + words({0});
  tiff += QByteArray("\x08\0\x08\0\x08\0", 6);
  tiff += words(std::vector<quint32>(tiles, 8)) + words(std::vector<quint32>(tiles, 256 * 256 * 3));
  return tiff;
}

// A profile whose header claims RGB but that holds no tags: no colour engine can use it.
QByteArray emptyRgbProfile() {
  QByteArray icc(132, '\0');
  qToBigEndian(quint32(icc.size()), icc.data());
  icc.replace(12, 4, "mntr").replace(16, 4, "RGB ").replace(20, 4, "XYZ ").replace(36, 4, "acsp");
  return icc;
}

}  // namespace

QByteArray vipsSaved(const vips::VImage& picture, const char* suffix) {
  void* bytes = nullptr;
  size_t size = 0;
  picture.write_to_buffer(suffix, &bytes, &size);
  const QByteArray file(static_cast<const char*>(bytes), qsizetype(size));
  g_free(bytes);
  return file;
}

QByteArray encodeJpeg(int width, int height, int components, bool progressive, bool subsampled,
                      int bitByBit) {
  jpeg_compress_struct info{};  // libjpeg's own error handler ends the process: nothing fails
  jpeg_error_mgr errors{};
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = JDIMENSION(width);
  info.image_height = JDIMENSION(height);
  info.input_components = components;
  info.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 4 ? JCS_CMYK : JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 85, TRUE);
  if (!subsampled) info.comp_info[0].h_samp_factor = info.comp_info[0].v_samp_factor = 1;
  const std::vector<jpeg_scan_info> scans = bitByBitScans(components, std::max(bitByBit, 0));
  if (bitByBit >= 0) info.scan_info = scans.data(), info.num_scans = int(scans.size());
  if (bitByBit < 0 && progressive) jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  std::vector<JSAMPLE> row(std::size_t(width) * components);
  for (int y = 0; y < height; ++y) {
    for (int i = 0; i < width * components; ++i) {
      const int x = i / components, c = i % components;
      const int v = c == 0 ? x * 200 / width : c == 1 ? y * 200 / height : (x + y) % 200;
      row[std::size_t(i)] = JSAMPLE(v + ((x ^ y) & 7) * 3);  // the ripple: every scan has data
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  const QByteArray jpeg(reinterpret_cast<const char*>(buffer), qsizetype(size));
  return std::free(buffer), jpeg;
}

std::vector<HostileFile> hostileFiles() {
  using enum HostileFile::Expect;
  const QByteArray photo = encodeJpeg(1800, 1200, 3, true);             // to be cut short
  const QByteArray scans496 = encodeJpeg(512, 512, 1, true, true, 44);  // 11 + 44 x 11 + 1 scans
  const QByteArray cmyk455 = encodeJpeg(128, 128, 4, true, true, 10);   // 11 + 4 x (10 x 11 + 1)
  const QByteArray tiny444 = encodeJpeg(64, 48, 3, true, false);
  const QByteArray heic = vipsSaved(640, 480, ".heic"), webp = vipsSaved(640, 480, ".webp");
  QByteArray webpChunk = webp;  // its first chunk claims 2 GB
  qToLittleEndian(quint32(0x7FFFFFF0), webpChunk.data() + 16);
  QByteArray webpData = webp;  // the compressed data past the chunk headers scrambled
  for (qsizetype i = 40; i < webpData.size(); i += 3) webpData[i] = char(webpData[i] ^ 0x5A);
  // Other formats under a picture's name, vast declared sizes (of what is held whole), data cut
  // short, scans so many (or over so many blocks) that walking them takes minutes.
  // clang-format off
  return {
      {"svg.jpg", "<?xml version='1.0'?><svg width='100000' height='100000'/>\n", Unreadable},
      {"pdf.jpg", "%PDF-1.4\n1 0 obj<</Type/Page/MediaBox[0 0 14400 14400]>>endobj\n", Unreadable},
      {"tiff.jpg", QByteArray::fromHex("49492a00080000000100000104000100000000400000"), Unreadable},
      {"ppm.png", "P6\n16384 16384\n255\n" + QByteArray(64, 'x'), Unreadable},
      {"progressive-16384.jpg", declaring(tiny444, 16384, 16384), TooLarge, 268},
      {"progressive-cut.jpg", photo.left(photo.size() * 3 / 5), Unreadable},
      {"scans-704.jpg", encodeJpeg(512, 512, 1, true, true, 63), Unreadable},
      {"scans-496.jpg", scans496, Drawn},
      {"scans-496-8192.jpg", declaring(scans496, 8192, 8192), Unreadable},  // 500 M blocks
      {"cmyk-scans-895.jpg", encodeJpeg(128, 128, 4, true, true, 20), Unreadable},  // libvips reads
      {"cmyk-scans-455-7000.jpg", declaring(cmyk455, 7000, 7000), Unreadable},  // 350 M blocks
      {"progressive-48mp.jpg", declaring(encodeJpeg(64, 48, 3, true), 8000, 6000), Drawn},
      {"baseline-100mp.jpg", declaring(encodeJpeg(64, 48), 12500, 8000), Drawn},
      {"gif-16384.gif", declaredGif(16384, 16384), TooLarge, 268},  // a frame of 1 GB
      {"gif-6000.gif", declaredGif(6000, 6000), Drawn},  // 144 MB
      {"png-interlaced-16000.png", zeroPng(16000, 16000, 16, 4, true, 1, 4), TooLarge, 256},
      {"png-zeros-8000.png", zeroPng(8000, 8000, 8, 0, false, 8000, 1), Drawn},  // 64 MB from 62 kB
      {"png-wide.png", zeroPng(1000000, 200, 8, 2, false, 1, 3), TooLarge, 200},  // 600 MB in rows
      {"bmp-rle-15000.bmp", declaredRleBmp(15000, 15000), TooLarge, 225},  // 1.1 GB from 64 bytes
      // Some 1.75 billion pixels a side (found by the fuzzer): the estimate must not overflow.
      {"png-vast.png", QByteArray::fromBase64("iVBORw0KGgoAAAANSUhEUmhlaWdodAAQEAIAiVBORw0KGgQAgQAAZw=="), Unreadable},
      // Phones' and the web's formats cut short or damaged, a TIFF whose directory lies 2 GB in,
      // and a colour profile that no colour engine takes (the picture shows as stored).
      {"heic-cut.heic", heic.left(heic.size() * 2 / 3), Unreadable},
      {"heic-header.heic", heic.left(40), Unreadable},
      {"webp-chunk.webp", webpChunk, Unreadable},
      {"webp-data.webp", webpData, Unreadable},
      {"tiff-2g.tif", QByteArray("II*\0", 4) + words({0x80000000u}) + QByteArray(64, '\0'), Unreadable},
      // 240 MP in a single strip of 720 MB, which libtiff would decode whole.
      {"tiff-strip.tif", QByteArray::fromHex(
          "49492a00080000000a000001040001000000204e00000101040001000000e02e00000201030003000000"
          "860000000301030001000000010000000601030001000000020000001101040001000000080000001501"
          "030001000000030000001601040001000000e02e000017010400010000000054ea2a1c01030001000000"
          "0100000000000000080008000800"), TooLarge, 240},
      {"tiff-tiled-144mp.tif", tiledTiffWithoutData(), Unreadable},  // estimated by its tiles
      {"bad-profile.jpg", withProfile(encodeJpeg(64, 48), emptyRgbProfile()), Drawn},
  };
  // clang-format on
}

bool writeHostileFiles(const QString& folder) {
  if (!QDir().mkpath(folder)) return false;
  for (const HostileFile& file : hostileFiles()) {
    QFile out(folder + QLatin1Char('/') + file.name);
    if (!out.open(QIODevice::WriteOnly) || out.write(file.bytes) != file.bytes.size()) return false;
  }
  return true;
}

}  // namespace trimora::testing
