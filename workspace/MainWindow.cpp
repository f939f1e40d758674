#include "MainWindow.h"

#include <QCloseEvent>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMimeData>
#include <QScreen>
#include <QShortcut>
#include <QUrl>
#include <exception>

#include "Bitmap24.h"
#include "CropGeometry.h"
#include "CropView.h"
#include "DataFiles.h"
#include "DeviceCatalogue.h"
#include "DeviceChoice.h"
#include "DevicePicker.h"
#include "FolderChoice.h"
#include "JpegWriter.h"
#include "Links.h"
#include "OptionsPanel.h"
#include "OutputNames.h"
#include "PictureList.h"
#include "ProgramVersion.h"
#include "StatusOverlay.h"
#include "TextRules.h"
#include "WindowLayout.h"

namespace trimora {

namespace {

constexpr int kPollMs = 100;
// Names taken by others between choosing a name and creating the file are
// skipped; this many in a row means something else is wrong.
constexpr int kMaxNameAttempts = 1000;
// Keeps frame arithmetic far from overflow.
constexpr double kMaxFrameSide = 1e6;

const QString kErrorSaving = QStringLiteral("Error saving picture!\r\n\r\n");

// The first local file or folder of a drag; empty when it carries none.
QString droppedPath(const QMimeData* data) {
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile()) return url.toLocalFile();
  }
  return {};
}

// An address of the help page (with its #section), or a web address as it is.
QUrl linkTarget(const QString& address) {
  if (address.startsWith(QLatin1String("http://")) || address.startsWith(QLatin1String("https://")))
    return QUrl(address);
  const qsizetype hash = address.indexOf(QLatin1Char('#'));
  const QString file = findDataFile(hash < 0 ? address : address.left(hash));
  if (file.isEmpty()) return {};
  QUrl url = QUrl::fromLocalFile(file);
  if (hash >= 0) url.setFragment(address.mid(hash + 1));
  return url;
}

}  // namespace

MainWindow::MainWindow(const Services& services, QWidget* parent)
    : QWidget(parent), mServices(services) {
  setWindowTitle(QStringLiteral("%1 v%2").arg(kProgramName, versionText()));
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(11);
  setFont(font);

  mCropView = new CropView(this);
  mOptionsPanel = new OptionsPanel(this);
  mStatusOverlay = new StatusOverlay(*mServices.clock, this);
  mPollTimer = std::make_unique<ClockTimer>(*mServices.clock, kPollMs, [this] { poll(); });
  mPollTimer->setActive(true);
  mPictures = std::make_unique<PictureCache>();

  mWizardRunner = [](MainWindow& window) { runSetupWizard(window.mServices, window); };
  mDevicePickerRunner = [](MainWindow& window) {
    runDevicePicker(window.mServices, nullptr, window.shownPictureSize());
  };

  connectParts();
  setAcceptDrops(true);
  // A folder dropped onto the size or quality box opens it, rather than typing its path there.
  for (QLineEdit* box : findChildren<QLineEdit*>()) box->setAcceptDrops(false);
  setMinimumSize(kMinimumClientSize);
  // The design size, within the screen's free area (a small or a high-density screen).
  const QScreen* screen = QGuiApplication::primaryScreen();
  resize(screen ? kDesignClientSize.boundedTo(screen->availableSize()) : kDesignClientSize);
  applyLayout();  // the view's size is known before the first picture is drawn
}

MainWindow::~MainWindow() = default;

