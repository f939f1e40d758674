#pragma once

#include <QString>
#include <cstddef>

#include "ErrInfo.h"

namespace trimora::imaging {

enum class WriteMode {
  // Replaces a file of that name, which keeps its access and modification
  // times and permission bits; creates the file when there is none.
  Replace,
  // Creates the file only if no file of that name exists at the moment of creation.
  CreateNew,
};

// Writes size bytes to path so that the path never holds a partial file: the
// bytes go into a temporary file in the same folder, which is then renamed
// into place. On failure the path is as it was, no temporary file remains, and
// err holds a number (kErrFileAlreadyExists, kErrPathNotFound,
// kErrPermissionDenied, kErrDiskFull or kErrFileIO), the given source and a
// description with the system's reason and the path.
bool WriteFileSafely(const QString& path, const void* data, std::size_t size, WriteMode mode,
                     const QString& source, ErrInfo& err);

}  // namespace trimora::imaging
