// Crops a rectangle out of a picture and saves it as a new JPEG, as the
// workspace's crop does (bitmap filled straight from the canvas, then
// WriteJpegFile), as a whole process for compare_tools.sh. The canvas is the
// picture at its own size (no 2000-pixel cap), so the cut is one to one with
// the file's pixels, as it is for the command-line tools.
//
//   trimora_crop FILE LEFT TOP WIDTH HEIGHT QUALITY OUT.jpg
#include <QString>
#include <cstdio>
#include <cstdlib>

#include "ErrInfo.h"
#include "GDIPlus.h"
#include "basSaveAsJpg.h"
#include "cDIBSection.h"

int main(int argc, char** argv) {
  if (argc != 8) {
    std::fprintf(stderr, "usage: %s FILE LEFT TOP WIDTH HEIGHT QUALITY OUT.jpg\n", argv[0]);
    return 2;
  }
  const QString path = QString::fromLocal8Bit(argv[1]);
  const int left = std::atoi(argv[2]), top = std::atoi(argv[3]);
  const int width = std::atoi(argv[4]), height = std::atoi(argv[5]);
  const int quality = std::atoi(argv[6]);
  trimora::InitGDIPlus();
  int w = -1, h = -1;
  const QImage canvas = trimora::LoadScaledPicture(path, w, h, 0xFFFFFF, true, /*MaxSize=*/0);
  if (canvas.isNull() || !canvas.rect().contains(QRect(left, top, width, height))) {
    std::fprintf(stderr, "%s: no picture, or the cut lies outside it\n", argv[1]);
    return 1;
  }
  trimora::cDIBSection dib;
  trimora::ErrInfo err;
  const bool written = dib.Create(width, height) &&
                       dib.LoadPictureBlt(canvas, left, top, width, height) &&
                       trimora::WriteJpegFile(dib, QString::fromLocal8Bit(argv[7]), quality, err,
                                              trimora::SaveMode::CreateNew);
  trimora::FreeGDIPlus();
  if (!written) {
    std::fprintf(stderr, "save failed: %s\n", qPrintable(err.Description));
    return 1;
  }
  std::printf("cut %d x %d at (%d, %d) of %d x %d saved at quality %d\n", width, height, left, top,
              w, h, quality);
  return 0;
}
