// Writes the hostile picture files of the imaging tests into a folder, for
// the end-to-end run that steps through them in the real window.
//
//   write_hostile_pictures FOLDER
#include <QCoreApplication>
#include <cstdio>

#include "HostilePictures.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  return trimora::testing::writeHostileFiles(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
