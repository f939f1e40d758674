#include "TestPictures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QProcess>
#include <QTemporaryDir>

namespace trimora::testing {

QImage PatternImage(int width, int height, int seed) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < width; ++x) {
      const unsigned h =
          unsigned(x * 73856093u) ^ unsigned(y * 19349663u) ^ unsigned(seed * 83492791u);
      const int r = (x * 255 / std::max(1, width - 1) + int(h % 17)) & 0xFF;
      const int g = (y * 255 / std::max(1, height - 1) + int((h >> 5) % 17)) & 0xFF;
      const int b = int((h >> 10) & 0xFF);
      line[x] = qRgb(r, g, b);
    }
  }
  return image;
}

QString WritePicture(const QString& path, int width, int height, int seed, QColor flat) {
  QImage image = flat.isValid() ? QImage(width, height, QImage::Format_RGB32)
                                : PatternImage(width, height, seed);
  if (flat.isValid()) image.fill(flat);
  QDir().mkpath(QFileInfo(path).absolutePath());
  const QString suffix = QFileInfo(path).suffix().toLower();
  QByteArray format = suffix.toLatin1();
  if (format == "jpg" || format == "jfif" || format == "jpe") format = "jpeg";
  if (!QImageWriter::supportedImageFormats().contains(format)) {
    // What Qt does not write (GIF, WebP, TIFF, HEIC, AVIF) another program converts from a PNG:
    // ImageMagick for GIF, libvips for the rest.
    QTemporaryDir tmp;
    const QString png = tmp.path() + QStringLiteral("/p.png");
    if (!image.save(png, "png")) return {};
    const bool gif = format == "gif";
    const QStringList arguments = gif ? QStringList{png, path} : QStringList{"copy", png, path};
    if (QProcess::execute(gif ? QStringLiteral("/usr/bin/convert") : QStringLiteral("vips"),
                          arguments) != 0)
      return {};
    return path;
  }
  if (!image.save(path, format.constData(), 95)) return {};
  return path;
}

void WritePictureFolder(const QString& folder, int count, int width, int height) {
  for (int i = 0; i < count; ++i)
    WritePicture(folder + QStringLiteral("/pic%1.jpg").arg(i, 2, 10, QLatin1Char('0')), width,
                 height, i);
}

bool WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QByteArray ReadBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace trimora::testing
