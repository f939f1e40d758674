#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <cstddef>

// Picture files in the formats and variants that the imaging tests feed to the loader.
#include "TestPictures.h"

namespace trimora::testing {

enum class Kind { Vips, Alpha, Grey, Cmyk, Png16, AnimatedGif, Bmp24, BmpTopDown, BmpRle8 };

// Writes image to path as kind. libvips kinds follow the suffix of path and take
// saver options such as "[Q=95,interlace]"; Alpha keeps image's alpha; an
// AnimatedGif's second frame is image turned half round; a non-zero orientation
// tags the file with it. BmpRle8 needs a picture of 256 colours or fewer.
bool WritePictureAs(Kind kind, const QImage& image, const QString& path, const char* options = "",
                    int orientation = 0);

// A PNG that declares width x height and holds `rows` rows of zero grey pixels,
// deflated: a few kilobytes that decode to width x height bytes.
bool WriteZeroPng(const QString& path, int width, int height, int rows);

// The most memory libvips has held for pixels so far in this process.
std::size_t VipsPixelMemoryHighWater();

}  // namespace trimora::testing
