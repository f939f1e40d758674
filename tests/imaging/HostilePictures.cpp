#include "HostilePictures.h"

#include <zlib.h>

#include <QDir>
#include <QFile>
#include <QtEndian>
#include <csetjmp>
#include <cstdio>
// clang-format off
#include <jpeglib.h>
// clang-format on

namespace trimora::testing {

namespace {

// ---- JPEG, through libjpeg ----

struct JpegRecipe {
  int width = 64;
  int height = 48;
  int components = 3;  // 1 grey, 3 colour, 4 CMYK
  int sampling = 2;    // the first component's factor both ways: 2 is 4:2:0, 1 is 4:4:4
  bool progressive = false;
  std::vector<jpeg_scan_info> scans;  // a scan script of its own, when not empty
  int quality = 85;
};

struct EncodeTrap {
  jpeg_error_mgr manager;  // first, so libjpeg's pointer to it is one to the trap
  std::jmp_buf jump;
};

[[noreturn]] void EncodeFailed(j_common_ptr info) {
  std::longjmp(reinterpret_cast<EncodeTrap*>(info->err)->jump, 1);
}

// Smooth shading with a fine ripple: compresses well, yet every scan has data.
void FillRow(std::vector<JSAMPLE>& row, int y, const JpegRecipe& r) {
  for (int x = 0; x < r.width; ++x) {
    const int ripple = ((x ^ y) & 7) * 3;
    for (int c = 0; c < r.components; ++c) {
      const int v = c == 0 ? x * 200 / r.width : c == 1 ? y * 200 / r.height : (x + y) % 200;
      row[std::size_t(x) * r.components + c] = JSAMPLE(v + ripple);
    }
  }
}

QByteArray EncodeJpeg(const JpegRecipe& r) {
  jpeg_compress_struct info{};
  EncodeTrap trap{};
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  std::vector<JSAMPLE> row(std::size_t(r.width) * r.components);
  info.err = jpeg_std_error(&trap.manager);
  trap.manager.error_exit = EncodeFailed;
  if (setjmp(trap.jump) != 0) {
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return {};
  }
  jpeg_create_compress(&info);
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = JDIMENSION(r.width);
  info.image_height = JDIMENSION(r.height);
  info.input_components = r.components;
  info.in_color_space = r.components == 1 ? JCS_GRAYSCALE : r.components == 4 ? JCS_CMYK : JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, r.quality, TRUE);
  if (r.components == 3) {
    info.comp_info[0].h_samp_factor = info.comp_info[0].v_samp_factor = r.sampling;
  }
  if (!r.scans.empty()) {
    info.scan_info = r.scans.data();
    info.num_scans = int(r.scans.size());
  } else if (r.progressive) {
    jpeg_simple_progression(&info);
  }
  jpeg_start_compress(&info, TRUE);
  for (int y = 0; y < r.height; ++y) {
    FillRow(row, y, r);
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  QByteArray jpeg(reinterpret_cast<const char*>(buffer), qsizetype(size));
  std::free(buffer);
  return jpeg;
}

// A scan script that sends every coefficient one bit at a time, from bit 10
// (the most libjpeg allows) down: the DC of all components together, then
// each AC coefficient of each component alone. `acCoefficients` of the 63 go
// that way; the rest follow in one scan per component.
std::vector<jpeg_scan_info> BitByBitScans(int components, int acCoefficients) {
  std::vector<jpeg_scan_info> scans;
  const auto add = [&](int first, int count, int ss, int se, int ah, int al) {
    jpeg_scan_info scan{};
    scan.comps_in_scan = count;
    for (int c = 0; c < count; ++c) scan.component_index[c] = first + c;
    scan.Ss = ss, scan.Se = se, scan.Ah = ah, scan.Al = al;
    scans.push_back(scan);
  };
  for (int bit = 10; bit >= 0; --bit) add(0, components, 0, 0, bit == 10 ? 0 : bit + 1, bit);
  for (int c = 0; c < components; ++c) {
    for (int k = 1; k <= acCoefficients; ++k) {
      for (int bit = 10; bit >= 0; --bit) add(c, 1, k, k, bit == 10 ? 0 : bit + 1, bit);
    }
    if (acCoefficients < 63) add(c, 1, acCoefficients + 1, 63, 0, 0);
  }
  return scans;
}

// Makes a JPEG's frame header declare width x height; the scans stay those
// of the small picture, so the data runs out long before the declared rows.
QByteArray Declaring(QByteArray jpeg, int width, int height) {
  for (const char* marker : {"\xFF\xC0", "\xFF\xC2"}) {
    const qsizetype at = jpeg.indexOf(QByteArray(marker, 2));
    if (at < 0) continue;
    qToBigEndian(quint16(height), jpeg.data() + at + 5);
    qToBigEndian(quint16(width), jpeg.data() + at + 7);
    return jpeg;
  }
  return {};
}

// ---- PNG, GIF, BMP and the rest, byte by byte ----

QByteArray BigEndian32(quint32 value) {
  QByteArray out(4, '\0');
  qToBigEndian(value, out.data());
  return out;
}

QByteArray LittleEndian(quint32 value, int bytes) {
  QByteArray out;
  for (int i = 0; i < bytes; ++i) out.append(char((value >> (8 * i)) & 0xFF));
  return out;
}

QByteArray PngChunk(const QByteArray& type, const QByteArray& data) {
  const QByteArray body = type + data;
  const uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(body.constData()), uInt(body.size()));
  return BigEndian32(quint32(data.size())) + body + BigEndian32(quint32(crc));
}

// A PNG of width x height, `depth` bits, `colourType`, whose pixel data is
// `rows` rows of zeros (all of them deflated as one stream, a row at a time).
QByteArray ZeroPng(int width, int height, int depth, int colourType, bool interlaced, int rows,
                   int bytesPerPixel) {
  const QByteArray header = BigEndian32(quint32(width)) + BigEndian32(quint32(height)) +
                            char(depth) + char(colourType) + '\0' + '\0' + char(interlaced);
  z_stream zip{};
  deflateInit(&zip, 9);
  const QByteArray row(qsizetype(width) * bytesPerPixel + 1, '\0');  // filter byte, then pixels
  QByteArray data;
  std::vector<Bytef> out(std::size_t(64) << 10);
  for (int y = 0; y <= rows; ++y) {
    const bool last = y == rows;
    zip.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(row.constData()));
    zip.avail_in = last ? 0 : uInt(row.size());
    do {
      zip.next_out = out.data();
      zip.avail_out = uInt(out.size());
      deflate(&zip, last ? Z_FINISH : Z_NO_FLUSH);
      data.append(reinterpret_cast<const char*>(out.data()), qsizetype(out.size() - zip.avail_out));
    } while (zip.avail_out == 0);
  }
  deflateEnd(&zip);
  return QByteArray("\x89PNG\r\n\x1a\n", 8) + PngChunk("IHDR", header) + PngChunk("IDAT", data) +
         PngChunk("IEND", {});
}

