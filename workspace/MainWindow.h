#pragma once

#include <QString>
#include <QWidget>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

#include "PictureCache.h"
#include "PictureLoader.h"
#include "Services.h"
#include "Settings.h"
#include "SetupWizard.h"

namespace trimora {

class CropView;
class OptionsPanel;
class StatusOverlay;

// The cropping workspace's window: start-up (settings, picture list, the
// remembered picture, the set-up wizard), close (settings written back), and
// the wiring between its parts. It decides what the crop view shows: which
// picture, at which zoom (the fit loop and the "Max Crop Size" search), the
// frame's size, the crop itself, and the keys that step through the list and
// the zoom. Everything runs on the window's thread; no window events are
// processed in the middle of this logic.
class MainWindow : public QWidget, public SetupTarget {
  Q_OBJECT
 public:
  explicit MainWindow(const Services& services, QWidget* parent = nullptr);
  ~MainWindow() override;

  // Restores the settings, lists the input folder, shows the remembered
  // picture and either opens the set-up wizard or shows the window. Once.
  void start();

  // The set-up wizard, modal; afterwards the arrow keys mode is read again
  // and this window shows. Also the "Open Wizard" link.
  void openSetupWizard();
  // What opens the wizard and the device picker; tests replace them.
  using WizardRunner = std::function<void(MainWindow&)>;
  void setWizardRunner(WizardRunner runner) { mWizardRunner = std::move(runner); }
  using DevicePickerRunner = std::function<void(MainWindow&)>;
  void setDevicePickerRunner(DevicePickerRunner runner) { mDevicePickerRunner = std::move(runner); }

  // --- pictures and zoom
  // Shows the selected picture (fileName empty: none). A new picture starts
  // from the zoom its options choose; keepZoom draws the current zoom once.
  void showPicture(const QString& fileName, bool keepZoom);
  void goToNext();
  void goToPrevious();
  void zoomIn();   // ten percent more of the picture's size
  void zoomOut();  // five percent less
  // The whole path of the picture shown; empty when none is.
  QString shownFile() const { return mShownFile; }
  // The zoom the shown picture was last drawn at.
  int drawnZoom() const { return mDrawnZoom; }

  // --- crop
  // Checks the size, quality, folder and frame, then writes the framed part of
  // the canvas as a JPEG under the first free name; says how it went.
  void cropAndSave();

  // --- keys
  // A key released on the picture. It acts now, or, while a picture loads or
  // the view pans, in its turn once that is done.
  void handleKey(int key);
  bool arrowKeysEnabled() const { return mArrowKeysEnabled; }
  void toggleArrowKeys();

  // --- folders, device, links
  void chooseDevice();
  void chooseOutputFolder();
  void chooseInputFolder();
  // Opens a folder as choosing it for input does, or a picture's folder with
  // that picture shown (a picture: a file the picture list would list).
  // Before start() the path stands in for the stored folder and position.
  // A path that is neither changes nothing: the reason is returned and, once
  // started, shown on the status line. Empty when the path was taken.
  QString openPath(const QString& path);
  void showHelp();
  void showHomepage();
  void showDonationPage();

  // --- SetupTarget: what the set-up wizard reads and fills in
  QString deviceName() const override;
  QString frameWidthText() const override;
  QString frameHeightText() const override;
  QString outputFolder() const override;
  QString inputFolder() const override;
  QString qualityText() const override;
  void setDeviceName(const QString& name) override;
  void setFrameWidthText(const QString& text) override;
  void setFrameHeightText(const QString& text) override;
  void setOutputFolder(const QString& folder) override;
  void setInputFolder(const QString& folder) override;
  void setQualityText(const QString& text) override;
  void reloadFolder() override;
  QSize shownPictureSize() const override;

  // The window's parts, for tests that drive them as a user would.
  CropView& cropView() const { return *mCropView; }
  OptionsPanel& optionsPanel() const { return *mOptionsPanel; }
  StatusOverlay& statusOverlay() const { return *mStatusOverlay; }
  // Whether the 100 ms poll (auto-pan, keyboard hand-over, zoom redraw) runs.
  bool isPolling() const;
  // The pictures drawn ahead of need (the neighbours of the shown one), for tests and benchmarks.
  PictureCache& pictureCache() const { return *mPictures; }
  // The list position that closing would store (nothing: none).
  std::optional<int> lastFileIndex() const { return mLastFileIndex; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  // A folder or picture dropped onto the window is opened as by openPath().
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void connectParts();
  void restoreSettings();
  void saveSettings();
  void applyLayout();
  void status(const QString& text);
  void onPictureSelected();
  void onFrameSizeChanged();
  void onMaxCropSizeChanged();
  void onResizeLockClicked();
  void onAutoPanClicked();
  void onCropClicked();
  void poll();
  bool needsRedraw() const;
  void adjustView();
  void updateFrameVisibility();
  void updateCroppedMark();
  void runQueuedKeys();
  void actOnKey(int key);
  void openLink(const QString& address);
  void prepareNeighbours();
  void takeInputFolder(const QString& folder, const QString& pictureName);

  Services mServices;
  Settings mSettings;
  std::optional<ImagingLibrary> mImaging;  // from start() to close
  CropView* mCropView;
  OptionsPanel* mOptionsPanel;
  StatusOverlay* mStatusOverlay;
  std::unique_ptr<ClockTimer> mPollTimer;
  std::unique_ptr<PictureCache> mPictures;
  bool mNeighboursDue = false;  // the neighbours are prepared once the shown picture is painted
  WizardRunner mWizardRunner;
  DevicePickerRunner mDevicePickerRunner;

  QString mShownFile;
  QSize mShownPictureSize;  // the shown file's picture size when it was drawn
  QSize mDrawnCanvas;
  double mDrawnScale = 1.0;
  int mDrawnZoom = 100;
  std::optional<int> mLastFileIndex;
  // What openPath() was given before start(): a folder, and a picture in it or none.
  std::optional<std::pair<QString, QString>> mOpenAtStart;
  bool mArrowKeysEnabled = false;
  bool mStarted = false;
  bool mClosing = false;
  bool mLoading = false;
  bool mPanning = false;
  bool mHandlingKeys = false;
  std::deque<int> mPendingKeys;
};

}  // namespace trimora
