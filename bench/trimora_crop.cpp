// Crops a rectangle out of a picture and saves it as a new JPEG, as the
// workspace's crop does for a frame larger than the capped picture (the cut's
// part of the canvas drawn from the file alone, then writeJpegFile), as a whole
// process for compare_tools.sh. The canvas is the picture at its own size (zoom
// 100), so the cut is one to one with the file's pixels, as it is for the
// command-line tools.
//
//   trimora_crop FILE LEFT TOP WIDTH HEIGHT QUALITY OUT.jpg
#include <QString>
#include <cstdio>
#include <cstdlib>

#include "Bitmap24.h"
#include "JpegWriter.h"
#include "PictureLoader.h"

int main(int argc, char** argv) {
  if (argc != 8) {
    std::fprintf(stderr, "usage: %s FILE LEFT TOP WIDTH HEIGHT QUALITY OUT.jpg\n", argv[0]);
    return 2;
  }
  const QString path = QString::fromLocal8Bit(argv[1]);
  const int left = std::atoi(argv[2]), top = std::atoi(argv[3]);
  const int width = std::atoi(argv[4]), height = std::atoi(argv[5]);
  const int quality = std::atoi(argv[6]);
  const trimora::ImagingLibrary imaging;
  const QSize canvas = trimora::pictureFileSize(path).value_or(QSize());
  trimora::Bitmap24 cut;
  if (!trimora::loadPictureRegion(path, canvas, QRect(left, top, width, height), cut)) {
    std::fprintf(stderr, "%s: no picture, or the cut lies outside it\n", argv[1]);
    return 1;
  }
  const trimora::WriteError error = trimora::writeJpegFile(cut, QString::fromLocal8Bit(argv[7]),
                                                           quality, trimora::WriteMode::CreateNew);
  if (error) {
    std::fprintf(stderr, "save failed: %s\n", qPrintable(error.description));
    return 1;
  }
  std::printf("cut %d x %d at (%d, %d) of %d x %d saved at quality %d\n", width, height, left, top,
              canvas.width(), canvas.height(), quality);
  return 0;
}