void MainWindow::connectParts() {
  // The desktop's quit keys (Ctrl+Q) close the window as its close button does.
  connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this), &QShortcut::activated, this,
          &QWidget::close);
  PictureList& list = mOptionsPanel->pictureList();
  connect(&list, &PictureList::selected, this, &MainWindow::onPictureSelected);
  connect(mOptionsPanel, &OptionsPanel::frameSizeChanged, this, &MainWindow::onFrameSizeChanged);
  connect(mOptionsPanel, &OptionsPanel::frameSizeTyped, this,
          [this] { mOptionsPanel->setDeviceName(QStringLiteral("Manual")); });
  connect(mOptionsPanel, &OptionsPanel::outputFolderChanged, this, &MainWindow::updateCroppedMark);
  connect(mOptionsPanel, &OptionsPanel::maxCropSizeChanged, this,
          &MainWindow::onMaxCropSizeChanged);
  connect(mOptionsPanel, &OptionsPanel::resizeLockClicked, this, &MainWindow::onResizeLockClicked);
  connect(mOptionsPanel, &OptionsPanel::autoPanClicked, this, &MainWindow::onAutoPanClicked);
  connect(mOptionsPanel, &OptionsPanel::deviceButtonClicked, this, &MainWindow::chooseDevice);
  connect(mOptionsPanel, &OptionsPanel::outputFolderButtonClicked, this,
          &MainWindow::chooseOutputFolder);
  connect(mOptionsPanel, &OptionsPanel::inputFolderButtonClicked, this,
          &MainWindow::chooseInputFolder);
  connect(mOptionsPanel, &OptionsPanel::wizardLinkClicked, this, &MainWindow::openSetupWizard);
  connect(mOptionsPanel, &OptionsPanel::arrowKeysLinkClicked, this, &MainWindow::toggleArrowKeys);
  connect(mOptionsPanel, &OptionsPanel::helpLinkClicked, this, &MainWindow::showHelp);
  connect(mOptionsPanel, &OptionsPanel::homepageLinkClicked, this, &MainWindow::showHomepage);
  connect(mOptionsPanel, &OptionsPanel::donateLinkClicked, this, &MainWindow::showDonationPage);
  connect(mCropView, &CropView::keyReleased, this, &MainWindow::handleKey);
  connect(mCropView, &CropView::clicked, this, &MainWindow::onCropClicked);
  connect(mCropView, &CropView::painted, this, &MainWindow::prepareNeighbours);
}

// --- start-up and close

void MainWindow::start() {
  if (mStarted) return;
  mStarted = true;

  mImaging.emplace();
  restoreSettings();
  if (mOpenAtStart) {  // a path given to open stands in for the stored folder and position
    mOptionsPanel->setInputFolder(mOpenAtStart->first);
    mLastFileIndex.reset();
  }
  mDrawnZoom = mOptionsPanel->zoom();

  PictureList& list = mOptionsPanel->pictureList();
  if (!mOptionsPanel->inputFolder().isEmpty()) {
    list.setFolder(mOptionsPanel->inputFolder());  // a folder that cannot be opened keeps the list
    mOptionsPanel->setInputFolder(list.folder());
  }
  onFrameSizeChanged();

  if (list.count() > 0) {
    // A stored position past the end is refused: nothing is selected or shown.
    const int stored = mOpenAtStart ? std::max(list.indexOf(mOpenAtStart->second), 0)
                                    : mSettings.lastFileIndex().value_or(0);
    list.select(std::max(stored, 0));
  }
  mShownFile = list.selectedPath();

  mOptionsPanel->setZoom(mSettings.zoom());  // a stored zoom out of range is refused
  adjustView();

  if (mSettings.showWizard()) {
    openSetupWizard();  // shows this window when the wizard has closed
  } else {
    mArrowKeysEnabled = mSettings.arrowKeys();
    show();
  }
  if (mArrowKeysEnabled) {
    mOptionsPanel->setArrowKeysEnabled(true);
    status(QStringLiteral("Arrow Keys Enabled"));
  }
}

// The stored choices come back in this order, each raising its change
// reaction as a user's edit would: "Max Crop Size" clears "Resize Lock" before
// that box is restored, and the size and quality boxes normalise what they get.
void MainWindow::restoreSettings() {
  if (const auto state = mSettings.maxCropSize()) mOptionsPanel->setMaxCropSize(*state);
  if (const auto state = mSettings.autoPan()) mOptionsPanel->setAutoPan(*state);
  mLastFileIndex = mSettings.lastFileIndex();
  if (const auto name = mSettings.deviceName()) mOptionsPanel->setDeviceName(*name);
  if (const auto quality = mSettings.quality())
    mOptionsPanel->setQualityText(decimalText(*quality));
  if (const auto state = mSettings.resizeLock()) mOptionsPanel->setResizeLock(*state);
  if (const auto width = mSettings.frameWidth())
    mOptionsPanel->setFrameWidthText(decimalText(*width));
  if (const auto height = mSettings.frameHeight())
    mOptionsPanel->setFrameHeightText(decimalText(*height));
  if (const auto folder = mSettings.outputFolder()) mOptionsPanel->setOutputFolder(*folder);
  if (const auto folder = mSettings.inputFolder()) mOptionsPanel->setInputFolder(*folder);
}

