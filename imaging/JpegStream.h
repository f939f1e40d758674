#pragma once

#include <QByteArray>
#include <QSize>
#include <cstdint>
#include <vector>

namespace trimora::imaging {

// Decodes the JPEG file at `path` at the DCT scale 1/shrink (1, 2, 4 or 8) and
// scales it with the cubic filter to `size` (packed RGB, rows top to bottom,
// as stored, before any orientation) into `out`. The decoding runs on a second
// thread while this one scales the rows already decoded, so a large photo
// takes little more than its decoding, and only a few rows are held at a time.
// `scaled` is the size the DCT scale gives, as the caller worked it out from
// the header; a file that decodes to another size is refused.
// False, with `out` left as it was, for anything the decoder complains about,
// a warning included, and for CMYK files: the caller then hands the file to
// the general reader, which decides what can be shown of a damaged file.
bool DecodeJpegScaled(const QByteArray& path, int shrink, QSize scaled, QSize size,
                      std::vector<std::uint8_t>& out);

}  // namespace trimora::imaging
