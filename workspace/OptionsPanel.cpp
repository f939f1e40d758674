#include "OptionsPanel.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>

#include "ClickableLabel.h"
#include "Gradient.h"
#include "PictureList.h"
#include "TextRules.h"
#include "WindowLayout.h"

namespace trimora {

namespace {

const QColor kPanelYellow(255, 255, 128);
const QColor kBoxText(0, 0, 255);
const QColor kBoxBase(0xEE, 0xEE, 0xEE);
const QColor kCaptionGrey(0x40, 0x40, 0x40);
const QColor kLinkBlue(0, 0, 255);
const QColor kButtonGrey(0xE0, 0xE0, 0xE0);

// One of the light-grey bars behind the panel's rows: a soft vertical shading
// with a darker bottom line.
class RowShade : public QWidget {
 public:
  using QWidget::QWidget;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    fillGradient(painter, rect(), QColor(250, 250, 250), QColor(206, 206, 206));
    painter.setPen(QColor(190, 190, 190));
    painter.drawLine(0, height() - 1, width(), height() - 1);
  }
};

void setColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
  QPalette palette = widget->palette();
  palette.setColor(role, colour);
  widget->setPalette(palette);
}

QLabel* caption(QWidget* parent, const QString& text, int x, int y) {
  auto* label = new QLabel(text, parent);
  label->setTextFormat(Qt::PlainText);
  setColour(label, QPalette::WindowText, kCaptionGrey);
  label->move(x, y);
  label->resize(label->sizeHint());
  return label;
}

ClickableLabel* link(QWidget* parent, const QString& text, const QRect& geometry) {
  auto* label = new ClickableLabel(text, parent);
  setColour(label, QPalette::WindowText, kLinkBlue);
  label->setGeometry(geometry);
  label->setCursor(Qt::PointingHandCursor);
  return label;
}

// The ".." button at the end of a row.
ClickableLabel* rowButton(QWidget* parent, int y) {
  auto* label = new ClickableLabel(QStringLiteral(".."), parent);
  setColour(label, QPalette::Window, kButtonGrey);
  setColour(label, QPalette::WindowText, Qt::black);
  label->setAutoFillBackground(true);
  label->setAlignment(Qt::AlignCenter);
  label->setGeometry(143, y, 17, 16);
  return label;
}

QLineEdit* box(QWidget* parent, const QRect& geometry) {
  auto* edit = new QLineEdit(parent);
  edit->setFrame(false);
  setColour(edit, QPalette::Text, kBoxText);
  setColour(edit, QPalette::Base, kBoxBase);
  edit->setGeometry(geometry);
  return edit;
}

QCheckBox* checkBox(QWidget* parent, const QString& text, int x, int width) {
  auto* check = new QCheckBox(text, parent);
  setColour(check, QPalette::WindowText, kCaptionGrey);
  QFont small = check->font();
  small.setPixelSize(10);
  check->setFont(small);
  check->setGeometry(x, 0, width, 17);
  return check;
}

int checkValue(const QCheckBox* check) {
  switch (check->checkState()) {
    case Qt::Checked:
      return 1;
    case Qt::PartiallyChecked:
      return 2;
    default:
      return 0;
  }
}

bool setCheckValue(QCheckBox* check, int state) {
  if (state < 0 || state > 2) return false;
  if (state == 2) check->setTristate(true);  // greyed is a state only code sets
  check->setCheckState(state == 1   ? Qt::Checked
                       : state == 2 ? Qt::PartiallyChecked
                                    : Qt::Unchecked);
  return true;
}

}  // namespace

OptionsPanel::OptionsPanel(QWidget* parent) : QWidget(parent) {
  setColour(this, QPalette::Window, kPanelYellow);
  setAutoFillBackground(true);
  buildControls();
}