void MainWindow::saveSettings() {
  mSettings.setMaxCropSize(mOptionsPanel->maxCropSize());
  mSettings.setAutoPan(mOptionsPanel->autoPan());
  mSettings.setLastFileIndex(mLastFileIndex);
  mSettings.setDeviceName(mOptionsPanel->deviceName());
  mSettings.setQuality(numericValue(mOptionsPanel->qualityText()));
  mSettings.setResizeLock(mOptionsPanel->resizeLock());
  mSettings.setFrameWidth(numericValue(mOptionsPanel->frameWidthText()));
  mSettings.setFrameHeight(numericValue(mOptionsPanel->frameHeightText()));
  mSettings.setOutputFolder(mOptionsPanel->outputFolder());
  mSettings.setInputFolder(mOptionsPanel->inputFolder());
  mSettings.sync();  // one write; on failure the previous file stays
}

void MainWindow::openSetupWizard() {
  if (mWizardRunner) mWizardRunner(*this);
  mArrowKeysEnabled = mSettings.arrowKeys();
  if (!mClosing) show();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!mClosing) {
    mClosing = true;
    mPendingKeys.clear();
    mPollTimer->setActive(false);
    mStatusOverlay->stop();
    mPictures->setEnabled(false);  // a preparation under way is abandoned, what is held freed
    mImaging.reset();
    saveSettings();
  }
  event->accept();
}

bool MainWindow::isPolling() const {
  return mPollTimer->isActive();
}

// --- layout

void MainWindow::applyLayout() {
  const WindowLayout layout = computeWindowLayout(size());
  mCropView->setGeometry(layout.cropView);
  mOptionsPanel->setGeometry(layout.panel);
  mOptionsPanel->applyLayout(layout);
  mStatusOverlay->raise();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  applyLayout();
}

void MainWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  applyLayout();
}

void MainWindow::status(const QString& text) {
  mStatusOverlay->showMessage(text);
}

// --- the picture list and the fit loop

void MainWindow::onPictureSelected() {
  PictureList& list = mOptionsPanel->pictureList();
  if (mOptionsPanel->resizeLock() == 0) mOptionsPanel->setZoom(kMaxZoom);
  // The position is the one being shown, even if the window closes meanwhile.
  if (list.selectedIndex() >= 0) mLastFileIndex = list.selectedIndex();
  // Selecting the entry already shown does not load it again. Entries are
  // compared by their whole path: two folders may both hold an IMG_0001.JPG.
  const QString path = list.selectedPath();
  if (path != mShownFile) showPicture(list.selectedName(), false);
  mShownFile = path;
}

