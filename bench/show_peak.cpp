// Shows one picture the way the workspace does at zoom 100 and exits; run it under
// /usr/bin/time -v to read the peak resident memory of a display. With a frame, the picture is
// shown for that frame in the crop view of a 1366 x 768 screen's window (the cap lifted and the
// canvas shown smaller where the frame asks for it) and the frame's part in the middle is cut and
// saved as the workspace cuts it.
//
//   show_peak [picture, default bench/images/photo48.jpg] [frame width] [frame height]
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

#include "Bitmap24.h"
#include "CropGeometry.h"
#include "JpegWriter.h"
#include "PictureLoader.h"
#include "TextRules.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QString path =
      argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(BENCH_IMAGES_DIR "/photo48.jpg");
  const trimora::ImagingLibrary imaging;
  const QSize file = trimora::pictureFileSize(path).value_or(QSize(0, 0));
  if (argc < 4) {
    const QImage shown = trimora::loadDisplayPicture(path, {-1, -1});
    std::printf("%s: %d x %d shown as %d x %d canvas (%s)\n", qPrintable(path), file.width(),
                file.height(), shown.width(), shown.height(), shown.isNull() ? "no picture" : "ok");
    return shown.isNull() ? 1 : 0;
  }
  const QSize frame(std::atoi(argv[2]), std::atoi(argv[3]));
  const QSize canvas = trimora::canvasForZoom(file, 100, frame);
  const double scale = trimora::viewScale(frame, {835, 604});
  const QImage shown = trimora::loadScaledPicture(
      path,
      {trimora::nearestInt(canvas.width() * scale), trimora::nearestInt(canvas.height() * scale)},
      Qt::white, Qt::KeepAspectRatio, 0);
  const QRect middle(
      QPoint((canvas.width() - frame.width()) / 2, (canvas.height() - frame.height()) / 2), frame);
  trimora::Bitmap24 cut;
  const bool copied = trimora::loadPictureRegion(path, canvas, middle, cut);
  const QString out = QDir::tempPath() + QStringLiteral("/trimora_show_peak.jpg");
  QFile::remove(out);
  const bool saved = copied && !trimora::writeJpegFile(cut, out, 90, trimora::WriteMode::CreateNew);
  QFile::remove(out);
  std::printf("%s: canvas %d x %d shown as %d x %d at %.0f %%, %d x %d cut %s\n", qPrintable(path),
              canvas.width(), canvas.height(), shown.width(), shown.height(), scale * 100,
              frame.width(), frame.height(), saved ? "saved" : "failed");
  return saved ? 0 : 1;
}
