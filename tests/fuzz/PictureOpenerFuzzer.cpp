// libFuzzer target for the picture opener: every input is a file that the
// workspace might list. It is measured and drawn as the workspace does, at
// its own size and at a zoom, and each answer must hold together: a drawn
// canvas has the size planned for the picture's size, a refusal says why in
// one of the two status texts, and only a measured picture is drawn.
// Memory and time are bounded by the runner (-rss_limit_mb, -timeout).
#include <unistd.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QString>
#include <cstdint>
#include <cstdlib>
#include <optional>

#include "PictureLoader.h"

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
  static const trimora::ImagingLibrary imaging;
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
  const std::optional<QSize> file = trimora::pictureFileSize(path);
  Require(!file || (file->width() > 0 && file->height() > 0));
  for (const QSize ask : {QSize(-1, -1), QSize(97, 61)}) {
    QString whyNot = QStringLiteral("stale");
    const QImage canvas = trimora::loadDisplayPicture(path, ask, &whyNot);
    if (canvas.isNull()) {
      Require(whyNot == trimora::cannotReadPictureText() ||
              whyNot.startsWith(QStringLiteral("Picture too large to open (")));
    } else {
      Require(whyNot.isEmpty() && file);
      Require(canvas.size() == trimora::canvasSizeFor(*file, ask, trimora::kMaxDisplaySide));
    }
  }
  return 0;
}
