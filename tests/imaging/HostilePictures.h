#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace vips {
class VImage;
}

// Small files (under 1 MB) made afresh to cost a picture reader as much as they can.
namespace trimora::testing {

struct HostileFile {
  enum class Expect { Drawn, Unreadable, TooLarge };  // TooLarge: "Picture too large to open"
  QString name;                                       // its suffix one the program lists
  QByteArray bytes;
  Expect expect;
  int megapixels = 0;  // TooLarge: the size the status line gives
};
std::vector<HostileFile> hostileFiles();
// The picture saved by libvips in the format (with options) its suffix names, such as ".heic".
QByteArray vipsSaved(const vips::VImage& picture, const char* suffix);
bool writeHostileFiles(const QString& folder);  // false on a failed write

// A JPEG of smooth shading under a fine ripple by libjpeg: 1 (grey), 3 or 4 (CMYK) components;
// bitByBit >= 0 sends that many AC coefficients one bit a scan.
QByteArray encodeJpeg(int width, int height, int components = 3, bool progressive = false,
                      bool subsampled = true, int bitByBit = -1);

}  // namespace trimora::testing
