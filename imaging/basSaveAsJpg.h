#pragma once

#include <QString>

#include "ErrInfo.h"

namespace trimora {

class cDIBSection;

enum class SaveMode {
  // Replaces a file of that name; it keeps its access and modification times
  // and permission bits.
  ReplaceExisting,
  // Writes only if the name is still free when the file is created; otherwise
  // fails with kErrFileAlreadyExists and leaves the existing file alone.
  CreateNew,
};

// Number of the errors that the encoder reports.
inline constexpr long kErrJpegLibrary = 26001;

// Writes the bitmap as a colour JPEG of its own size at quality (1 to 100),
// reading its bottom-up, padded BGR rows in place. Returns true when the file
// was written. On failure returns false with err filled: kErrJpegLibrary when
// the encoder cannot start ("Failed to initialise the IJL library: <code>") or
// fails ("Failed to save to JPG <code>"), otherwise the file system's error
// with its reason and the path. Whatever fails, a file that was at path is
// left byte for byte as it was and no temporary file remains.
bool WriteJpegFile(cDIBSection& dib, const QString& path, int quality, ErrInfo& err,
                   SaveMode mode = SaveMode::ReplaceExisting);

// The chroma subsampling (a TurboJPEG TJSAMP value) used at a quality: full
// colour resolution from 90 up, where fine coloured detail is expected to
// survive, 4:2:0 below.
int JpegSubsamplingFor(int quality);

}  // namespace trimora
