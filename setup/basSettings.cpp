#include "basSettings.h"

#include <QFile>
#include <QSettings>
#include <QStringList>
#include <QTemporaryFile>
#include <QWidget>

#include "CheckBox.h"
#include "TextBox.h"
#include "TextRules.h"

namespace trimora {

namespace {

// Qt's own INI reading and writing, run on a private copy of the bytes: the
// store reads at most kMaxSettingsBytes of its file, in whole lines.
bool ReadBoundedIni(QIODevice& device, QSettings::SettingsMap& map) {
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

bool WriteIni(QIODevice& device, const QSettings::SettingsMap& map) {
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

// Every application's values live in its own INI file in the user's
// configuration folder, grouped by section. A file grown past
// kMaxSettingsBytes (by hand or by a fault) is read up to there, so it
// cannot hold up the start, and the next write keeps what was read.
QSettings openStore(const QString& appName) {
  static const QSettings::Format boundedIni =
      QSettings::registerFormat(QStringLiteral("ini"), ReadBoundedIni, WriteIni);
  return QSettings(boundedIni, QSettings::UserScope, appName, appName);
}

QString keyPath(const QString& section, const QString& key) {
  return section + QLatin1Char('/') + key;
}

// A stored value as plain text; a hand-edited value that the INI reader took
// for a list ("a, b") comes back joined as it was written.
QString asText(const QVariant& value) {
  if (value.metaType().id() == QMetaType::QStringList) return value.toStringList().join(u", ");
  return value.toString();
}

// The controls a window's sweep covers (named check boxes and text boxes), in
// the window's order.
template <class OnCheck, class OnText>
void forEachSweptControl(QWidget* form, OnCheck&& onCheck, OnText&& onText) {
  const auto children = form->findChildren<QWidget*>();
  for (QWidget* w : children) {
    if (w->objectName().isEmpty()) continue;
    if (auto* check = qobject_cast<CheckBox*>(w))
      onCheck(*check);
    else if (auto* text = qobject_cast<TextBox*>(w))
      onText(*text);
  }
}

}  // namespace

QString GetSetting(const QString& appName, const QString& section, const QString& key,
                   const QString& defaultValue) {
  QSettings store = openStore(appName);
  const QVariant value = store.value(keyPath(section, key));
  if (!value.isValid()) return defaultValue;
  return asText(value);
}

void SaveSetting(const QString& appName, const QString& section, const QString& key,
                 const QString& value) {
  QSettings store = openStore(appName);
  store.setValue(keyPath(section, key), value);
  store.sync();
}

void LoadSettings(QWidget* form) {
  if (!form) return;
  QSettings store = openStore(kAppName);
  auto read = [&](const QString& key, const QString& current) {
    const QVariant value = store.value(keyPath(kSettingsSection, key));
    return value.isValid() ? asText(value) : current;
  };
  forEachSweptControl(
      form,
      [&](CheckBox& check) {
        const QString stored = read(check.objectName(), QString::number(check.Value()));
        check.setValue(nearestInt(Val(stored)));  // a value outside 0..2 is refused
      },
      [&](TextBox& text) { text.setText(read(text.objectName(), text.Text())); });
}

void SaveSettings(QWidget* form) {
  if (!form) return;
  QSettings store = openStore(kAppName);
  forEachSweptControl(
      form,
      [&](CheckBox& check) {
        store.setValue(keyPath(kSettingsSection, check.objectName()),
                       QString::number(check.Value()));
      },
      [&](TextBox& text) {
        store.setValue(keyPath(kSettingsSection, text.objectName()), text.Text());
      });
  store.sync();  // one atomic write; on failure the previous file stays
}

}  // namespace trimora
