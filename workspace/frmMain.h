#pragma once

#include <QImage>
#include <QWidget>
#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>

#include "CheckBox.h"
#include "FileListBox.h"
#include "Label.h"
#include "PictureBox.h"
#include "ScrollBar.h"
#include "Services.h"
#include "Shape.h"
#include "TextBox.h"
#include "Timer.h"

namespace trimora {

class GradientBar;

// The cropping workspace: the picture list, the picture under its crop frame,
// the options panel and the status line. One class; its member functions live
// in one source file per concern (start-up, fitting, crop, status, viewport,
// keyboard, layout, folders, devices).
class frmMain : public QWidget {
  Q_OBJECT
 public:
  explicit frmMain(const Services& services, QWidget* parent = nullptr);
  ~frmMain() override;

  // Start-up: restores the controls, lists the input folder, shows the
  // remembered picture and either opens the set-up wizard or shows the window.
  void Load();

  // Opens the set-up wizard modally; when it has closed, reads the arrow keys
  // mode and shows this window. Also the "Open Wizard" link.
  void OpenWizard();
  // Runs the wizard window itself (set by the set-up code); without one, the
  // opener only does its closing steps.
  std::function<void(frmMain&)> wizardRunner;
  // Runs the device picker modally (set by the set-up code).
  std::function<void(frmMain&)> devicePickerRunner;

  // --- start-up, picture list, shut-down
  void File1_Click();
  void ReloadFolder();

  // --- status line
  void Status(const QString& text, bool show);
  void Timer3_Timer();

  // --- picture fitting and zoom
  void ShowPicture(const QString& fileName, bool IsResize);
  void DoAdjustments();
  void UpdateFrameVisibility();
  void SetSavedLabel(const QString& caption, int show);
  void PWidth_Change();
  void PHeight_Change();
  void Quality_Change();
  // The output file that a crop of the given list entry is first written to.
  QString OutputNameFor(const QString& entryName) const;

  // --- crop and save
  void Capture();

  // --- viewport, crop frame and panning
  void UpdateScrollBars();
  void DoAutoPan();
  void Timer2_Timer();
  QWidget* TopWindow();
  QWidget* SelectedWindow();
  bool isMouseUnder();
  int VisibleWidth() const;
  int VisibleHeight() const;
  void Picture1_MouseDown(Qt::MouseButton button, int x, int y);
  void Picture1_MouseMove(int x, int y);
  void Picture1_MouseUp(Qt::MouseButton button, int x, int y);
  void AutoPan_MouseUp();

  // --- keyboard and picture navigation
  // A key released on the picture; acts now, or after the load under way.
  void Picture1_KeyUp(int key);
  void ZoomOut();
  void Zoomin();
  void PreviousPicture();
  void NextPicture();
  void Label2_Click();
  void Check1_MouseUp();
  void Check2_Click();

  // --- window layout and links
  void Form_Resize();
  void CentrePicture();
  void ShowHelp();
  void Label18_Click();
  void Label19_Click();

  // --- folders and device
  void Label5_Click();
  void Label7_Click();
  void OutputFolder_Change();
  void lbl_Click();

  // Outer window size and position in twips, frame and title bar included.
  int FormWidth() const;
  int FormHeight() const;
  int FormLeft() const;
  int FormTop() const;
  void setFormSize(int widthTwips, int heightTwips);

  // --- fields
  QString CurrentFile;
  std::int16_t LastZoom = 100;
  bool ArrowKeysEnabled = false;
  bool ThickFrame = false;
  std::int32_t PictureMouseDown = 0;

  // --- controls, in the order the settings sweep visits the swept ones
  PictureBox* Picture2;  // viewport
  PictureBox* Picture1;  // picture surface
  ScrollBar* HScroll1;
  ScrollBar* VScroll1;
  Shape* Shape3;  // crop frame
  Label* Label10;
  PictureBox* StatusBar;
  Label* StatusText;
  PictureBox* Picfrm;  // options panel

  CheckBox* Check2;  // "Max Crop Size"
  CheckBox* AutoPan;
  TextBox* LastFilePos;
  TextBox* DeviceName;
  TextBox* Quality;
  CheckBox* Check1;  // "Resize Lock"
  TextBox* PWidth;
  TextBox* PHeight;
  TextBox* OutputFolder;
  TextBox* InputFolder;

  FileListBox* File1;
  ScrollBar* HScroll2;  // zoom
  std::array<GradientBar*, 7> Image1{};
  Label* Label17;
  Label* Label6;
  Label* Label23;
  Label* lbl;
  Label* Label1;
  Label* Label3;
  Label* Label15;
  Label* Label5;
  Label* Label16;
  Label* Label7;
  Label* Label13;
  Label* Label21;
  Label* Label4;
  Label* Label12;
  Label* Label2;
  Label* Label18;
  Label* Label19;
  Label* Label20;

  // Scratch surface of the crop: holds the last cut, exactly the frame's size.
  QImage Picture5;

  std::unique_ptr<Timer> Timer2;
  std::unique_ptr<Timer> Timer3;

  const Services& services() const { return services_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void BuildControls();
  // Sets wizardRunner and devicePickerRunner to the real set-up windows.
  void InstallSetupWindows();
  void ConnectEvents();
  QString SelectedPath() const;
  void ActOnKey(int key);
  void RunQueuedKeys();
  void PlaceFrameAtPointer();
  // Shows or hides "Already Cropped" for the selected entry and output folder.
  void UpdateCroppedMark();
  // Opens a link's target; says so, with the help page's path, when nothing can.
  void OpenLink(const QString& address);

  Services services_;
  bool closing_ = false;
  bool loaded_ = false;
  bool loading_ = false;
  bool panning_ = false;
  bool handlingKeys_ = false;
  std::deque<int> pendingKeys_;
};

}  // namespace trimora
