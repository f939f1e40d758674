#pragma once

#include <QString>

class QWidget;

// The per-user settings store: short texts under an application name, a
// section and a key. It is an INI file, $XDG_CONFIG_HOME/Trimora/Trimora.ini
// (~/.config when the variable is unset), with one group per section, read
// up to its first kMaxSettingsBytes.
namespace trimora {

inline const QString kAppName = QStringLiteral("Trimora");
inline const QString kSettingsSection = QStringLiteral("Settings");
// The most of the store's file that is read; the rest of a larger file is ignored.
inline constexpr qint64 kMaxSettingsBytes = qint64(1) << 20;

// The stored text, or defaultValue when the key was never written or the
// store cannot be read.
QString GetSetting(const QString& appName, const QString& section, const QString& key,
                   const QString& defaultValue);
// Stores a value at once. A store that cannot be written loses it silently.
void SaveSetting(const QString& appName, const QString& section, const QString& key,
                 const QString& value);

// Restores every check box and text box of the window that has a name, in the
// window's order, each under its own name. A missing key leaves the control as
// it is; each restored value runs the control's change reaction.
void LoadSettings(QWidget* form);
// Stores the same controls, all in one write.
void SaveSettings(QWidget* form);

}  // namespace trimora
