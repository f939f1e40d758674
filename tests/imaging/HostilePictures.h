#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

// Small files (each under 1 MB) made to cost a picture reader as much as they
// can: pictures that declare a vast size, that are cut short or made of very
// many scans, and files of other formats named as pictures. Made afresh by
// the tests and the end-to-end run, so no such file is kept in the tree.
namespace trimora::testing {

struct HostileFile {
  enum class Expect {
    Drawn,       // a valid picture within the bounds: shown
    Unreadable,  // "Cannot read picture"
    TooLarge,    // "Picture too large to open (N MP)"
  };
  QString name;  // the file's name in a folder, its suffix one the program lists
  QByteArray bytes;
  Expect expect;
  QString why;         // what the file does to a reader
  int megapixels = 0;  // for TooLarge: the size the status line gives
};

std::vector<HostileFile> HostileFiles();

// Writes every file of HostileFiles() into folder; false on a failed write.
bool WriteHostileFiles(const QString& folder);

}  // namespace trimora::testing