// The fit loop decides every pass on the picture's size alone, from one
// header read, and draws the picture once, at the zoom it ends on; each pass
// still reports its zoom on the status line. No window events run during a
// load: the picture keeps the keyboard, and a key released meanwhile waits in
// the queue and acts once the new picture is shown.
void MainWindow::showPicture(const QString& fileName, bool keepZoom) {
  if (mClosing) return;
  mPollTimer->setActive(false);
  mLoading = true;

  if (fileName.isEmpty()) {
    mCropView->clearPicture();
    mShownFile.clear();
    mLoading = false;
    mPollTimer->setActive(true);
    return;
  }

  mCropView->resetScroll();
  const bool searching = !keepZoom && mOptionsPanel->maxCropSize() == 1;
  if (!keepZoom)
    mOptionsPanel->setZoom(startZoom(mOptionsPanel->zoom(), mOptionsPanel->resizeLock() != 0,
                                     mOptionsPanel->maxCropSize() == 1));

  const QString path = mOptionsPanel->pictureList().selectedPath();
  const QSize fileSize = mPictures->pictureSize(path).value_or(QSize(0, 0));
  const QSize frame = mCropView->frameSize();
  const FitPlan plan = planFit(fileSize, frame, mOptionsPanel->zoom(), searching);
  for (const FitPass& pass : plan.passes) {
    mOptionsPanel->setZoom(pass.zoom);
    const QString text = fitStatus(pass);
    if (!text.isEmpty()) status(text);
  }
  mOptionsPanel->setZoom(plan.zoom);

  QString whyNot;
  const QSize canvas = canvasForZoom(fileSize, plan.zoom, frame);
  const DisplayPlan display = displayPlan(fileSize, plan.zoom, frame, mCropView->visibleSize());
  const double scale = display.scale;
  mCropView->setPicture(
      mPictures->picture({path, display.request, display.maxSide}, &whyNot, fileSize),
      display.canvas);
  mCropView->setPictureArea(pictureArea(fileSize, mCropView->canvasSize()));
  // A listed picture that cannot be shown says why, in place of the pass's size notice.
  if (!whyNot.isEmpty())
    status(whyNot);
  else if (const QString scaled = scaleStatus(frame, scale); !keepZoom && !scaled.isEmpty())
    status(scaled);
  // What was just drawn: the poll has nothing left to draw.
  mDrawnZoom = mOptionsPanel->zoom();
  mShownPictureSize = fileSize;
  mDrawnCanvas = canvas;
  mDrawnScale = scale;

  adjustView();
  mCropView->placeFrameAtPointer(mServices.pointer->cursorPos());
  mNeighboursDue = true;
  mCropView->update();
  mLoading = false;
  if (!mClosing) mPollTimer->setActive(true);
  if (!mHandlingKeys) runQueuedKeys();
}

void MainWindow::adjustView() {
  mCropView->setCanvasVisible(mOptionsPanel->pictureList().selectedIndex() >= 0 ||
                              mCropView->hasPicture());
  mCropView->centrePicture();
  updateFrameVisibility();
  updateCroppedMark();
  mCropView->updateScrollBars();
}

// The frame shows only where it fits on the canvas with room to spare.
void MainWindow::updateFrameVisibility() {
  if (mOptionsPanel->pictureList().selectedIndex() < 0) return;
  mCropView->setFrameShown(frameFits(mCropView->frameSize(), mCropView->pictureArea().size()));
}

void MainWindow::updateCroppedMark() {
  const PictureList& list = mOptionsPanel->pictureList();
  if (list.selectedIndex() < 0) return;
  if (QFileInfo::exists(outputNameFor(mOptionsPanel->outputFolder(), list.selectedName())))
    mCropView->setCroppedMark(QStringLiteral("Already Cropped"));
  else
    mCropView->setCroppedMark(QString());
}

// The frame takes the size boxes' numbers; a negative size is refused and
// the frame keeps its size.
void MainWindow::onFrameSizeChanged() {
  auto side = [](const QString& text, int current) {
    const double value = numericValue(text);
    return value < 0 ? current : nearestInt(std::min(value, kMaxFrameSide));
  };
  const QSize old = mCropView->frameSize();
  mCropView->setFrameSize(QSize(side(mOptionsPanel->frameWidthText(), old.width()),
                                side(mOptionsPanel->frameHeightText(), old.height())));
  updateFrameVisibility();
}

void MainWindow::goToNext() {
  PictureList& list = mOptionsPanel->pictureList();
  if (list.selectedIndex() < list.count() - 1)
    list.select(list.selectedIndex() + 1);
  else
    status(QStringLiteral("Last picture"));
}

void MainWindow::goToPrevious() {
  PictureList& list = mOptionsPanel->pictureList();
  if (list.selectedIndex() >= 1)
    list.select(list.selectedIndex() - 1);
  else
    status(QStringLiteral("First picture"));
}

void MainWindow::zoomIn() {
  const int zoom = mOptionsPanel->zoom();
  mOptionsPanel->setZoom(zoom > kMaxZoom - 10 ? kMaxZoom : zoom + 10);
  if (mOptionsPanel->zoom() > kMaxZoom - 10) status(QStringLiteral("100%"));
}

