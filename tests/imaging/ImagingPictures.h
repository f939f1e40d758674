#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <cstddef>

// Picture files in the formats and variants that the imaging tests feed to the
// loader, written by libvips or byte by byte.
namespace trimora::testing {

// Saves image through libvips; the saver follows the suffix of path and takes
// libvips options, e.g. "[Q=95,interlace]". With alpha, image's alpha is kept.
bool SaveWithVips(const QImage& image, const QString& path, const char* options = "",
                  bool alpha = false);
// A two-frame animated GIF.
bool SaveAnimatedGif(const QImage& first, const QImage& second, const QString& path);
// Variants that need more than a saver option.
bool SaveGreyJpeg(const QImage& image, const QString& path);
bool SaveCmykJpeg(const QImage& image, const QString& path);
bool Save16BitPng(const QImage& image, const QString& path);
// A JPEG of `stored` (as laid out in the file) tagged with an EXIF orientation.
bool SaveJpegWithOrientation(const QImage& stored, const QString& path, int orientation);

enum class BmpKind { Rgb24, Rgb32, TopDown24, Rle8 };
// A hand-made BMP file; Rle8 keeps the picture to a few palette colours.
bool WriteBmp(const QImage& image, const QString& path, BmpKind kind);

// A PNG that declares width x height and holds `rows` rows of zero pixels
// (8-bit grey, deflated): a few kilobytes that decode to width x height bytes.
bool WriteZeroPng(const QString& path, int width, int height, int rows);

// The most memory libvips has held for pixels so far in this process.
std::size_t VipsPixelMemoryHighWater();

bool WriteBytes(const QString& path, const QByteArray& bytes);
QByteArray ReadBytes(const QString& path);

}  // namespace trimora::testing