void OptionsPanel::buildControls() {
  QFont panelFont(QStringLiteral("DejaVu Sans"));
  panelFont.setPixelSize(11);
  setFont(panelFont);

  // The shaded bars behind the rows go first, below everything else.
  for (int top : {16, 34, 50, 68, 86, 104}) (new RowShade(this))->setGeometry(9, top, 153, 18);
  mZoomShade = new RowShade(this);
  mZoomShade->setGeometry(8, 0, 153, 18);

  QFont titleFont(panelFont);
  titleFont.setBold(true);
  titleFont.setPixelSize(13);
  for (const auto& [colour, top] :
       {std::pair{QColor(0x80, 0x80, 0x80), 16}, std::pair{QColor(0, 255, 0), 17}}) {
    auto* title = new QLabel(QStringLiteral("Crop Options"), this);
    title->setFont(titleFont);
    setColour(title, QPalette::WindowText, colour);
    title->setGeometry(32, top, 94, 16);
  }

  caption(this, QStringLiteral("Device"), 16, 36);
  mDeviceNameEdit = box(this, {74, 36, 65, 13});
  mDeviceNameEdit->setReadOnly(true);
  mDeviceButton = rowButton(this, 35);

  caption(this, QStringLiteral("Size"), 16, 53);
  mFrameWidthEdit = box(this, {64, 53, 33, 13});
  caption(this, QStringLiteral("x"), 101, 52);
  mFrameHeightEdit = box(this, {112, 53, 33, 13});

  caption(this, QStringLiteral("Output"), 16, 70);
  mOutputFolderEdit = box(this, {74, 70, 65, 13});
  mOutputFolderEdit->setReadOnly(true);
  mOutputFolderButton = rowButton(this, 69);

  caption(this, QStringLiteral("Input"), 16, 88);
  mInputFolderEdit = box(this, {74, 88, 65, 14});
  mInputFolderEdit->setReadOnly(true);
  mInputFolderButton = rowButton(this, 87);

  caption(this, QStringLiteral("Quality"), 16, 105);
  mQualityEdit = box(this, {74, 106, 33, 13});

  mWizardLink = link(this, QStringLiteral("Open Wizard"), {88, 125, 73, 13});
  caption(this, QStringLiteral("Files :"), 16, 128);

  mPictureList = new PictureList(this);
  mPictureList->setMasks(
      QStringLiteral("*.jpg;*.gif;*.bmp;*.png;*.jpeg;*.jpe;*.jfif;*.webp;*.tif;"
                     "*.tiff;*.heic;*.heif;*.avif"));
  mPictureList->setGeometry(8, kPictureListTop, 154, 192);

  mZoomLabel = caption(this, QStringLiteral("Resize"), 15, 0);
  mZoomScrollBar = new QScrollBar(Qt::Horizontal, this);
  mZoomScrollBar->setRange(5, 100);
  mZoomScrollBar->setSingleStep(1);
  mZoomScrollBar->setPageStep(5);
  mZoomScrollBar->setValue(100);
  mZoomScrollBar->setGeometry(64, 0, 81, 13);

  // Wider than the caption needs in some fonts, yet ending before "Auto Pan".
  mResizeLockCheckBox = checkBox(this, QStringLiteral("Resize Lock"), 8, 79);
  mAutoPanCheckBox = checkBox(this, QStringLiteral("Auto Pan"), 88, 73);
  mAutoPanCheckBox->setChecked(true);
  mAutoPanCheckBox->setToolTip(QStringLiteral("AutoPan using mouse"));
  mMaxCropSizeCheckBox = checkBox(this, QStringLiteral("Max Crop Size"), 8, 153);
  for (QCheckBox* check : {mResizeLockCheckBox, mMaxCropSizeCheckBox})
    check->setToolTip(QStringLiteral("Auto resize for next picture"));

  mArrowKeysLink = link(this, QStringLiteral("Arrow Keys Disabled"), {24, 0, 120, 13});
  mDonateLink = link(this, QStringLiteral("Donate"), {13, 0, 42, 13});
  mHomepageLink = link(this, QStringLiteral("Homepage"), {66, 0, 61, 13});
  mHelpLink = link(this, QStringLiteral("Help"), {136, 0, 25, 13});

  // The boxes' own rules, then what they tell the window.
  connect(mFrameWidthEdit, &QLineEdit::textChanged, this, &OptionsPanel::normaliseSizes);
  connect(mFrameHeightEdit, &QLineEdit::textChanged, this, &OptionsPanel::normaliseSizes);
  connect(mQualityEdit, &QLineEdit::textChanged, this, &OptionsPanel::normaliseQuality);
  // A device name reads from its start; a folder shows its whole path as a tooltip.
  connect(mDeviceNameEdit, &QLineEdit::textChanged, this,
          [this] { mDeviceNameEdit->setCursorPosition(0); });
  connect(mInputFolderEdit, &QLineEdit::textChanged, this,
          [this] { mInputFolderEdit->setToolTip(mInputFolderEdit->text()); });
  connect(mOutputFolderEdit, &QLineEdit::textChanged, this, [this] {
    mOutputFolderEdit->setToolTip(mOutputFolderEdit->text());
    Q_EMIT outputFolderChanged();
  });
  for (QLineEdit* size : {mFrameWidthEdit, mFrameHeightEdit}) size->installEventFilter(this);

  connect(mZoomScrollBar, &QScrollBar::valueChanged, this, &OptionsPanel::zoomChanged);
  connect(mMaxCropSizeCheckBox, &QCheckBox::stateChanged, this, [this] {
    // Greyed is a state code can set; a user's click never cycles back to it.
    if (mMaxCropSizeCheckBox->checkState() != Qt::PartiallyChecked)
      mMaxCropSizeCheckBox->setTristate(false);
    Q_EMIT maxCropSizeChanged();
  });
  connect(mResizeLockCheckBox, &QCheckBox::clicked, this, &OptionsPanel::resizeLockClicked);
  connect(mAutoPanCheckBox, &QCheckBox::clicked, this, &OptionsPanel::autoPanClicked);
  connect(mDeviceButton, &ClickableLabel::clicked, this, &OptionsPanel::deviceButtonClicked);
  connect(mOutputFolderButton, &ClickableLabel::clicked, this,
          &OptionsPanel::outputFolderButtonClicked);
  connect(mInputFolderButton, &ClickableLabel::clicked, this,
          &OptionsPanel::inputFolderButtonClicked);
  connect(mWizardLink, &ClickableLabel::clicked, this, &OptionsPanel::wizardLinkClicked);
  connect(mArrowKeysLink, &ClickableLabel::clicked, this, &OptionsPanel::arrowKeysLinkClicked);
  connect(mDonateLink, &ClickableLabel::clicked, this, &OptionsPanel::donateLinkClicked);
  connect(mHomepageLink, &ClickableLabel::clicked, this, &OptionsPanel::homepageLinkClicked);
  connect(mHelpLink, &ClickableLabel::clicked, this, &OptionsPanel::helpLinkClicked);

  mFrameWidthEdit->setText(QStringLiteral("160"));
  mFrameHeightEdit->setText(QStringLiteral("128"));
  mQualityEdit->setText(QStringLiteral("90"));
}