void MainWindow::zoomOut() {
  const int zoom = mOptionsPanel->zoom();
  const int step = mOptionsPanel->zoomPageStep();
  mOptionsPanel->setZoom(zoom <= step ? kMinZoom : zoom - step);
  if (mOptionsPanel->zoom() <= 10) status(QStringLiteral("5%"));
}

// --- the options

void MainWindow::onMaxCropSizeChanged() {
  if (mOptionsPanel->maxCropSize() == 1) {
    status(QStringLiteral("Max Zoom Out Enabled"));
    mOptionsPanel->setResizeLock(0);  // silent: "Resize Lock" answers the user's clicks only
  } else {
    status(QStringLiteral("Max Zoom Out Disabled"));
  }
}

void MainWindow::onResizeLockClicked() {
  if (mOptionsPanel->resizeLock() == 1) {
    status(QStringLiteral("Resize lock Enabled"));
    mOptionsPanel->setMaxCropSize(0);
  } else {
    status(QStringLiteral("Resize lock Disabled"));
  }
}

void MainWindow::onAutoPanClicked() {
  status(mOptionsPanel->autoPan() == 1 ? QStringLiteral("Autopan Enabled")
                                       : QStringLiteral("Autopan Disabled"));
}

void MainWindow::toggleArrowKeys() {
  mArrowKeysEnabled = !mArrowKeysEnabled;
  mOptionsPanel->setArrowKeysEnabled(mArrowKeysEnabled);
  status(mArrowKeysEnabled ? QStringLiteral("Arrow Keys Enabled")
                           : QStringLiteral("Arrow Keys Disabled"));
  mSettings.setArrowKeys(mArrowKeysEnabled);
}

// --- the poll: auto-pan, the keyboard in the arrow keys mode, a changed zoom

void MainWindow::poll() {
  const QPoint pointer = mServices.pointer->cursorPos();
  if (mCropView->isFrameShown() && mOptionsPanel->autoPan() == 1) {
    // No panning while the pointer rests on the picture list.
    QWidget* under =
        mServices.pointer->topWindow() == window() ? mServices.pointer->widgetAt(pointer) : nullptr;
    if (!mOptionsPanel->containsListWidget(under)) {
      mPanning = true;
      mCropView->autoPan(pointer);
      mPanning = false;
    }
  }

  if (mArrowKeysEnabled && mCropView->isOverView(pointer)) {
    mCropView->focusPicture();
    mOptionsPanel->setArrowKeysColour(Qt::red);
  } else {
    mOptionsPanel->setArrowKeysColour(mArrowKeysEnabled ? Qt::black : Qt::blue);
  }

  if (mOptionsPanel->zoom() != mDrawnZoom || needsRedraw())
    showPicture(mOptionsPanel->pictureList().selectedName(), true);
}

// A frame or view of another size can lift the cap or change the view's scale.
bool MainWindow::needsRedraw() const {
  if (!mCropView->hasPicture()) return false;
  const QSize frame = mCropView->frameSize();
  return canvasForZoom(mShownPictureSize, mDrawnZoom, frame) != mDrawnCanvas ||
         viewScale(frame, mCropView->visibleSize()) != mDrawnScale;
}

// The next and the previous entry are drawn in the background, at what showing them would ask
// for now: a step to either is then served at once. Only the file's header decides that, as
// it does for the shown picture.
void MainWindow::prepareNeighbours() {
  if (!mNeighboursDue || mClosing || mLoading) return;
  mNeighboursDue = false;
  const PictureList& list = mOptionsPanel->pictureList();
  const int at = list.selectedIndex();
  if (at < 0) return;
  QStringList paths;
  for (const int i : {at + 1, at - 1})
    if (const QString path = list.pathAt(i); !path.isEmpty()) paths.push_back(path);
  const bool lock = mOptionsPanel->resizeLock() != 0;
  const bool search = mOptionsPanel->maxCropSize() == 1;
  const int zoom = startZoom(lock ? mOptionsPanel->zoom() : kMaxZoom, lock, search);
  const QSize frame = mCropView->frameSize();
  const QSize view = mCropView->visibleSize();
  mPictures->prepare(paths, [=](const QString& path, QSize picture) {
    const DisplayPlan display =
        displayPlan(picture, planFit(picture, frame, zoom, search).zoom, frame, view);
    return std::optional<PictureRequest>({path, display.request, display.maxSide});
  });
}

