// Shows one picture the way the workspace does at zoom 100 and exits; run it
// under /usr/bin/time -v to read the peak resident memory of a display.
//
//   show_peak [picture, default bench/images/photo48.jpg]
#include <QGuiApplication>
#include <cstdio>

#include "PictureLoader.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QString path =
      argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(BENCH_IMAGES_DIR "/photo48.jpg");
  const trimora::ImagingLibrary imaging;
  const QSize file = trimora::pictureFileSize(path).value_or(QSize(0, 0));
  const QImage shown = trimora::loadDisplayPicture(path, {-1, -1});
  std::printf("%s: %d x %d shown as %d x %d canvas (%s)\n", qPrintable(path), file.width(),
              file.height(), shown.width(), shown.height(), shown.isNull() ? "no picture" : "ok");
  return shown.isNull() ? 1 : 0;
}
