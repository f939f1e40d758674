#include "SetupWizard.h"

#include <QCheckBox>
#include <QLabel>
#include <QPainter>
#include <QScrollBar>

#include "DeviceCatalogue.h"
#include "DeviceChoice.h"
#include "DevicePicker.h"
#include "DialogFrame.h"
#include "ElidedButton.h"
#include "FolderChoice.h"
#include "Gradient.h"
#include "Settings.h"
#include "TextRules.h"
#include "WizardArtwork.h"

namespace trimora {

namespace {

const QString kSelectDevice = QStringLiteral("Select Device");
const QString kOpenDialog = QStringLiteral("Open Dialog");
const QString kMissingOptions = QStringLiteral("Please specify all three valid options!");

// The body under the white header: white at its top edge, fading to rose at
// its bottom edge, with a hairline where it meets the header.
class WizardBody : public QWidget {
 public:
  using QWidget::QWidget;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    fillGradient(painter, rect(), Qt::white, QColor(240, 175, 170));
    painter.setPen(QColor(214, 214, 214));
    painter.drawLine(0, 0, width(), 0);
  }
};

void setColor(QWidget& widget, QPalette::ColorRole role, const QColor& color) {
  QPalette palette = widget.palette();
  palette.setColor(role, color);
  widget.setPalette(palette);
}

// A caption as wide and tall as its text (the font standing in for Tahoma may
// run wider than the design), with its top left corner at `at`.
QLabel* addLabel(QWidget* parent, const QString& text, QPoint at) {
  auto* label = new QLabel(text, parent);
  label->setTextFormat(Qt::PlainText);
  label->move(at);
  label->resize(label->sizeHint());
  return label;
}

QLabel* addHeading(QWidget* parent, const QString& text, QPoint at) {
  QLabel* label = addLabel(parent, text, at);
  QFont bold = label->font();
  bold.setBold(true);
  label->setFont(bold);
  setColor(*label, QPalette::WindowText, QColor(52, 52, 60));
  label->resize(label->sizeHint());
  return label;
}

ElidedButton* addButton(QWidget* parent, const QString& text, const QRect& place) {
  auto* button = new ElidedButton(text, parent);
  button->setGeometry(place);
  return button;
}

// The stored numbers of the "Show wizard every time" box: 0 unchecked,
// 1 checked, 2 greyed.
Qt::CheckState checkStateOf(int stored) {
  return stored == 1 ? Qt::Checked : stored == 2 ? Qt::PartiallyChecked : Qt::Unchecked;
}
int storedStateOf(Qt::CheckState state) {
  return state == Qt::Checked ? 1 : state == Qt::PartiallyChecked ? 2 : 0;
}

}  // namespace

SetupWizard::SetupWizard(const Services& services, SetupTarget& target, QWidget* parent)
    : QDialog(parent), mServices(services), mTarget(target) {
  setUpDialogFrame(*this, QStringLiteral("Trimora - Wizard"), QSize(537, 454));
  buildHeader();
  buildBody();

  // Shown as stored. Like a click, this stores the box's state again, so a
  // stored "01" is written back as "1".
  if (const std::optional<int> state = Settings().showWizardState())
    mShowEveryTimeCheckBox->setCheckState(checkStateOf(*state));  // greyed makes it tristate

  const QString device = target.deviceName();
  if (!device.isEmpty()) {
    lastDeviceChoice() = {device,
                          target.frameWidthText() + QLatin1Char('x') + target.frameHeightText()};
    mDeviceButton->setFullText(device + QLatin1Char(' ') + lastDeviceChoice().size);
  }
  mOutputFolder = target.outputFolder();
  if (!mOutputFolder.isEmpty()) mOutputFolderButton->setFullText(mOutputFolder);
  mInputFolder = target.inputFolder();
  if (!mInputFolder.isEmpty()) mInputFolderButton->setFullText(mInputFolder);
  if (!target.qualityText().isEmpty()) setQuality(nearestInt(numericValue(target.qualityText())));
}

void SetupWizard::buildHeader() {
  auto* header = new QWidget(this);
  header->setGeometry(0, 0, 537, 73);
  setColor(*header, QPalette::Window, Qt::white);
  header->setAutoFillBackground(true);

  auto* artwork = new QLabel(header);
  artwork->setGeometry(4, 3, 364, 67);
  artwork->setPixmap(QPixmap::fromImage(wizardHeaderArtwork(364, 67)));

  mShowEveryTimeCheckBox = new QCheckBox(QStringLiteral("Show wizard every time"), header);
  mShowEveryTimeCheckBox->setGeometry(376, 48, 161, 17);
  connect(mShowEveryTimeCheckBox, &QCheckBox::stateChanged, this,
          &SetupWizard::showEveryTimeChanged);
}

