#pragma once

#include <QSize>
#include <cstdint>
#include <limits>

// What decoding one picture may spend. A few hundred bytes can declare a
// picture whose decoding would hold gigabytes, so before any pixel is decoded
// the memory that the chosen decoder will hold is worked out from the file's
// header, and a picture whose estimate is over the budget is refused.
namespace trimora::imaging {

inline constexpr std::int64_t kDefaultDecodeBudget = std::int64_t(512) << 20;

// The most memory (bytes) that the decoding of one picture may hold, for the
// whole process; kDefaultDecodeBudget unless changed.
std::int64_t decodeBudget();
// Sets the budget for every later decode (a tool or a test); a value of 0 or
// less restores the default.
void setDecodeBudget(std::int64_t bytes);

// A progressive JPEG is refused past this many scans: each scan goes over
// the blocks of its components again, so a small file of many scans takes minutes.
inline constexpr int kMaxJpegScans = 500;
// ... and past this many blocks gone over by its scans together (some 25 ns
// each): fewer scans over a vast picture cost as much. A progressive photo
// of 170 MP (the most the budget allows at 4:2:0) from a common encoder takes
// some 25 million.
inline constexpr std::int64_t kMaxJpegScanBlocks = std::int64_t(64) << 20;

// Bytes for a whole decoded frame of `size` at `bytesPerPixel`; the largest
// value when a declared size would overflow the count (it is refused then).
inline std::int64_t frameBytes(QSize size, int bytesPerPixel) {
  if (size.width() <= 0 || size.height() <= 0 || bytesPerPixel <= 0) return 0;
  const std::int64_t pixels = std::int64_t(size.width()) * size.height();  // < 2^62
  if (pixels > std::numeric_limits<std::int64_t>::max() / bytesPerPixel)
    return std::numeric_limits<std::int64_t>::max();
  return pixels * bytesPerPixel;
}

}  // namespace trimora::imaging
