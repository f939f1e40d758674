#pragma once

#include <QColor>
#include <QWidget>
#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QScrollBar;

namespace trimora {

class ClickableLabel;
class PictureList;
struct WindowLayout;

// The options panel down the window's right side: device, frame size, output
// and input folders, JPEG quality, the picture list, the zoom, the three crop
// options, the arrow keys switch and the links. It owns these controls and
// their own rules (a size or quality box normalises what is typed into it);
// what the choices mean is the main window's business, which it learns from
// the signals. Assigning a value from code raises the same signal as a user's
// edit, except for the two boxes whose signals say "clicked": the window's
// settings restore relies on both.
class OptionsPanel : public QWidget {
  Q_OBJECT
 public:
  explicit OptionsPanel(QWidget* parent = nullptr);

  QString deviceName() const;
  void setDeviceName(const QString& name);
  // The size and quality boxes hold texts, kept in their plain decimal form;
  // the quality stays within 1..100.
  QString frameWidthText() const;
  void setFrameWidthText(const QString& text);
  QString frameHeightText() const;
  void setFrameHeightText(const QString& text);
  QString qualityText() const;
  void setQualityText(const QString& text);
  QString outputFolder() const;
  void setOutputFolder(const QString& folder);
  QString inputFolder() const;
  void setInputFolder(const QString& folder);

  PictureList& pictureList() const { return *mPictureList; }

  // The zoom, 5..100 percent; a value outside is refused (false).
  int zoom() const;
  bool setZoom(int percent);
  // The zoom bar's large step (the Down key's).
  int zoomPageStep() const;

  // Check box states: 0 unchecked, 1 checked, 2 greyed; others are refused.
  int maxCropSize() const;
  bool setMaxCropSize(int state);
  int resizeLock() const;
  bool setResizeLock(int state);
  int autoPan() const;
  bool setAutoPan(int state);

  // The arrow keys switch: its caption follows the mode, its colour the poll.
  void setArrowKeysEnabled(bool enabled);
  QString arrowKeysCaption() const;
  void setArrowKeysColour(const QColor& colour);
  QColor arrowKeysColour() const;

  // Places the bottom rows and the list's height for the panel's height.
  void applyLayout(const WindowLayout& layout);

  // True while the pointer or keyboard is inside the picture list.
  bool containsListWidget(const QWidget* widget) const;

 Q_SIGNALS:
  void frameSizeChanged();
  // A key released in a size box: the size was typed by hand.
  void frameSizeTyped();
  void outputFolderChanged();
  void zoomChanged(int percent);
  void maxCropSizeChanged();
  // Only the user's clicks; a state set from code stays silent.
  void resizeLockClicked();
  void autoPanClicked();
  void deviceButtonClicked();
  void outputFolderButtonClicked();
  void inputFolderButtonClicked();
  void wizardLinkClicked();
  void arrowKeysLinkClicked();
  void donateLinkClicked();
  void homepageLinkClicked();
  void helpLinkClicked();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildControls();
  void normaliseSizes();
  void normaliseQuality();

  QLineEdit* mDeviceNameEdit;
  QLineEdit* mFrameWidthEdit;
  QLineEdit* mFrameHeightEdit;
  QLineEdit* mOutputFolderEdit;
  QLineEdit* mInputFolderEdit;
  QLineEdit* mQualityEdit;
  ClickableLabel* mDeviceButton;
  ClickableLabel* mOutputFolderButton;
  ClickableLabel* mInputFolderButton;
  ClickableLabel* mWizardLink;
  ClickableLabel* mArrowKeysLink;
  ClickableLabel* mDonateLink;
  ClickableLabel* mHomepageLink;
  ClickableLabel* mHelpLink;
  PictureList* mPictureList;
  QLabel* mZoomLabel;
  QScrollBar* mZoomScrollBar;
  QCheckBox* mResizeLockCheckBox;
  QCheckBox* mAutoPanCheckBox;
  QCheckBox* mMaxCropSizeCheckBox;
  QWidget* mZoomShade;
  bool mNormalising = false;
};

}  // namespace trimora
