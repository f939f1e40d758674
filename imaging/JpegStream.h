#pragma once

#include <QByteArray>
#include <QRect>
#include <QSize>
#include <cstdint>
#include <optional>
#include <vector>

namespace trimora::imaging {

// What a JPEG file's header says about decoding it.
struct JpegLayout {
  QSize size;
  // CMYK or YCCK: decodeJpegScaled leaves these to the general reader.
  bool cmyk = false;
  // Progressive, or components in separate scans: libjpeg then holds every
  // DCT coefficient of the picture until the last scan is in.
  bool wholeCoefficients = false;
  // What that coefficient buffer takes (2 bytes a coefficient, each component
  // at its own sampling); counted whether or not it is needed.
  std::int64_t coefficientBytes = 0;
};

// Reads the header of the JPEG file at `path` (no scan data); nothing when
// libjpeg does not accept it.
std::optional<JpegLayout> readJpegLayout(const QByteArray& path);

// True when the scans of the file stay within kMaxJpegScans and
// kMaxJpegScanBlocks, found by walking its markers without decoding (for a
// reader that has no such limits); false past them or when it cannot be read.
bool jpegScansWithinLimits(const QByteArray& path);

enum class JpegOutcome {
  Decoded,
  HandOn,      // not for this decoder (CMYK, a size other than the header's)
  Unreadable,  // cut short, past the limits on scans, or an error of libjpeg's
  OverBudget,  // libjpeg would need more memory than decodeBudget() allows
};

// Decodes the JPEG file at `path` at the DCT scale 1/shrink (1, 2, 4 or 8) and
// scales it with the cubic filter to `size` (packed RGB, rows top to bottom,
// as stored, before any orientation) into `out`. The decoding runs on a second
// thread while this one scales the rows already decoded, so a large photo
// takes little more than its decoding, and only a few rows are held at a time.
// `scaled` is the size the DCT scale gives, as the caller worked it out from
// the header; a file that decodes to another size is handed on.
// Damaged data that libjpeg works around (its warnings) is decoded as libjpeg
// mends it; a file that ends early is refused, as is a progressive file past
// kMaxJpegScans scans or kMaxJpegScanBlocks blocks gone over by them (see
// DecodeBudget.h). libjpeg's memory is capped at decodeBudget(), so an
// estimate from the header that falls short still cannot run away.
// `out` is left as it was unless the outcome is Decoded. With a `window` (within size), only
// that part of the scaled picture is made and kept (window.width() x window.height() pixels):
// rows below it are not decoded at all.
// Decodes the part `region` of the picture at its own size, as stored, straight into 24-bit
// rows (blue, green, red) stored bottom-up `rowBytes` apart from `bits`: the rows above the part
// are skipped and only the columns under it decoded, with nothing held between the decoder and
// the rows. HandOn for CMYK or a region outside the picture; the same limits as decodeJpegScaled.
JpegOutcome decodeJpegRegion(const QByteArray& path, const QRect& region, std::uint8_t* bits,
                             int rowBytes);

JpegOutcome decodeJpegScaled(const QByteArray& path, int shrink, QSize scaled, QSize size,
                             std::vector<std::uint8_t>& out, const QRect& window = {});

}  // namespace trimora::imaging
