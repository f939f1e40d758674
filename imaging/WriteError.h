#pragma once

#include <QString>

namespace trimora {

// Why a file was not written: a number, the part of the program that failed
// and a sentence for the user. Number None (0) means nothing failed, so an
// error tests true exactly when there is one, as std::error_code does.
struct WriteError {
  enum Number : long {
    None = 0,
    FileAlreadyExists = 58,  // a no-replace creation met an existing file
    DiskFull = 61,
    PermissionDenied = 70,
    FileIo = 75,
    PathNotFound = 76,
    EncoderFailed = 26001,  // the JPEG encoder could not start or failed
  };

  long number = None;
  QString source;
  QString description;

  explicit operator bool() const { return number != None; }
};

// How a file is placed at its path.
enum class WriteMode {
  // Replaces a file of that name, which keeps its access and modification
  // times and permission bits; creates the file when there is none.
  Replace,
  // Creates the file only if no file of that name exists at the moment of
  // creation; otherwise fails with FileAlreadyExists and leaves that file alone.
  CreateNew,
};

}  // namespace trimora