// A size box keeps the plain decimal form of the number it starts with; the
// caret goes to the end, after the text the rule left.
void OptionsPanel::normaliseSizes() {
  if (mNormalising) return;
  mNormalising = true;
  for (QLineEdit* edit : {mFrameWidthEdit, mFrameHeightEdit}) {
    const QString plain = decimalText(numericValue(edit->text()));
    if (plain != edit->text()) edit->setText(plain);
    edit->setCursorPosition(edit->text().size());
  }
  mNormalising = false;
  Q_EMIT frameSizeChanged();
}

void OptionsPanel::normaliseQuality() {
  if (mNormalising) return;
  mNormalising = true;
  QString plain = decimalText(numericValue(mQualityEdit->text()));
  if (numericValue(plain) > 100) plain = QStringLiteral("100");
  if (numericValue(plain) < 1) plain = QStringLiteral("1");
  if (plain != mQualityEdit->text()) mQualityEdit->setText(plain);
  mQualityEdit->setCursorPosition(mQualityEdit->text().size());
  mNormalising = false;
}

bool OptionsPanel::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyRelease && !static_cast<QKeyEvent*>(event)->isAutoRepeat() &&
      (watched == mFrameWidthEdit || watched == mFrameHeightEdit))
    Q_EMIT frameSizeTyped();
  return QWidget::eventFilter(watched, event);
}

