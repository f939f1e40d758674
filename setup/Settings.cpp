#include "Settings.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryFile>

#include "Services.h"
#include "TextRules.h"

namespace trimora {

using namespace settingsKey;

namespace {

QString keyPath(const QString& key) {
  return kGroup + QLatin1Char('/') + key;
}

// Qt's own INI reading and writing, run on a private copy of the bytes: the
// store reads at most kMaxSettingsBytes of its file, in whole lines.
bool readBoundedIni(QIODevice& device, QSettings::SettingsMap& map) {
  QByteArray head = device.read(kMaxSettingsBytes);
  if (!device.atEnd()) head.truncate(head.lastIndexOf('\n') + 1);  // the cut line is dropped
  QTemporaryFile copy;
  if (!copy.open() || copy.write(head) != head.size() || !copy.flush()) return false;
  const QSettings ini(copy.fileName(), QSettings::IniFormat);
  for (const QString& key : ini.allKeys()) map.insert(key, ini.value(key));
  // What parsed is kept even from a damaged file, as the INI reader itself
  // does; failing here would make the store drop every key.
  return true;
}

bool writeIni(QIODevice& device, const QSettings::SettingsMap& map) {
  QTemporaryFile copy;
  if (!copy.open()) return false;
  {
    QSettings ini(copy.fileName(), QSettings::IniFormat);
    for (auto it = map.begin(); it != map.end(); ++it) ini.setValue(it.key(), it.value());
    ini.sync();
    if (ini.status() != QSettings::NoError) return false;
  }
  QFile written(copy.fileName());  // the INI writer replaced the file under this name
  if (!written.open(QIODevice::ReadOnly)) return false;
  const QByteArray bytes = written.readAll();
  return device.write(bytes) == bytes.size();
}

// The INI format, read up to kMaxSettingsBytes: a file grown past that (by
// hand or by a fault) cannot hold up the start, and the next write keeps
// what was read.
QSettings::Format boundedIni() {
  static const QSettings::Format format =
      QSettings::registerFormat(QStringLiteral("ini"), readBoundedIni, writeIni);
  return format;
}

}  // namespace

Settings::Settings() : mStore(boundedIni(), QSettings::UserScope, kProgramName, kProgramName) {}

std::optional<QString> Settings::text(const QString& key) const {
  const QVariant value = mStore.value(keyPath(key));
  if (!value.isValid()) return std::nullopt;
  // A hand-edited value that the INI reader took for a list ("a, b") comes
  // back joined as it was written.
  if (value.metaType().id() == QMetaType::QStringList) return value.toStringList().join(u", ");
  return value.toString();
}

void Settings::setText(const QString& key, const QString& value) {
  mStore.setValue(keyPath(key), value);
}

std::optional<int> Settings::checkState(const std::optional<QString>& stored) {
  if (!stored) return std::nullopt;
  const int state = nearestInt(numericValue(*stored));
  if (state < 0 || state > 2) return std::nullopt;
  return state;
}

std::optional<double> Settings::number(const QString& key) const {
  const std::optional<QString> stored = text(key);
  if (!stored) return std::nullopt;
  return numericValue(*stored);
}

std::optional<int> Settings::maxCropSize() const {
  return checkState(text(kMaxCropSize));
}
std::optional<int> Settings::resizeLock() const {
  return checkState(text(kResizeLock));
}
std::optional<int> Settings::autoPan() const {
  return checkState(text(kAutoPan));
}
std::optional<double> Settings::frameWidth() const {
  return number(kFrameWidth);
}
std::optional<double> Settings::frameHeight() const {
  return number(kFrameHeight);
}
std::optional<double> Settings::quality() const {
  return number(kQuality);
}
std::optional<QString> Settings::deviceName() const {
  return text(kDeviceName);
}
std::optional<QString> Settings::inputFolder() const {
  return text(kInputFolder);
}
std::optional<QString> Settings::outputFolder() const {
  return text(kOutputFolder);
}
std::optional<int> Settings::lastFileIndex() const {
  const QString stored = text(kLastFileIndex).value_or(QString());
  if (stored.isEmpty()) return std::nullopt;
  return nearestInt(numericValue(stored));
}
int Settings::zoom() const {
  return nearestInt(numericValue(text(kZoom).value_or(QStringLiteral("100"))));
}
bool Settings::showWizard() const {
  return text(kShowWizard).value_or(QStringLiteral("1")) == QLatin1String("1");
}
std::optional<int> Settings::showWizardState() const {
  return checkState(text(kShowWizard).value_or(QStringLiteral("1")));
}
bool Settings::arrowKeys() const {
  return text(kArrowKeys).value_or(QStringLiteral("0")) == QLatin1String("1");
}

void Settings::setMaxCropSize(int state) {
  setText(kMaxCropSize, QString::number(state));
}
void Settings::setResizeLock(int state) {
  setText(kResizeLock, QString::number(state));
}
void Settings::setAutoPan(int state) {
  setText(kAutoPan, QString::number(state));
}
void Settings::setFrameWidth(double pixels) {
  setText(kFrameWidth, decimalText(pixels));
}
void Settings::setFrameHeight(double pixels) {
  setText(kFrameHeight, decimalText(pixels));
}
void Settings::setQuality(double quality) {
  setText(kQuality, decimalText(quality));
}
void Settings::setDeviceName(const QString& name) {
  setText(kDeviceName, name);
}
void Settings::setInputFolder(const QString& folder) {
  setText(kInputFolder, folder);
}
void Settings::setOutputFolder(const QString& folder) {
  setText(kOutputFolder, folder);
}
void Settings::setLastFileIndex(std::optional<int> index) {
  setText(kLastFileIndex, index ? QString::number(*index) : QString());
}

void Settings::sync() {
  mStore.sync();
}

void Settings::setShowWizard(int state) {
  setText(kShowWizard, QString::number(state));
  mStore.sync();
}

void Settings::setArrowKeys(bool on) {
  setText(kArrowKeys, on ? QStringLiteral("1") : QStringLiteral("0"));
  mStore.sync();
}

}  // namespace trimora