// --- keys

void MainWindow::handleKey(int key) {
  if (mClosing) return;
  mPendingKeys.push_back(key);
  if (mLoading || mPanning || mHandlingKeys) return;
  runQueuedKeys();
}

void MainWindow::runQueuedKeys() {
  if (mHandlingKeys) return;
  mHandlingKeys = true;
  while (!mPendingKeys.empty() && !mClosing) {
    const int key = mPendingKeys.front();
    mPendingKeys.pop_front();
    actOnKey(key);
    // A zoom key changes the zoom only; its picture is drawn here, before the
    // next key acts, rather than by the next poll.
    const QString name = mOptionsPanel->pictureList().selectedName();
    if (mOptionsPanel->zoom() != mDrawnZoom && !name.isEmpty()) showPicture(name, true);
  }
  mHandlingKeys = false;
}

void MainWindow::actOnKey(int key) {
  switch (key) {
    case Qt::Key_Left:
      goToPrevious();
      break;
    case Qt::Key_Right:
      goToNext();
      break;
    case Qt::Key_Up:
      zoomIn();
      break;
    case Qt::Key_Down:
      zoomOut();
      break;
    case Qt::Key_Space:
      onCropClicked();
      break;
    default:
      break;
  }
}

// --- crop

void MainWindow::onCropClicked() {
  // No exception may leave an event handler; the writer reports through its result.
  try {
    cropAndSave();
  } catch (const std::exception& e) {
    mServices.messages->show(this, kErrorSaving + QString::fromLocal8Bit(e.what()));
  }
}

