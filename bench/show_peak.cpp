// Shows one picture the way the workspace does at zoom 100 and exits; run it
// under /usr/bin/time -v to read the peak resident memory of a display.
//
//   show_peak [picture, default bench/images/photo48.jpg]
#include <QGuiApplication>
#include <cstdio>

#include "GDIPlus.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QString path =
      argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(BENCH_IMAGES_DIR "/photo48.jpg");
  trimora::InitGDIPlus();
  int w = 0, h = 0;
  trimora::GetPictureFileSize(path, w, h);
  int cw = -1, ch = -1;
  const QImage shown = trimora::LoadDisplayPicture(path, cw, ch, true);
  std::printf("%s: %d x %d shown as %d x %d canvas (%s)\n", qPrintable(path), w, h, cw, ch,
              shown.isNull() ? "no picture" : "ok");
  trimora::FreeGDIPlus();
  return shown.isNull() ? 1 : 0;
}
