#include "basSettings.h"

#include <QSettings>
#include <QStringList>
#include <QWidget>

#include "CheckBox.h"
#include "TextBox.h"
#include "TextRules.h"

namespace trimora {

namespace {

// Every application's values live in its own INI file in the user's
// configuration folder, grouped by section.
QSettings openStore(const QString& appName) {
  return QSettings(QSettings::IniFormat, QSettings::UserScope, appName, appName);
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