void MainWindow::cropAndSave() {
  MessageBoxService& messages = *mServices.messages;
  if (!mCropView->hasPicture()) return;

  if (numericValue(mOptionsPanel->frameWidthText()) < 20 ||
      numericValue(mOptionsPanel->frameHeightText()) < 20) {
    messages.show(this, QStringLiteral("Please enter Size from 20 plus only!"));
    return;
  }
  const double quality = numericValue(mOptionsPanel->qualityText());
  if (quality < 1 || quality > 100) {
    messages.show(this, QStringLiteral("Please enter quality from 1-100 only!"));
    return;
  }
  if (mOptionsPanel->outputFolder().size() < 2) {
    messages.show(this, QStringLiteral("Please specify output folder!"), MessageButtons::Ok,
                  MessageIcon::Stop);
    return;
  }
  // Only a frame that leaves the picture is refused; one flush with its edges is cut.
  const QImage& canvas = mCropView->picture();
  const QRect frame = mCropView->frameRect();
  if (!mCropView->isFrameShown() || !frameOnPicture(frame, mCropView->pictureArea())) {
    messages.show(
        this,
        mOptionsPanel->zoom() == kMaxZoom
            ? QStringLiteral("The loaded picture is smaller than the selected device screen size. "
                             "Please load some larger picture or decrease the crop size!")
            : QStringLiteral("The loaded picture is too small than the selected device screen "
                             "size. Please decrease the zoom out size and then watch the screen "
                             "for a rectangle box. If the rectangle box does not appears, it "
                             "means the picture is still small for your selected device."),
        MessageButtons::Ok, MessageIcon::Information);
    return;
  }

  // A canvas shown as it is gives the cut one pixel for one; one shown smaller, or larger than
  // is held, draws the frame's part from the file at full size. A file changed since it was
  // shown is shown afresh rather than cut from a mix of the two.
  Bitmap24 cut;
  if (mCropView->scale() == 1.0 && canvas.size() == mCropView->canvasSize()) {
    if (!cut.create(frame.size()) || !cut.copyFrom(canvas, frame.topLeft(), frame.size())) {
      messages.show(this, kErrorSaving + QStringLiteral("Not enough memory for the cut."));
      return;
    }
  } else {
    const std::optional<QSize> now = pictureFileSize(mShownFile);
    if (!now) {
      messages.show(this, kErrorSaving + cannotReadPictureText() + QLatin1Char(' ') + mShownFile);
      return;
    }
    if (*now != mShownPictureSize) {
      messages.show(this, kErrorSaving + QStringLiteral("The picture has changed since it was "
                                                        "shown; it is shown again as it is now."));
      showPicture(mOptionsPanel->pictureList().selectedName(), true);
      return;
    }
    QString whyNot;
    if (!loadPictureRegion(mShownFile, mCropView->canvasSize(), frame, cut, &whyNot)) {
      messages.show(this, kErrorSaving + whyNot);
      return;
    }
  }

  QString folder = mOptionsPanel->outputFolder();
  if (!folder.endsWith(QLatin1Char('/'))) mOptionsPanel->setOutputFolder(folder + QLatin1Char('/'));
  folder = mOptionsPanel->outputFolder();
  makeFolder(folder);

  const QString name = mOptionsPanel->pictureList().selectedName();
  if (name.isEmpty()) {
    messages.show(this, kErrorSaving + QStringLiteral("No picture is selected in the list, so "
                                                      "there is no name to save it under."));
    return;
  }

  // The file is created only while its name is free: a name that another
  // program took since it was chosen makes way for the next one.
  const QString wanted = outputNameFor(folder, name);
  // Of the photo's metadata the cut keeps only when it was taken, so that galleries sort the
  // two together; position, camera and thumbnail stay behind, and its pixels are upright.
  const QString captureDate = pictureCaptureDate(mShownFile);
  QString path;
  WriteError error;
  for (int attempt = 0; attempt < kMaxNameAttempts; ++attempt) {
    path = uniqueFileName(wanted);
    error = writeJpegFile(cut, path, nearestInt(quality), WriteMode::CreateNew, captureDate);
    if (error.number != WriteError::FileAlreadyExists) break;
  }
  if (!error && QFileInfo::exists(path)) {
    mCropView->setCroppedMark(QStringLiteral("Cropped"));
    status(QStringLiteral("Cropped to ") + path);
    return;
  }
  messages.show(this, kErrorSaving + error.description);
}

// --- folders, device and links

void MainWindow::chooseOutputFolder() {
  const QString chosen = chooseFolder(*mServices.folders, this,
                                      QStringLiteral("Locate Output Folder"), outputFolder());
  if (chosen.isEmpty()) return;  // cancelled: the folder stays as it was
  if (!QFileInfo(chosen).isDir()) {
    mServices.messages->show(this, QStringLiteral("Invalid output folder!"), MessageButtons::Ok,
                             MessageIcon::Stop);
    return;
  }
  setOutputFolder(chosen.endsWith(QLatin1Char('/')) ? chosen : chosen + QLatin1Char('/'));
}

void MainWindow::chooseInputFolder() {
  const QString chosen =
      chooseFolder(*mServices.folders, this, QStringLiteral("Locate Input Folder"), inputFolder());
  if (chosen.isEmpty()) return;  // cancelled: the folder stays as it was
  takeInputFolder(chosen, QString());
}

// A new input folder: listed afresh, showing the named picture, or else its first.
void MainWindow::takeInputFolder(const QString& folder, const QString& pictureName) {
  setInputFolder(folder);
  PictureList& list = mOptionsPanel->pictureList();
  if (!list.setFolder(folder) || !list.refresh()) {
    mServices.messages->show(
        this, QStringLiteral("Please select a folder which contains some image files!"),
        MessageButtons::Ok, MessageIcon::Stop);
    return;
  }
  mLastFileIndex.reset();
  mShownFile.clear();
  if (list.count() >= 1)
    list.select(std::max(list.indexOf(pictureName), 0));
  else
    showPicture(QString(), false);
}

