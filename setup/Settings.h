#pragma once

#include <QSettings>
#include <QString>
#include <optional>

namespace trimora {

// The program's stored choices: the INI file $XDG_CONFIG_HOME/Trimora/Trimora.ini
// (~/.config when the variable is unset), group [Settings], read up to its
// first kMaxSettingsBytes in whole lines. Every value is kept
// as the text the window shows, so a file written by any version of Trimora
// loads into the same state and is written back byte for byte.
//
// Getters give nothing for a key that was never written or a store that cannot
// be read; the caller then keeps its own default. Check box states are 0
// (unchecked), 1 (checked) or 2 (greyed); a stored number outside that range
// gives nothing, so the box keeps its state. Numbers are read from the start of
// the text ("12a" is 12, "abc" is 0).
// The most of the settings file that is read.
inline constexpr qint64 kMaxSettingsBytes = qint64(1) << 20;

// The stored keys: the names the values have always had in the file; they must not change.
namespace settingsKey {
inline const QString kGroup = QStringLiteral("Settings");
inline const QString kMaxCropSize = QStringLiteral("Check2");
inline const QString kResizeLock = QStringLiteral("Check1");
inline const QString kAutoPan = QStringLiteral("AutoPan");
inline const QString kFrameWidth = QStringLiteral("PWidth");
inline const QString kFrameHeight = QStringLiteral("PHeight");
inline const QString kQuality = QStringLiteral("Quality");
inline const QString kDeviceName = QStringLiteral("DeviceName");
inline const QString kInputFolder = QStringLiteral("InputFolder");
inline const QString kOutputFolder = QStringLiteral("OutputFolder");
inline const QString kLastFileIndex = QStringLiteral("LastFilePos");
inline const QString kZoom = QStringLiteral("Resize");
inline const QString kShowWizard = QStringLiteral("Wizard");
inline const QString kArrowKeys = QStringLiteral("ArrowKeys");
}  // namespace settingsKey

class Settings {
 public:
  Settings();

  std::optional<int> maxCropSize() const;  // "Max Crop Size" box
  std::optional<int> resizeLock() const;   // "Resize Lock" box
  std::optional<int> autoPan() const;      // "Auto Pan" box
  std::optional<double> frameWidth() const;
  std::optional<double> frameHeight() const;
  std::optional<double> quality() const;
  std::optional<QString> deviceName() const;
  std::optional<QString> inputFolder() const;
  std::optional<QString> outputFolder() const;
  // The list position shown last; nothing when never stored or stored empty.
  std::optional<int> lastFileIndex() const;
  // The zoom to restore, 100 when never stored.
  int zoom() const;
  // Whether the set-up wizard opens at start (stored "1", the default).
  bool showWizard() const;
  // The state of the wizard's "Show wizard every time" box: the stored number
  // (1 when never stored, so " 1" or "01" check it too); nothing when the
  // number lies outside 0..2.
  std::optional<int> showWizardState() const;
  // Whether the arrow keys mode is on (stored "1").
  bool arrowKeys() const;

  // Written together by sync(): the window's state at close.
  void setMaxCropSize(int state);
  void setResizeLock(int state);
  void setAutoPan(int state);
  void setFrameWidth(double pixels);
  void setFrameHeight(double pixels);
  void setQuality(double quality);
  void setDeviceName(const QString& name);
  void setInputFolder(const QString& folder);
  void setOutputFolder(const QString& folder);
  // Nothing stores an empty position (no picture was selected).
  void setLastFileIndex(std::optional<int> index);
  // Writes everything set so far in one go. A store that cannot be written
  // keeps what it held before.
  void sync();

  // Written at once, when the user changes them.
  void setShowWizard(int state);
  void setArrowKeys(bool on);

  // The stored texts under their keys, for the few callers (and tests) that
  // need a key by name.
  std::optional<QString> text(const QString& key) const;
  void setText(const QString& key, const QString& value);

 private:
  static std::optional<int> checkState(const std::optional<QString>& stored);
  std::optional<double> number(const QString& key) const;
  QSettings mStore;
};

}  // namespace trimora
