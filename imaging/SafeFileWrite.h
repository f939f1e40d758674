#pragma once

#include <QString>
#include <cstddef>

#include "WriteError.h"

namespace trimora::imaging {

// The two calls that place a new file without replacing one. Tests swap them
// for calls that fail as a file system without them does.
struct FileSystemCalls {
  int (*renameNoReplace)(const char* from, const char* to);
  int (*link)(const char* from, const char* to);
};
const FileSystemCalls& fileSystemCalls();
void setFileSystemCalls(const FileSystemCalls& calls);
void resetFileSystemCalls();

// Writes size bytes to path so that the path never holds a partial file: the
// bytes go into a temporary file in the same folder, which is then renamed
// into place (or, where the file system can neither rename without replacing
// nor link, written straight into an exclusively created file). Every new
// file is flushed to disk before this returns no error. On failure the path
// is as it was, no temporary file remains, and the error holds a number
// (FileAlreadyExists, PathNotFound, PermissionDenied, DiskFull or FileIo), the
// given source and a description with the system's reason and the path.
WriteError writeFileSafely(const QString& path, const void* data, std::size_t size, WriteMode mode,
                           const QString& source);

}  // namespace trimora::imaging
