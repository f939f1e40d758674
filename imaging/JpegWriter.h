#pragma once

#include <QString>

#include "WriteError.h"

namespace trimora {

class Bitmap24;

// Writes the bitmap as a colour JPEG of its own size at quality (1 to 100),
// reading its bottom-up, padded BGR rows in place. Returns no error when the
// file was written. Otherwise the error is EncoderFailed when the encoder
// cannot start ("Failed to initialise the IJL library: <code>") or fails
// ("Failed to save to JPG <code>"), or the file system's error with its reason
// and the path. Whatever fails, a file that was at path is left byte for byte
// as it was and no temporary file remains. A captureDate ("YYYY:MM:DD HH:MM:SS") goes into the
// file's EXIF as the date the photo was taken, which is all the EXIF it carries; without one the
// file has no EXIF.
WriteError writeJpegFile(const Bitmap24& bitmap, const QString& path, int quality,
                         WriteMode mode = WriteMode::Replace, const QString& captureDate = {});

// Whether text is an EXIF date and time, "YYYY:MM:DD HH:MM:SS".
bool isExifDate(const QString& text);

// The APP1 segment (marker included) of an EXIF block that holds only DateTimeOriginal, big-endian;
// empty when captureDate is not of the form "YYYY:MM:DD HH:MM:SS".
QByteArray exifDateSegment(const QString& captureDate);

// The chroma subsampling (a TurboJPEG TJSAMP value) used at a quality: full
// colour resolution from 90 up, where fine coloured detail is expected to
// survive, 4:2:0 below.
int jpegSubsamplingFor(int quality);

}  // namespace trimora
