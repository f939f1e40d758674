#pragma once

#include <QDialog>
#include <QSize>
#include <QString>

#include "Services.h"

class QCheckBox;
class QLabel;
class QScrollBar;

namespace trimora {

class ElidedButton;

// What the set-up wizard reads from and fills in on the workspace. The size and
// quality are the texts of the workspace's boxes; each setter acts as if the
// user had typed the value (the workspace normalises it).
class SetupTarget {
 public:
  virtual ~SetupTarget() = default;
  virtual QString deviceName() const = 0;
  virtual QString frameWidthText() const = 0;
  virtual QString frameHeightText() const = 0;
  virtual QString outputFolder() const = 0;
  virtual QString inputFolder() const = 0;
  virtual QString qualityText() const = 0;
  virtual void setDeviceName(const QString& name) = 0;
  virtual void setFrameWidthText(const QString& text) = 0;
  virtual void setFrameHeightText(const QString& text) = 0;
  virtual void setOutputFolder(const QString& folder) = 0;
  virtual void setInputFolder(const QString& folder) = 0;
  virtual void setQualityText(const QString& text) = 0;
  // Lists the input folder again and shows its first picture.
  virtual void reloadFolder() = 0;
  // The size of the picture on show, for the device picker; empty when none is.
  virtual QSize shownPictureSize() const { return {}; }
};

// The set-up wizard: one page that collects a device (or the manual size
// 160 x 120), the output and input folders and the JPEG quality, and on OK
// writes them into its target. Its "Show wizard every time" box is the stored
// setting: shown as stored when the wizard is built, stored at each change.
class SetupWizard : public QDialog {
  Q_OBJECT
 public:
  // Builds the wizard and takes the target's device (also as the last device
  // choice), folders and quality as its start; a quality outside 1..100
  // leaves the slider at 90.
  SetupWizard(const Services& services, SetupTarget& target, QWidget* parent = nullptr);

  // What the user does with the buttons and the slider.
  // Opens the device picker over the wizard and shows the device chosen.
  void chooseDevice();
  // Open the folder chooser, again and again while the folder chosen equals
  // the other one (telling the user so each time); a cancel keeps the
  // folder the wizard had.
  void chooseOutputFolder();
  void chooseInputFolder();
  // A quality outside 1..100 is refused.
  void setQuality(int quality);
  // OK: with both folders and a device (or the manual size) chosen, and a
  // quality below 50 confirmed, writes the device name, width, height,
  // output folder, input folder and quality into the target in that order,
  // has it reload its folder and closes. Otherwise tells the user and stays
  // open. A device size without a height is refused after the name and the
  // width have been written; those stay written.
  void confirm();

 private:
  void buildHeader();
  void buildBody();
  void chooseFolder(QString& folder, const QString& other, ElidedButton& button,
                    const QString& title);
  void showEveryTimeChanged(int state);
  void manualSizeToggled(bool on);
  void showQuality(int quality);

  Services mServices;
  SetupTarget& mTarget;
  QString mOutputFolder;  // empty while none is chosen
  QString mInputFolder;
  QCheckBox* mShowEveryTimeCheckBox = nullptr;
  QCheckBox* mManualSizeCheckBox = nullptr;
  ElidedButton* mDeviceButton = nullptr;
  ElidedButton* mOutputFolderButton = nullptr;
  ElidedButton* mInputFolderButton = nullptr;
  QLabel* mQualityLabel = nullptr;
  QScrollBar* mQualityScrollBar = nullptr;
};

// Builds a fresh wizard over parent, takes the target's current choices as its
// start, shows it modally and, on OK, writes the choices into the target.
void runSetupWizard(const Services& services, SetupTarget& target, QWidget* parent = nullptr);

}  // namespace trimora