// A GIF whose screen and one frame are width x height, with four bytes of
// picture data: 35 bytes that a reader expands into a whole frame.
QByteArray DeclaredGif(int width, int height) {
  const QByteArray size = LittleEndian(quint32(width), 2) + LittleEndian(quint32(height), 2);
  return QByteArray("GIF89a") + size + QByteArray("\x80\x00\x00", 3) +
         QByteArray("\x00\x00\x00\xFF\xFF\xFF", 6) + ',' + QByteArray(4, '\0') + size + '\0' +
         QByteArray("\x02\x02\x44\x01\x00", 5) + ';';
}

// An 8-bit run-length BMP of width x height whose only code ends the picture.
QByteArray DeclaredRleBmp(int width, int height) {
  const QByteArray palette = LittleEndian(0, 4) + LittleEndian(0xFFFFFF, 4);
  const QByteArray pixels("\x00\x01", 2);
  const quint32 offset = 14 + 40 + quint32(palette.size());
  return "BM" + LittleEndian(offset + quint32(pixels.size()), 4) + LittleEndian(0, 4) +
         LittleEndian(offset, 4) + LittleEndian(40, 4) + LittleEndian(quint32(width), 4) +
         LittleEndian(quint32(height), 4) + LittleEndian(1, 2) + LittleEndian(8, 2) +
         LittleEndian(1, 4) + LittleEndian(quint32(pixels.size()), 4) + LittleEndian(2835, 4) +
         LittleEndian(2835, 4) + LittleEndian(2, 4) + LittleEndian(0, 4) + palette + pixels;
}

