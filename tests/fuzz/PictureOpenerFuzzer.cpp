// libFuzzer target for the picture opener: every input is a file that the
// workspace might list. It is measured and drawn as the workspace does, at
// its own size and at a zoom, and each answer must hold together: a drawn
// canvas has the size planned for the picture's size, a refusal says why in
// one of the two status texts, and a refused load leaves the sizes alone.
// Memory and time are bounded by the runner (-rss_limit_mb, -timeout).
#include <unistd.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QString>
#include <cstdint>
#include <cstdlib>

#include "GDIPlus.h"

namespace {

// A folder of this process's own for the input file, removed at exit.
const QString& InputFolder() {
  static const QString folder =
      QDir::tempPath() + QStringLiteral("/trimora-fuzz-%1").arg(qint64(::getpid()));
  return folder;
}

void Require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  trimora::InitGDIPlus();
  QDir().mkpath(InputFolder());
  std::atexit([] { QDir(InputFolder()).removeRecursively(); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const QString path = InputFolder() + QStringLiteral("/input.jpg");
  {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
    file.write(reinterpret_cast<const char*>(data), qint64(size));
  }
  int fileW = -7, fileH = -9;
  trimora::GetPictureFileSize(path, fileW, fileH);
  const bool measured = QSize(fileW, fileH) != QSize(-7, -9);
  Require(!measured || (fileW > 0 && fileH > 0));
  for (const QSize ask : {QSize(-1, -1), QSize(97, 61)}) {
    int w = ask.width(), h = ask.height();
    QString whyNot = QStringLiteral("stale");
    const QImage canvas = trimora::LoadDisplayPicture(path, w, h, true, &whyNot);
    if (canvas.isNull()) {
      Require(QSize(w, h) == ask);
      Require(whyNot == trimora::CannotReadPictureText() ||
              whyNot.startsWith(QStringLiteral("Picture too large to open (")));
    } else {
      Require(whyNot.isEmpty() && measured);
      Require(canvas.size() == QSize(w, h));
      Require(canvas.size() ==
              trimora::CanvasSizeFor({fileW, fileH}, ask.width(), ask.height(), 2000));
    }
  }
  return 0;
}