QString MainWindow::openPath(const QString& path) {
  const QFileInfo info(path);
  const QString whole = QDir::cleanPath(info.absoluteFilePath());
  QString folder = whole, picture;
  QString whyNot;
  if (!info.exists()) {
    whyNot = QStringLiteral("No such file or folder: ") + whole;
  } else if (!info.isDir()) {
    folder = QDir::cleanPath(info.absolutePath());
    picture = info.fileName();
    if (!info.isFile() || !mOptionsPanel->pictureList().lists(picture))
      whyNot = QStringLiteral("Not a folder or a picture: ") + whole;
  }
  if (whyNot.isEmpty() && !QDir(folder).isReadable())
    whyNot = QStringLiteral("Cannot read the folder ") + folder;
  if (!whyNot.isEmpty()) {
    if (mStarted) status(whyNot);
    return whyNot;
  }
  if (mStarted)
    takeInputFolder(folder, picture);
  else
    mOpenAtStart.emplace(folder, picture);
  return {};
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  // Any local file or folder is let in; the drop says why one is not taken.
  if (!droppedPath(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  const QString path = droppedPath(event->mimeData());
  if (path.isEmpty()) return;
  event->acceptProposedAction();
  openPath(path);
}

void MainWindow::reloadFolder() {
  mLastFileIndex.reset();
  mShownFile.clear();  // whatever the folder holds now is shown afresh
  PictureList& list = mOptionsPanel->pictureList();
  if (!list.setFolder(inputFolder())) return;
  if (!list.refresh()) return;
  if (list.count() >= 1) list.select(0);
}

void MainWindow::chooseDevice() {
  if (mDevicePickerRunner) mDevicePickerRunner(*this);
  const DeviceChoice& choice = lastDeviceChoice();
  if (choice.size.isEmpty()) return;
  setDeviceName(choice.name);
  const QStringList parts = sizeParts(choice.size);
  setFrameWidthText(parts.value(0));
  if (parts.size() < 2) return;  // a size without "x" leaves the height and the frame
  setFrameHeightText(parts.value(1));
}

void MainWindow::openLink(const QString& address) {
  const QUrl url = linkTarget(address);
  if (url.isValid() && mServices.shell->open(url)) return;
  const QString help = findDataFile(kHelpPage);
  const QString where = url.isValid() && !url.isLocalFile() ? url.toString() : help;
  mServices.messages->show(this,
                           where.isEmpty()
                               ? QStringLiteral("The help page is not installed.")
                               : QStringLiteral("No program was found to open this page. "
                                                "Open it in a web browser:\r\n\r\n") +
                                     where,
                           MessageButtons::Ok, MessageIcon::Information);
}

void MainWindow::showHelp() {
  openLink(kHelpPage);
}

void MainWindow::showHomepage() {
  openLink(kHomepageAddress);
}

void MainWindow::showDonationPage() {
  openLink(kDonateAddress);
}

// --- SetupTarget

QString MainWindow::deviceName() const {
  return mOptionsPanel->deviceName();
}
QString MainWindow::frameWidthText() const {
  return mOptionsPanel->frameWidthText();
}
QString MainWindow::frameHeightText() const {
  return mOptionsPanel->frameHeightText();
}
QString MainWindow::outputFolder() const {
  return mOptionsPanel->outputFolder();
}
QString MainWindow::inputFolder() const {
  return mOptionsPanel->inputFolder();
}
QString MainWindow::qualityText() const {
  return mOptionsPanel->qualityText();
}
void MainWindow::setDeviceName(const QString& name) {
  mOptionsPanel->setDeviceName(name);
}
void MainWindow::setFrameWidthText(const QString& text) {
  mOptionsPanel->setFrameWidthText(text);
}
void MainWindow::setFrameHeightText(const QString& text) {
  mOptionsPanel->setFrameHeightText(text);
}
void MainWindow::setOutputFolder(const QString& folder) {
  mOptionsPanel->setOutputFolder(folder);
}
void MainWindow::setInputFolder(const QString& folder) {
  mOptionsPanel->setInputFolder(folder);
}
void MainWindow::setQualityText(const QString& text) {
  mOptionsPanel->setQualityText(text);
}
QSize MainWindow::shownPictureSize() const {
  return mCropView->hasPicture() ? mShownPictureSize : QSize();
}

}  // namespace trimora