QString OptionsPanel::deviceName() const {
  return mDeviceNameEdit->text();
}
void OptionsPanel::setDeviceName(const QString& name) {
  mDeviceNameEdit->setText(name);
}
QString OptionsPanel::frameWidthText() const {
  return mFrameWidthEdit->text();
}
void OptionsPanel::setFrameWidthText(const QString& text) {
  mFrameWidthEdit->setText(text);
}
QString OptionsPanel::frameHeightText() const {
  return mFrameHeightEdit->text();
}
void OptionsPanel::setFrameHeightText(const QString& text) {
  mFrameHeightEdit->setText(text);
}
QString OptionsPanel::qualityText() const {
  return mQualityEdit->text();
}
void OptionsPanel::setQualityText(const QString& text) {
  mQualityEdit->setText(text);
}
QString OptionsPanel::outputFolder() const {
  return mOutputFolderEdit->text();
}
void OptionsPanel::setOutputFolder(const QString& folder) {
  mOutputFolderEdit->setText(folder);
}
QString OptionsPanel::inputFolder() const {
  return mInputFolderEdit->text();
}
void OptionsPanel::setInputFolder(const QString& folder) {
  mInputFolderEdit->setText(folder);
}

int OptionsPanel::zoom() const {
  return mZoomScrollBar->value();
}
bool OptionsPanel::setZoom(int percent) {
  if (percent < mZoomScrollBar->minimum() || percent > mZoomScrollBar->maximum()) return false;
  mZoomScrollBar->setValue(percent);
  return true;
}
int OptionsPanel::zoomPageStep() const {
  return mZoomScrollBar->pageStep();
}

int OptionsPanel::maxCropSize() const {
  return checkValue(mMaxCropSizeCheckBox);
}
bool OptionsPanel::setMaxCropSize(int state) {
  return setCheckValue(mMaxCropSizeCheckBox, state);
}
int OptionsPanel::resizeLock() const {
  return checkValue(mResizeLockCheckBox);
}
bool OptionsPanel::setResizeLock(int state) {
  return setCheckValue(mResizeLockCheckBox, state);
}
int OptionsPanel::autoPan() const {
  return checkValue(mAutoPanCheckBox);
}
bool OptionsPanel::setAutoPan(int state) {
  return setCheckValue(mAutoPanCheckBox, state);
}

void OptionsPanel::setArrowKeysEnabled(bool enabled) {
  mArrowKeysLink->setText(enabled ? QStringLiteral("Arrow Keys Enabled")
                                  : QStringLiteral("Arrow Keys Disabled"));
}
QString OptionsPanel::arrowKeysCaption() const {
  return mArrowKeysLink->text();
}
void OptionsPanel::setArrowKeysColour(const QColor& colour) {
  if (colour != arrowKeysColour()) setColour(mArrowKeysLink, QPalette::WindowText, colour);
}
QColor OptionsPanel::arrowKeysColour() const {
  return mArrowKeysLink->palette().color(QPalette::WindowText);
}

void OptionsPanel::applyLayout(const WindowLayout& layout) {
  for (QWidget* linkLabel :
       {static_cast<QWidget*>(mDonateLink), static_cast<QWidget*>(mHomepageLink),
        static_cast<QWidget*>(mHelpLink)})
    linkLabel->move(linkLabel->x(), layout.linksTop);
  mArrowKeysLink->move(mArrowKeysLink->x(), layout.arrowKeysTop);
  mMaxCropSizeCheckBox->move(mMaxCropSizeCheckBox->x(), layout.maxCropSizeTop);
  mResizeLockCheckBox->move(mResizeLockCheckBox->x(), layout.resizeLockTop);
  mAutoPanCheckBox->move(mAutoPanCheckBox->x(), layout.resizeLockTop);
  mZoomShade->move(mZoomShade->x(), layout.zoomBarTop);
  mZoomLabel->move(mZoomLabel->x(), layout.zoomTop);
  mZoomScrollBar->move(mZoomScrollBar->x(), layout.zoomTop);
  mPictureList->resize(mPictureList->width(), layout.pictureListHeight);
}

bool OptionsPanel::containsListWidget(const QWidget* widget) const {
  return widget && (widget == mPictureList || mPictureList->isAncestorOf(widget));
}

}  // namespace trimora
