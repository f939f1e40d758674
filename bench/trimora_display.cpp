// Shows one picture the way the workspace does at a zoom and exits, writing
// nothing: Trimora's display as a whole process, to time and to measure
// against command-line tools doing the same reduction (compare_tools.sh).
//
//   trimora_display FILE ZOOM
//
// Prints the file's size, the canvas and where the picture lands on it.
#include <QString>
#include <cstdio>
#include <cstdlib>

#include "PictureLoader.h"
#include "TextRules.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s FILE ZOOM\n", argv[0]);
    return 2;
  }
  const QString path = QString::fromLocal8Bit(argv[1]);
  const int zoom = std::atoi(argv[2]);
  const trimora::ImagingLibrary imaging;
  const QSize file = trimora::pictureFileSize(path).value_or(QSize(0, 0));
  const int fileW = file.width(), fileH = file.height();
  // The canvas the workspace asks for: each side capped at 2000 before scaling,
  // at least 100; at zoom 100 the picture's own size (-1 / -1), capped.
  int w = -1, h = -1;
  if (zoom != 100) {
    w = trimora::nearestInt(zoom / 100.0 * std::min(fileW, 2000));
    h = trimora::nearestInt(zoom / 100.0 * std::min(fileH, 2000));
    if (w < 100 || h < 100) w = h = 100;
  }
  const QImage shown = trimora::loadDisplayPicture(path, {w, h});
  const QRect fitted = trimora::fitRect(file, shown.size(), Qt::KeepAspectRatio);
  std::printf("%d x %d shown on a %d x %d canvas, picture %d x %d (%s)\n", fileW, fileH,
              shown.width(), shown.height(), fitted.width(), fitted.height(),
              shown.isNull() ? "no picture" : "ok");
  return shown.isNull() ? 1 : 0;
}