void SetupWizard::buildBody() {
  // One pixel row under the header's bottom, so the hairline covers it.
  auto* body = new WizardBody(this);
  body->setGeometry(0, 72, 537, 385);

  addHeading(body, kSelectDevice, {16, 8});
  mManualSizeCheckBox = new QCheckBox(QStringLiteral("Manually Fill Width and Height"), body);
  mManualSizeCheckBox->setGeometry(16, 32, 225, 17);
  mDeviceButton = addButton(body, kSelectDevice, {16, 56, 513, 24});

  addHeading(body, QStringLiteral("Select Output Folder"), {16, 96});
  mOutputFolderButton = addButton(body, kOpenDialog, {16, 136, 513, 24});
  addHeading(body, QStringLiteral("Select Input Folder"), {16, 176});
  mInputFolderButton = addButton(body, kOpenDialog, {16, 216, 513, 24});

  addHeading(body, QStringLiteral("Select Jpg Images Quality"), {16, 256});
  addLabel(body, QStringLiteral("Small Size"), {16, 288});
  mQualityLabel = addLabel(body, QStringLiteral("Selected Quality: 90"), {216, 288});
  setColor(*mQualityLabel, QPalette::WindowText, QColor(0, 0, 255));
  QLabel* better = addLabel(body, QStringLiteral("Better Quality"), {440, 288});
  better->move(517 - better->width(), 288);  // its right end stays at the design place

  mQualityScrollBar = new QScrollBar(Qt::Horizontal, body);
  mQualityScrollBar->setRange(1, 100);
  mQualityScrollBar->setSingleStep(1);
  mQualityScrollBar->setPageStep(10);
  mQualityScrollBar->setValue(90);
  mQualityScrollBar->setGeometry(16, 304, 505, 17);

  ElidedButton* okButton = addButton(body, QStringLiteral("OK"), {408, 336, 114, 32});
  okButton->setDefault(true);

  connect(mManualSizeCheckBox, &QCheckBox::toggled, this, &SetupWizard::manualSizeToggled);
  connect(mDeviceButton, &QPushButton::clicked, this, &SetupWizard::chooseDevice);
  connect(mOutputFolderButton, &QPushButton::clicked, this, &SetupWizard::chooseOutputFolder);
  connect(mInputFolderButton, &QPushButton::clicked, this, &SetupWizard::chooseInputFolder);
  connect(mQualityScrollBar, &QScrollBar::valueChanged, this, &SetupWizard::showQuality);
  connect(okButton, &QPushButton::clicked, this, &SetupWizard::confirm);
}

void SetupWizard::chooseDevice() {
  runDevicePicker(mServices, this, mTarget.shownPictureSize());
  const DeviceChoice& device = lastDeviceChoice();
  if (!device.size.isEmpty() && !device.name.isEmpty())
    mDeviceButton->setFullText(device.name + QLatin1Char(' ') + device.size);
}

void SetupWizard::chooseOutputFolder() {
  chooseFolder(mOutputFolder, mInputFolder, *mOutputFolderButton,
               QStringLiteral("Locate Output Folder"));
}

void SetupWizard::chooseInputFolder() {
  chooseFolder(mInputFolder, mOutputFolder, *mInputFolderButton,
               QStringLiteral("Locate Input Folder"));
}

void SetupWizard::chooseFolder(QString& folder, const QString& other, ElidedButton& button,
                               const QString& title) {
  for (;;) {
    const QString chosen = trimora::chooseFolder(*mServices.folders, this, title, folder);
    if (chosen.isEmpty()) return;
    folder = withTrailingSlash(chosen);
    button.setFullText(folder);
    if (folder != other) return;
    mServices.messages->show(this, QStringLiteral("Input and Output folders cannot be same!"),
                             MessageButtons::Ok, MessageIcon::Stop);
  }
}

void SetupWizard::setQuality(int quality) {
  if (quality < mQualityScrollBar->minimum() || quality > mQualityScrollBar->maximum()) return;
  mQualityScrollBar->setValue(quality);
}

void SetupWizard::confirm() {
  const bool manual = mManualSizeCheckBox->isChecked();
  const DeviceChoice device = lastDeviceChoice();
  if (mOutputFolder.isEmpty() || mInputFolder.isEmpty() || (!manual && device.size.isEmpty())) {
    mServices.messages->show(this, kMissingOptions, MessageButtons::Ok, MessageIcon::None);
    return;
  }
  const int quality = mQualityScrollBar->value();
  if (quality < 50 &&
      mServices.messages->show(this,
                               QStringLiteral("You have selected a low output quality. Do you "
                                              "really want to get low res pictures?"),
                               MessageButtons::YesNo, MessageIcon::None) != MessageResult::Yes)
    return;

  if (manual) {
    mTarget.setDeviceName(QStringLiteral("Manual"));
    mTarget.setFrameWidthText(QStringLiteral("160"));
    mTarget.setFrameHeightText(QStringLiteral("120"));
  } else {
    mTarget.setDeviceName(device.name);
    const QStringList size = sizeParts(device.size);
    mTarget.setFrameWidthText(size.value(0));
    if (size.size() < 2) {
      mServices.messages->show(this, kMissingOptions, MessageButtons::Ok, MessageIcon::None);
      return;
    }
    mTarget.setFrameHeightText(size.value(1));
  }
  mTarget.setOutputFolder(mOutputFolder);
  mTarget.setInputFolder(mInputFolder);
  mTarget.setQualityText(decimalText(quality));
  mTarget.reloadFolder();
  accept();
}

void SetupWizard::showEveryTimeChanged(int state) {
  // Greyed comes only from a stored "2"; a click never cycles back to it.
  if (state != Qt::PartiallyChecked) mShowEveryTimeCheckBox->setTristate(false);
  Settings().setShowWizard(storedStateOf(Qt::CheckState(state)));
}

void SetupWizard::manualSizeToggled(bool on) {
  if (on) mDeviceButton->setFullText(kSelectDevice);
  mDeviceButton->setEnabled(!on);
}

void SetupWizard::showQuality(int quality) {
  mQualityLabel->setText(QStringLiteral("Selected Quality: ") + decimalText(quality));
  mQualityLabel->resize(mQualityLabel->sizeHint());
}

void runSetupWizard(const Services& services, SetupTarget& target, QWidget* parent) {
  SetupWizard wizard(services, target, parent);
  wizard.exec();
}

}  // namespace trimora
