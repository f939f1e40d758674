// Shows one picture the way the workspace does at a zoom and exits: Trimora's display as a whole
// process, to time and to measure against command-line tools doing the same reduction
// (compare_tools.sh). With OUT, the shown picture is saved there (PNG), for quality checks; with
// a frame, the picture is shown as for that frame in the crop view of a 1366 x 768 screen's
// window (the cap lifted and the canvas shown smaller where the frame asks for it).
//
//   trimora_display FILE ZOOM [OUT.png [FRAME_W FRAME_H]]
//
// Prints the file's size, the canvas and where the picture lands on it.
#include <QGuiApplication>
#include <QString>
#include <cstdio>
#include <cstdlib>

#include "CropGeometry.h"
#include "PictureLoader.h"
#include "TextRules.h"

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4 && argc != 6) {
    std::fprintf(stderr, "usage: %s FILE ZOOM [OUT.png [FRAME_W FRAME_H]]\n", argv[0]);
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QString path = QString::fromLocal8Bit(argv[1]);
  const int zoom = std::atoi(argv[2]);
  const trimora::ImagingLibrary imaging;
  const QSize file = trimora::pictureFileSize(path).value_or(QSize(0, 0));
  QImage shown;
  if (argc == 6) {
    const QSize frame(std::atoi(argv[4]), std::atoi(argv[5]));
    const QSize canvas = trimora::canvasForZoom(file, zoom, frame);
    const double scale = trimora::viewScale(frame, {835, 604});
    shown = trimora::loadScaledPicture(
        path,
        {trimora::nearestInt(canvas.width() * scale), trimora::nearestInt(canvas.height() * scale)},
        Qt::white, Qt::KeepAspectRatio, 0);
  } else {
    shown = trimora::loadDisplayPicture(path, trimora::canvasRequest(file, zoom));
  }
  const QRect fitted = trimora::fitRect(file, shown.size(), Qt::KeepAspectRatio);
  std::printf("%d x %d shown on a %d x %d canvas, picture %d x %d (%s)\n", file.width(),
              file.height(), shown.width(), shown.height(), fitted.width(), fitted.height(),
              shown.isNull() ? "no picture" : "ok");
  if (argc >= 4 && !shown.copy(fitted).save(QString::fromLocal8Bit(argv[3]), "png")) return 1;
  return shown.isNull() ? 1 : 0;
}
