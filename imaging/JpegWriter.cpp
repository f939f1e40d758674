#include "JpegWriter.h"

#include <turbojpeg.h>
#include <QCoreApplication>
#include <QDataStream>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
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

bool isExifDate(const QString& text) {
  static const QRegularExpression kDate(
      QStringLiteral("^\\d{4}:\\d\\d:\\d\\d \\d\\d:\\d\\d:\\d\\d$"));
  return kDate.match(text).hasMatch();
}

QByteArray exifDateSegment(const QString& captureDate) {
  if (!isExifDate(captureDate)) return {};
  QByteArray tiff;
  QDataStream out(&tiff, QIODevice::WriteOnly);
  out.setByteOrder(QDataStream::BigEndian);
  // Header, then the first directory with one entry: where the EXIF directory is (offset 26).
  out.writeRawData("MM", 2);
  out << quint16(42) << quint32(8);
  out << quint16(1) << quint16(0x8769) << quint16(4) << quint32(1) << quint32(26) << quint32(0);
  // The EXIF directory: DateTimeOriginal, 20 ASCII characters with their end, at offset 44.
  out << quint16(1) << quint16(0x9003) << quint16(2) << quint32(20) << quint32(44) << quint32(0);
  out.writeRawData(captureDate.toLatin1().constData(), 19);
  out << quint8(0);
  const QByteArray body = QByteArray("Exif\0\0", 6) + tiff;
  QByteArray segment("\xFF\xE1", 2);
  segment.append(char((body.size() + 2) >> 8)).append(char((body.size() + 2) & 0xFF));
  return segment + body;
}

int jpegSubsamplingFor(int quality) {
  return quality >= 90 ? TJSAMP_444 : TJSAMP_420;
}

WriteError writeJpegFile(const Bitmap24& bitmap, const QString& path, int quality, WriteMode mode,
                         const QString& captureDate) {
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
  const QByteArray exif = exifDateSegment(captureDate);
  if (exif.isEmpty() || jpegSize < 2)
    return imaging::writeFileSafely(path, jpeg, jpegSize, mode, writerSource());
  // The EXIF segment follows the JFIF one that the encoder writes after the start of image.
  QByteArray file(reinterpret_cast<const char*>(jpeg), qsizetype(jpegSize));
  qsizetype at = 2;
  if (file.size() > 6 && quint8(file[2]) == 0xFF && quint8(file[3]) == 0xE0)
    at = std::min<qsizetype>(file.size(), 4 + (quint8(file[4]) << 8 | quint8(file[5])));
  file.insert(at, exif);
  return imaging::writeFileSafely(path, reinterpret_cast<const unsigned char*>(file.constData()),
                                  std::size_t(file.size()), mode, writerSource());
}

}  // namespace trimora
