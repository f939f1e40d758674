#pragma once

#include <QDialog>
#include <functional>

#include "CheckBox.h"
#include "CommandButton.h"
#include "Label.h"
#include "PictureBox.h"
#include "ScrollBar.h"
#include "Services.h"
#include "TextBox.h"

namespace trimora {

// What the wizard fills in on the main window: its device, size, folder and
// quality boxes, and the reload of its picture list.
struct WizardTarget {
  TextBox* DeviceName = nullptr;
  TextBox* PWidth = nullptr;
  TextBox* PHeight = nullptr;
  TextBox* OutputFolder = nullptr;
  TextBox* InputFolder = nullptr;
  TextBox* Quality = nullptr;
  std::function<void()> ReloadFolder;
};

// The set-up wizard: one page that collects a device (or the manual size),
// the output and input folders and the JPEG quality, and on OK writes them
// into the main window and reloads its picture list. Built with the "Show
// wizard every time" box restored and its body gradient painted.
class frmWizard : public QDialog {
  Q_OBJECT
 public:
  frmWizard(const Services& services, WizardTarget main, QWidget* parent = nullptr);

  // Takes the main window's device, folders and quality as the starting
  // choice, then shows the wizard modally until it closes.
  void Open();

  void Check1_Click();
  void Check2_Click();
  void Command1_Click();
  void Command2_Click();
  void Command3_Click();
  void Command4_Click();
  void HScroll1_Change();

  // Header
  PictureBox* Picture1;
  PictureBox* Image1;
  CheckBox* Check2;  // "Show wizard every time"
  // Body
  PictureBox* Picture2;
  Label* lblTrimoraWizard;         // "Select Device"
  Label* lblSelectDevice[3] = {};  // input folder, quality, output folder headings
  CheckBox* Check1;                // manual size
  CommandButton* Command2;         // device
  CommandButton* Command3;         // output folder
  CommandButton* Command4;         // input folder
  Label* Label1;
  Label* Label2;
  Label* Label3;  // "Selected Quality: N"
  ScrollBar* HScroll1;
  CommandButton* Command1;  // OK

 private:
  void BuildControls();
  // Lets the user pick a folder for one button, again and again while it
  // equals the other button's folder; a cancel keeps the button as it was.
  void ChooseFolder(CommandButton* target, const CommandButton* other, const QString& title);

  Services services_;
  WizardTarget main_;
};

// Builds a fresh wizard for the main window, runs its opening steps and
// waits until it closes.
void RunWizard(const Services& services, const WizardTarget& main);

}  // namespace trimora
