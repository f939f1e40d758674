#include "basSaveAsJpg.h"

#include <turbojpeg.h>
#include <QCoreApplication>
#include <QFileInfo>
#include <memory>

#include "SafeFileWrite.h"
#include "cDIBSection.h"

namespace trimora {

namespace {

// The program's file name without extension, then the encoder's name.
QString ProgramName() {
  const QString program =
      QCoreApplication::instance()
          ? QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName()
          : QString();
  return program.isEmpty() ? QStringLiteral("trimora") : program;
}

struct TjDestroy {
  void operator()(void* handle) const { tjDestroy(handle); }
};
struct TjFree {
  void operator()(unsigned char* buffer) const { tjFree(buffer); }
};

}  // namespace

int JpegSubsamplingFor(int quality) {
  return quality >= 90 ? TJSAMP_444 : TJSAMP_420;
}

bool WriteJpegFile(cDIBSection& dib, const QString& path, int quality, ErrInfo& err,
                   SaveMode mode) {
  err.Clear();
  const QString librarySource = ProgramName() + QStringLiteral(".mIntelJPEGLibrary");
  const std::unique_ptr<void, TjDestroy> encoder(tjInitCompress());
  if (!encoder) {
    err = {kErrJpegLibrary, librarySource,
           QStringLiteral("Failed to initialise the IJL library: %1").arg(-1)};
    return false;
  }
  unsigned char* jpeg = nullptr;
  unsigned long jpegSize = 0;
  const int result = tjCompress2(encoder.get(), dib.DIBSectionBitsPtr(), dib.Width(),
                                 dib.BytesPerScanLine(), dib.Height(), TJPF_BGR, &jpeg, &jpegSize,
                                 JpegSubsamplingFor(quality), quality, TJFLAG_BOTTOMUP);
  const std::unique_ptr<unsigned char, TjFree> owned(jpeg);
  if (result != 0) {
    err = {kErrJpegLibrary, librarySource, QStringLiteral("Failed to save to JPG %1").arg(result)};
    return false;
  }
  return imaging::WriteFileSafely(
      path, jpeg, jpegSize,
      mode == SaveMode::CreateNew ? imaging::WriteMode::CreateNew : imaging::WriteMode::Replace,
      ProgramName() + QStringLiteral(".basSaveAsJpg"), err);
}

}  // namespace trimora
