// write_hostile_pictures FOLDER: the hostile picture files of the imaging tests, for the
// end-to-end run that steps through them in the real window.
#include <QCoreApplication>

#include "HostilePictures.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  return argc == 2 && trimora::testing::writeHostileFiles(QString::fromLocal8Bit(argv[1])) ? 0 : 2;
}
