// libFuzzer target: each input is a listed file, measured and drawn as the workspace does (own size
// and a zoom); a canvas has the planned size, a refusal one of its texts, and only a measured
// picture is drawn (with nothing to say, or that its colour profile could not be used). The runner
// bounds memory and time.
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <cstdlib>

#include "ColourProfile.h"
#include "PictureLoader.h"

static QString inputFolder() {  // this process's own, removed at exit
  return QDir::tempPath() + QStringLiteral("/trimora-fuzz-%1").arg(qint64(::getpid()));
}

static void require(bool condition) {
  if (!condition) std::abort();
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  static const trimora::ImagingLibrary imaging;
  QDir().mkpath(inputFolder());
  std::atexit([] { QDir(inputFolder()).removeRecursively(); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const QString path = inputFolder() + QStringLiteral("/input.jpg");
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
  file.write(reinterpret_cast<const char*>(data), qint64(size));
  file.close();
  const std::optional<QSize> measured = trimora::pictureFileSize(path);
  require(!measured || (measured->width() > 0 && measured->height() > 0));
  for (const QSize ask : {QSize(-1, -1), QSize(97, 61)}) {
    QString whyNot = QStringLiteral("stale");
    const QImage canvas = trimora::loadDisplayPicture(path, ask, &whyNot);
    require(canvas.isNull()
                ? whyNot == trimora::cannotReadPictureText() ||
                      whyNot.startsWith(QStringLiteral("Picture too large to open ("))
                : (whyNot.isEmpty() || whyNot == trimora::imaging::profileNotUsedText()) &&
                      measured &&
                      canvas.size() ==
                          trimora::canvasSizeFor(*measured, ask, trimora::kMaxDisplaySide));
  }
  return 0;
}
