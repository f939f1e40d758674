#pragma once

#include <QString>

namespace trimora {

// A failure that a procedure hands to its caller: a number, where it came from
// and a sentence for the user. Number 0 means no error.
struct ErrInfo {
  long Number = 0;
  QString Source;
  QString Description;

  explicit operator bool() const { return Number != 0; }
  void Clear() { *this = ErrInfo{}; }
};

// Numbers used across the program.
inline constexpr long kErrFileAlreadyExists = 58;  // a no-replace creation met an existing file
inline constexpr long kErrPathNotFound = 76;
inline constexpr long kErrPermissionDenied = 70;
inline constexpr long kErrDiskFull = 61;
inline constexpr long kErrFileIO = 75;

}  // namespace trimora
