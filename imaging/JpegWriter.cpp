#include "JpegWriter.h"

#include <turbojpeg.h>
#include <QCoreApplication>
#include <QFileInfo>
#include <memory>

#include "Bitmap24.h"
#include "SafeFileWrite.h"

namespace trimora {

namespace {

// Where a failure comes from: the program's file name without extension, then the writer.
QString writerSource() {
  QString program;
  if (QCoreApplication::instance())
    program = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
  return (program.isEmpty() ? QStringLiteral("trimora") : program) + QStringLiteral(".JpegWriter");
}

struct TjDestroy {
  void operator()(void* handle) const { tjDestroy(handle); }
};
struct TjFree {
  void operator()(unsigned char* buffer) const { tjFree(buffer); }
};

}  // namespace

int jpegSubsamplingFor(int quality) {
  return quality >= 90 ? TJSAMP_444 : TJSAMP_420;
}

WriteError writeJpegFile(const Bitmap24& bitmap, const QString& path, int quality, WriteMode mode) {
  const std::unique_ptr<void, TjDestroy> encoder(tjInitCompress());
  if (!encoder) {
    return {WriteError::EncoderFailed, writerSource(),
            QStringLiteral("Failed to initialise the IJL library: %1").arg(-1)};
  }
  unsigned char* jpeg = nullptr;
  unsigned long jpegSize = 0;
  const int result = tjCompress2(encoder.get(), bitmap.constBits(), bitmap.width(),
                                 bitmap.bytesPerLine(), bitmap.height(), TJPF_BGR, &jpeg, &jpegSize,
                                 jpegSubsamplingFor(quality), quality, TJFLAG_BOTTOMUP);
  const std::unique_ptr<unsigned char, TjFree> owned(jpeg);
  if (result != 0) {
    return {WriteError::EncoderFailed, writerSource(),
            QStringLiteral("Failed to save to JPG %1").arg(result)};
  }
  return imaging::writeFileSafely(path, jpeg, jpegSize, mode, writerSource());
}

}  // namespace trimora