// An uncompressed grey TIFF that declares width x height.
QByteArray DeclaredTiff(int width, int height) {
  QByteArray tiff = QByteArray("II*\0", 4) + LittleEndian(8, 4);
  const quint32 entries[][3] = {{256, 4, quint32(width)},
                                {257, 4, quint32(height)},
                                {258, 3, 8},
                                {259, 3, 1},
                                {262, 3, 1},
                                {273, 4, 200},
                                {278, 4, quint32(height)},
                                {279, 4, quint32(width) * quint32(height)}};
  tiff += LittleEndian(std::size(entries), 2);
  for (const auto& [tag, type, value] : entries) {
    tiff +=
        LittleEndian(tag, 2) + LittleEndian(type, 2) + LittleEndian(1, 4) + LittleEndian(value, 4);
  }
  tiff += LittleEndian(0, 4);
  return tiff + QByteArray(200 - tiff.size() + 64, '\0');
}

}  // namespace

std::vector<HostileFile> HostileFiles() {
  using Expect = HostileFile::Expect;
  JpegRecipe tiny444;
  tiny444.sampling = 1;
  tiny444.progressive = true;
  JpegRecipe tiny420;
  tiny420.progressive = true;
  JpegRecipe baseline;
  JpegRecipe photo;  // a real progressive picture, to be cut short
  photo.width = 1800, photo.height = 1200, photo.progressive = true, photo.quality = 80;
  const QByteArray whole = EncodeJpeg(photo);
  JpegRecipe manyScans;
  manyScans.width = 512, manyScans.height = 512, manyScans.components = 1;
  manyScans.scans = BitByBitScans(1, 63);  // 11 + 63 x 11 = 704 scans
  JpegRecipe justEnoughScans = manyScans;
  justEnoughScans.scans = BitByBitScans(1, 44);  // 11 + 44 x 11 + 1 = 496 scans
  JpegRecipe cmykScans;
  cmykScans.width = 128, cmykScans.height = 128, cmykScans.components = 4;
  cmykScans.scans = BitByBitScans(4, 20);  // 11 + 4 x (20 x 11 + 1) = 895 scans
  JpegRecipe cmykFewerScans = cmykScans;
  cmykFewerScans.scans = BitByBitScans(4, 10);  // 11 + 4 x (10 x 11 + 1) = 455 scans

  const QByteArray svg =
      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"100000\" height=\"100000\">"
      "<filter id=\"b\"><feGaussianBlur stdDeviation=\"900\"/></filter>"
      "<rect width=\"100000\" height=\"100000\" fill=\"red\" filter=\"url(#b)\"/></svg>\n";
  const QByteArray pdf =
      "%PDF-1.4\n1 0 obj<</Type/Catalog/Pages 2 0 R>>endobj\n"
      "2 0 obj<</Type/Pages/Kids[3 0 R]/Count 1>>endobj\n"
      "3 0 obj<</Type/Page/Parent 2 0 R/MediaBox[0 0 14400 14400]>>endobj\n"
      "trailer<</Root 1 0 R>>\n%%EOF\n";

  return {
      {"svg.jpg", svg, Expect::Unreadable, "an SVG drawing under a picture's name"},
      {"pdf.jpg", pdf, Expect::Unreadable, "a PDF page under a picture's name"},
      {"tiff.jpg", DeclaredTiff(16384, 16384), Expect::Unreadable, "a TIFF under a JPEG's name"},
      {"ppm.png", QByteArray("P6\n16384 16384\n255\n") + QByteArray(64, '\x7F'), Expect::Unreadable,
       "a PPM under a PNG's name"},
      {"progressive-16384.jpg", Declaring(EncodeJpeg(tiny444), 16384, 16384), Expect::TooLarge,
       "progressive 4:4:4 declaring 16384 x 16384: 1.6 GB of coefficients", 268},
      {"progressive-cut.jpg", whole.left(whole.size() * 3 / 5), Expect::Unreadable,
       "a progressive photo cut short"},
      {"scans-704.jpg", EncodeJpeg(manyScans), Expect::Unreadable,
       "a valid progressive JPEG of 704 scans"},
      {"scans-496.jpg", EncodeJpeg(justEnoughScans), Expect::Drawn,
       "a valid progressive JPEG of 496 scans"},
      {"scans-496-8192.jpg", Declaring(EncodeJpeg(justEnoughScans), 8192, 8192), Expect::Unreadable,
       "496 scans over 8192 x 8192: 500 million blocks to go over"},
      {"cmyk-scans-895.jpg", EncodeJpeg(cmykScans), Expect::Unreadable,
       "a valid progressive CMYK JPEG of 895 scans, which libvips reads"},
      {"cmyk-scans-455-7000.jpg", Declaring(EncodeJpeg(cmykFewerScans), 7000, 7000),
       Expect::Unreadable,
       "455 CMYK scans over 7000 x 7000, within the budget: 350 million blocks"},
      {"progressive-48mp.jpg", Declaring(EncodeJpeg(tiny420), 8000, 6000), Expect::Drawn,
       "progressive 4:2:0 declaring 8000 x 6000: 144 MB of coefficients, within the budget"},
      {"baseline-100mp.jpg", Declaring(EncodeJpeg(baseline), 12500, 8000), Expect::Drawn,
       "baseline declaring 12500 x 8000, decoded a few rows at a time"},
      {"gif-16384.gif", DeclaredGif(16384, 16384), Expect::TooLarge,
       "35 bytes of GIF declaring 16384 x 16384: a 1 GB frame", 268},
      {"gif-6000.gif", DeclaredGif(6000, 6000), Expect::Drawn,
       "35 bytes of GIF declaring 6000 x 6000: a 144 MB frame, within the budget"},
      {"png-interlaced-16000.png", ZeroPng(16000, 16000, 16, 4, true, 1, 4), Expect::TooLarge,
       "interlaced 16-bit grey and alpha PNG of 16000 x 16000: decoded whole, 1 GB", 256},
      {"png-zeros-8000.png", ZeroPng(8000, 8000, 8, 0, false, 8000, 1), Expect::Drawn,
       "a valid 8000 x 8000 PNG of zeros: 64 MB from 62 kB, streamed"},
      {"png-wide.png", ZeroPng(1000000, 200, 8, 2, false, 200, 3), Expect::TooLarge,
       "a valid 1000000 x 200 RGB PNG: even its streamed rows are 600 MB", 200},
      {"bmp-rle-15000.bmp", DeclaredRleBmp(15000, 15000), Expect::TooLarge,
       "a run-length BMP declaring 15000 x 15000 in 64 bytes: decoded whole, 1.1 GB", 225},
  };
}

bool WriteHostileFiles(const QString& folder) {
  if (!QDir().mkpath(folder)) return false;
  for (const HostileFile& file : HostileFiles()) {
    QFile out(folder + QLatin1Char('/') + file.name);
    if (file.bytes.isEmpty() || !out.open(QIODevice::WriteOnly) ||
        out.write(file.bytes) != file.bytes.size()) {
      return false;
    }
  }
  return true;
}

}  // namespace trimora::testing
