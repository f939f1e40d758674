#include "DeviceCatalogue.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringList>

#include "DataFiles.h"

namespace trimora {

DeviceLine parseDeviceLine(const QString& line) {
  DeviceLine device;
  const qsizetype colon = line.indexOf(QLatin1Char(':'));
  if (colon < 0) {
    device.name = line;
    return device;
  }
  device.name = line.left(colon);
  device.hasSize = true;
  const qsizetype next = line.indexOf(QLatin1Char(':'), colon + 1);
  device.size = line.mid(colon + 1, next < 0 ? -1 : next - colon - 1);
  return device;
}

QString decodeCatalogueLine(const QByteArray& raw) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8.decode(raw);
  if (utf8.hasError()) return QString::fromLatin1(raw);
  return text;
}

std::optional<std::vector<DeviceLine>> readDeviceCatalogue(const QString& path) {
  if (path.isEmpty()) return std::nullopt;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  QByteArray content = file.read(kMaxCatalogueBytes);
  if (file.error() != QFileDevice::NoError) return std::nullopt;
  // A line cut by the limit is not a whole device; it goes with the rest.
  if (!file.atEnd()) content.truncate(content.lastIndexOf('\n') + 1);
  if (content.startsWith("\xEF\xBB\xBF")) content.remove(0, 3);

  std::vector<DeviceLine> devices;
  for (QByteArray raw : content.split('\n')) {
    if (devices.size() == kMaxCatalogueDevices) break;
    if (raw.endsWith('\r')) raw.chop(1);
    const QString line = decodeCatalogueLine(raw);
    if (line.trimmed().isEmpty()) continue;  // an editor's trailing newline or a spacer
    devices.push_back(parseDeviceLine(line));
  }
  return devices;
}

QString deviceCataloguePath() {
  return findDataFile(QStringLiteral("devices.dat"), true);
}

QStringList sizeParts(const QString& size) {
  return size.split(QLatin1Char('x'));
}

}  // namespace trimora
