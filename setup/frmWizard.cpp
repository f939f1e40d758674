#include "frmWizard.h"
#include "DialogFrame.h"

#include <QPainter>

#include "DeviceCatalogue.h"
#include "Gradiant.h"
#include "SelectedDevice.h"
#include "TextRules.h"
#include "WizardArtwork.h"
#include "basCommonDialogs.h"
#include "basSettings.h"
#include "frmDevices.h"

namespace trimora {

namespace {

const QString kOpenDialog = QStringLiteral("Open Dialog");
const QString kSelectDevice = QStringLiteral("Select Device");
const QString kWizardKey = QStringLiteral("Wizard");
const QString kMissingOptions = QStringLiteral("Please specify all three valid options!");

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kBodyBottom = 0xAAAFF0;  // red 240, green 175, blue 170
constexpr std::uint32_t kQualityBlue = 0xFF0000;
constexpr std::uint32_t kHeadingText = 0x3C3434;

Label* heading(QWidget* parent, const QString& caption, int left, int top, int width) {
  auto* label = new Label(caption, parent);
  QFont bold = label->font();
  bold.setBold(true);
  label->setFont(bold);
  label->setForeColor(kHeadingText);
  label->Move(left, top, width, 285);
  label->setAutoSize(true);  // the substitute font may run wider than the design
  return label;
}

Label* plain(QWidget* parent, const QString& caption, int left, int top, int width) {
  auto* label = new Label(caption, parent);
  label->Move(left, top, width, 240);
  label->setAutoSize(true);
  return label;
}

}  // namespace

frmWizard::frmWizard(const Services& services, WizardTarget main, QWidget* parent)
    : QDialog(parent), services_(services), main_(std::move(main)) {
  BuildControls();

  // Restore "Show wizard every time"; a stored value outside 0..2 leaves the
  // box as built.
  Check2->setValue(nearestInt(Val(GetSetting(kAppName, kSettingsSection, kWizardKey, "1"))));
  PaintGradient(*Picture2, kWhite, kBodyBottom);
}

void frmWizard::BuildControls() {
  SetUpDialogFrame(*this, QStringLiteral("frmWizard"), QStringLiteral("Trimora - Wizard"), 8055,
                   6810);

  Picture1 = new PictureBox(this);
  Picture1->Move(0, 0, 8055, 1095);
  Picture1->setBackColor(kWhite);
  Image1 = new PictureBox(Picture1);
  Image1->Move(60, 45, 5460, 1005);
  Image1->setPicture(WizardHeaderArtwork(TwipsToPixels(5460), TwipsToPixels(1005)));
  Check2 = new CheckBox(QStringLiteral("Show wizard every time"), Picture1);
  Check2->setBackColor(kWhite);
  // A check box fills its background from the button colour unless told
  // otherwise; the header wants the colour just set.
  Check2->setBackgroundRole(QPalette::Window);
  Check2->Move(5640, 720, 2415, 255);

  Picture2 = new PictureBox(this);
  Picture2->Move(0, 1080, 8055, 5775);
  // A hairline between the white header and the body, whose top is white too.
  Picture2->onPaint = [this](QPainter& p) {
    p.setPen(QColor(214, 214, 214));
    p.drawLine(0, 0, Picture2->width(), 0);
  };

  lblTrimoraWizard = heading(Picture2, kSelectDevice, 240, 120, 1380);
  Check1 = new CheckBox(QStringLiteral("Manually Fill Width and Height"), Picture2);
  Check1->Move(240, 480, 3375, 255);
  Command2 = new CommandButton(kSelectDevice, Picture2);
  Command2->Move(240, 840, 7695, 360);

  lblSelectDevice[2] = heading(Picture2, QStringLiteral("Select Output Folder"), 240, 1440, 2160);
  Command3 = new CommandButton(kOpenDialog, Picture2);
  Command3->Move(240, 2040, 7695, 360);
  lblSelectDevice[0] = heading(Picture2, QStringLiteral("Select Input Folder"), 240, 2640, 1995);
  Command4 = new CommandButton(kOpenDialog, Picture2);
  Command4->Move(240, 3240, 7695, 360);

  lblSelectDevice[1] =
      heading(Picture2, QStringLiteral("Select Jpg Images Quality"), 240, 3840, 2745);
  Label1 = plain(Picture2, QStringLiteral("Small Size"), 240, 4320, 900);
  Label3 = plain(Picture2, QStringLiteral("Selected Quality: 90"), 3240, 4320, 1725);
  Label3->setForeColor(kQualityBlue);
  Label2 = plain(Picture2, QStringLiteral("Better Quality"), 6600, 4320, 1155);
  // Keep the right end of the slider's caption at its design place.
  Label2->setLeft(6600 + 1155 - Label2->Width());

  HScroll1 = new ScrollBar(Qt::Horizontal, Picture2);
  HScroll1->setMin(1);
  HScroll1->setMax(100);
  HScroll1->setSmallChange(1);
  HScroll1->setLargeChange(10);
  HScroll1->setValue(90);
  HScroll1->Move(240, 4560, 7575, 255);

  Command1 = new CommandButton(QStringLiteral("OK"), Picture2);
  Command1->Move(6120, 5040, 1710, 480);
  Command1->setDefault(true);

  Check1->onClick = [this] { Check1_Click(); };
  Check2->onClick = [this] { Check2_Click(); };
  Command1->onClick = [this] { Command1_Click(); };
  Command2->onClick = [this] { Command2_Click(); };
  Command3->onClick = [this] { Command3_Click(); };
  Command4->onClick = [this] { Command4_Click(); };
  HScroll1->onChange = [this] { HScroll1_Change(); };
  HScroll1->onScroll = [this] { HScroll1_Change(); };
}

void frmWizard::Open() {
  const QString device = main_.DeviceName->Text();
  if (!device.isEmpty()) {
    SelectedDeviceName = device;
    SelectedDeviceSize = main_.PWidth->Text() + QLatin1Char('x') + main_.PHeight->Text();
    Command2->setCaption(device + QLatin1Char(' ') + SelectedDeviceSize);
  }
  if (!main_.OutputFolder->Text().isEmpty()) Command3->setCaption(main_.OutputFolder->Text());
  if (!main_.InputFolder->Text().isEmpty()) Command4->setCaption(main_.InputFolder->Text());
  // A quality outside 1..100 is refused by the slider, which keeps 90.
  if (!main_.Quality->Text().isEmpty()) HScroll1->setValue(nearestInt(Val(main_.Quality->Text())));
  exec();
}

void frmWizard::Check1_Click() {
  if (Check1->Value() == 1) {
    Command2->setCaption(kSelectDevice);
    Command2->setEnabled(false);
  } else {
    Command2->setEnabled(true);
  }
}

void frmWizard::Check2_Click() {
  SaveSetting(kAppName, kSettingsSection, kWizardKey, DecimalText(Check2->Value()));
}

void frmWizard::Command2_Click() {
  ShowDevicePicker(services_, this);
  if (!SelectedDeviceSize.isEmpty() && !SelectedDeviceName.isEmpty())
    Command2->setCaption(SelectedDeviceName + QLatin1Char(' ') + SelectedDeviceSize);
}

void frmWizard::Command3_Click() {
  ChooseFolder(Command3, Command4, QStringLiteral("Locate Output Folder"));
}

void frmWizard::Command4_Click() {
  ChooseFolder(Command4, Command3, QStringLiteral("Locate Input Folder"));
}

void frmWizard::ChooseFolder(CommandButton* target, const CommandButton* other,
                             const QString& title) {
  for (;;) {
    QString folder = BrowseForFolder(*services_.Folders, this, title, target->Caption());
    if (folder.isEmpty()) return;
    if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    target->setCaption(folder);
    if (other->Caption() != target->Caption()) return;
    services_.Messages->Show(this, QStringLiteral("Input and Output folders cannot be same!"),
                             MsgButtons::OK, MsgIcon::Stop);
  }
}

void frmWizard::HScroll1_Change() {
  Label3->setCaption(QStringLiteral("Selected Quality: ") + DecimalText(HScroll1->Value()));
}

void frmWizard::Command1_Click() {
  const bool manual = Check1->Value() == 1;
  if (Command3->Caption() == kOpenDialog || Command4->Caption() == kOpenDialog ||
      (!manual && SelectedDeviceSize.isEmpty())) {
    services_.Messages->Show(this, kMissingOptions, MsgButtons::OK, MsgIcon::None);
    return;
  }
  if (HScroll1->Value() < 50 &&
      services_.Messages->Show(this,
                               QStringLiteral("You have selected a low output quality. Do you "
                                              "really want to get low res pictures?"),
                               MsgButtons::YesNo, MsgIcon::None) != MsgResult::Yes)
    return;

  if (manual) {
    main_.DeviceName->setText(QStringLiteral("Manual"));
    main_.PWidth->setText(QStringLiteral("160"));
    main_.PHeight->setText(QStringLiteral("120"));
  } else {
    main_.DeviceName->setText(SelectedDeviceName);
    const QStringList size = SizeParts(SelectedDeviceSize);
    main_.PWidth->setText(size.value(0));
    if (size.size() < 2) {
      // A size without a height: what was written stays, the wizard stays open.
      services_.Messages->Show(this, kMissingOptions, MsgButtons::OK, MsgIcon::None);
      return;
    }
    main_.PHeight->setText(size.value(1));
  }
  main_.OutputFolder->setText(Command3->Caption());
  main_.InputFolder->setText(Command4->Caption());
  main_.Quality->setText(DecimalText(HScroll1->Value()));
  if (main_.ReloadFolder) main_.ReloadFolder();
  accept();
}

void RunWizard(const Services& services, const WizardTarget& main) {
  frmWizard wizard(services, main);
  wizard.Open();
}

}  // namespace trimora
