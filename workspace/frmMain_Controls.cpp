// Building the workspace window: its controls at their design places, their
// colours, and the wiring of their events to the window's procedures.
#include <QFont>

#include "GradientBar.h"
#include "TrimoraVersion.h"
#include "WindowLayout.h"
#include "frmMain.h"

namespace trimora {

namespace {

constexpr std::uint32_t kPanelYellow = 0x80FFFF;
constexpr std::uint32_t kStatusBlue = 0x9C5536;
constexpr std::uint32_t kBoxBlueText = 0xFF0000;
constexpr std::uint32_t kBoxGrey = 0xEEEEEE;
constexpr std::uint32_t kLabelGrey = 0x404040;
constexpr std::uint32_t kLinkBlue = 0xFF0000;
constexpr std::uint32_t kDotsGrey = 0xE0E0E0;

Label* plainLabel(QWidget* parent, const QString& caption, int left, int top) {
  auto* label = new Label(caption, parent);
  label->setForeColor(kLabelGrey);
  label->Move(left, top, 0, 195);
  label->setAutoSize(true);
  return label;
}

Label* linkLabel(QWidget* parent, const QString& caption, int left, int top, int width) {
  auto* label = new Label(caption, parent);
  label->setForeColor(kLinkBlue);
  label->Move(left, top, width, 195);
  label->setCursor(Qt::PointingHandCursor);
  return label;
}

Label* dotsLabel(QWidget* parent, int top) {
  auto* label = new Label(QStringLiteral(".."), parent);
  label->setBackColor(kDotsGrey);
  label->setForeColor(0);
  label->setAlignment(Qt::AlignCenter);
  label->Move(2145, top, 255, 240);
  return label;
}

TextBox* textBox(QWidget* parent, const QString& name, int left, int top, int width, int height) {
  auto* box = new TextBox(parent);
  box->setObjectName(name);
  box->setForeColor(kBoxBlueText);
  box->setBackColor(kBoxGrey);
  box->Move(left, top, width, height);
  return box;
}

CheckBox* checkBox(QWidget* parent, const QString& name, const QString& caption, int left,
                   int width) {
  auto* box = new CheckBox(caption, parent);
  box->setObjectName(name);
  box->setForeColor(kLabelGrey);
  box->Move(left, 0, width, 255);
  QFont small = box->font();
  small.setPixelSize(10);
  box->setFont(small);
  return box;
}

}  // namespace

frmMain::frmMain(const Services& services, QWidget* parent) : QWidget(parent), services_(services) {
  setObjectName(QStringLiteral("frmMain"));
  BuildControls();
  ConnectEvents();
  InstallSetupWindows();
  setMinimumSize(TwipsToPixels(kMinFormWidth - kFrameExtraWidth),
                 TwipsToPixels(kMinFormHeight - kFrameExtraHeight));
  setFormSize(kDesignClientWidth + kFrameExtraWidth, kDesignClientHeight + kFrameExtraHeight);
}

frmMain::~frmMain() = default;

void frmMain::BuildControls() {
  QFont panelFont(QStringLiteral("DejaVu Sans"));
  panelFont.setPixelSize(11);
  setFont(panelFont);

  // The viewport with the picture surface and its scroll bars.
  Picture2 = new PictureBox(this);
  Picture2->setObjectName(QStringLiteral("Picture2"));
  Picture2->setBackColor(0xFFFFFF);
  Picture1 = new PictureBox(Picture2);
  Picture1->setObjectName(QStringLiteral("Picture1"));
  Picture1->setAutoSize(true);
  Picture1->setFocusPolicy(Qt::StrongFocus);
  Shape3 = &Picture1->AddShape();
  Shape3->setBorderWidth(3);
  Shape3->setVisible(false);
  Label10 = new Label(QStringLiteral("Saved"), Picture1);
  Label10->setBackColor(kStatusBlue);
  Label10->setForeColor(0xFFFFFF);
  Label10->setMargin(2);
  Label10->setAutoSize(true);
  Label10->hide();
  HScroll1 = new ScrollBar(Qt::Horizontal, Picture2);
  VScroll1 = new ScrollBar(Qt::Vertical, Picture2);
  for (ScrollBar* bar : {HScroll1, VScroll1}) {
    bar->setMin(0);
    bar->setMax(0);
    bar->setSmallChange(1000);
    bar->setLargeChange(1000);
    bar->setEnabled(false);
  }
  HScroll1->Move(0, 0, 0, 255);
  VScroll1->Move(0, 0, 255, 0);

  // The options panel. The swept controls come first, in the order in which
  // the settings are restored.
  Picfrm = new PictureBox(this);
  Picfrm->setObjectName(QStringLiteral("Picfrm"));
  Picfrm->setBackColor(kPanelYellow);
  Picfrm->Move(0, 0, kPanelWidth, 0);

  Check2 = checkBox(Picfrm, QStringLiteral("Check2"), QStringLiteral("Max Crop Size"), 120, 2295);
  AutoPan = checkBox(Picfrm, QStringLiteral("AutoPan"), QStringLiteral("Auto Pan"), 1320, 1095);
  AutoPan->setValue(1);
  AutoPan->setToolTip(QStringLiteral("AutoPan using mouse"));
  LastFilePos = textBox(Picfrm, QStringLiteral("LastFilePos"), 0, 0, 0, 0);
  LastFilePos->hide();
  DeviceName = textBox(Picfrm, QStringLiteral("DeviceName"), 1110, 540, 975, 200);
  DeviceName->setLocked(true);
  Quality = textBox(Picfrm, QStringLiteral("Quality"), 1110, 1590, 495, 200);
  Quality->setText(QStringLiteral("90"));
  // A little wider than the design's 1095 twips so the caption is not cut in
  // this desktop's font; it still ends before "Auto Pan".
  Check1 = checkBox(Picfrm, QStringLiteral("Check1"), QStringLiteral("Resize Lock"), 120, 1185);
  for (CheckBox* box : {Check1, Check2})
    box->setToolTip(QStringLiteral("Auto resize for next picture"));
  PWidth = textBox(Picfrm, QStringLiteral("PWidth"), 960, 795, 495, 200);
  PWidth->setText(QStringLiteral("160"));
  PHeight = textBox(Picfrm, QStringLiteral("PHeight"), 1680, 795, 495, 200);
  PHeight->setText(QStringLiteral("128"));
  OutputFolder = textBox(Picfrm, QStringLiteral("OutputFolder"), 1110, 1050, 975, 200);
  OutputFolder->setLocked(true);
  InputFolder = textBox(Picfrm, QStringLiteral("InputFolder"), 1110, 1320, 975, 210);
  InputFolder->setLocked(true);

  // Row bars behind the rows.
  const int barTops[7] = {750, 1020, 1290, 1560, 0, 240, 510};
  for (int i = 0; i < 7; ++i) {
    Image1[i] = new GradientBar(Picfrm);
    Image1[i]->Move(i == 4 ? 120 : 135, barTops[i], 2295, 270);
    Image1[i]->lower();
  }

  QFont titleFont(panelFont);
  titleFont.setBold(true);
  titleFont.setPixelSize(13);
  Label6 = new Label(QStringLiteral("Crop Options"), Picfrm);
  Label6->setForeColor(0x808080);
  Label6->setFont(titleFont);
  Label6->Move(480, 240, 1410, 240);
  Label17 = new Label(QStringLiteral("Crop Options"), Picfrm);
  Label17->setForeColor(0x00FF00);
  Label17->setFont(titleFont);
  Label17->Move(480, 255, 1410, 240);

  Label23 = plainLabel(Picfrm, QStringLiteral("Device"), 240, 540);
  lbl = dotsLabel(Picfrm, 525);
  Label1 = plainLabel(Picfrm, QStringLiteral("Size"), 240, 795);
  Label3 = plainLabel(Picfrm, QStringLiteral("x"), 1515, 780);
  Label15 = plainLabel(Picfrm, QStringLiteral("Output"), 240, 1050);
  Label5 = dotsLabel(Picfrm, 1035);
  Label16 = plainLabel(Picfrm, QStringLiteral("Input"), 240, 1320);
  Label7 = dotsLabel(Picfrm, 1305);
  Label13 = plainLabel(Picfrm, QStringLiteral("Quality"), 240, 1575);
  Label21 = linkLabel(Picfrm, QStringLiteral("Open Wizard"), 1320, 1875, 1095);
  Label4 = plainLabel(Picfrm, QStringLiteral("Files :"), 240, 1920);

  File1 = new FileListBox(Picfrm);
  File1->setObjectName(QStringLiteral("File1"));
  File1->setPattern(QStringLiteral("*.jpg;*.gif;*.bmp;*.png"));
  File1->Move(120, 2160, 2310, 2880);

  Label12 = plainLabel(Picfrm, QStringLiteral("Resize"), 225, 0);
  HScroll2 = new ScrollBar(Qt::Horizontal, Picfrm);
  HScroll2->setObjectName(QStringLiteral("HScroll2"));
  HScroll2->setMin(5);
  HScroll2->setMax(100);
  HScroll2->setSmallChange(1);
  HScroll2->setLargeChange(5);
  HScroll2->setValue(100);
  HScroll2->Move(960, 0, 1215, 195);

  Label2 = linkLabel(Picfrm, QStringLiteral("Arrow Keys Disabled"), 360, 0, 1800);
  Label18 = linkLabel(Picfrm, QStringLiteral("Donate"), 195, 0, 630);
  Label19 = linkLabel(Picfrm, QStringLiteral("Homepage"), 990, 0, 915);
  Label20 = linkLabel(Picfrm, QStringLiteral("Help"), 2040, 0, 375);

  // The status line floats over the viewport's top-left corner.
  StatusBar = new PictureBox(this);
  StatusBar->setObjectName(QStringLiteral("StatusBar"));
  StatusBar->setBackColor(kStatusBlue);
  StatusBar->Move(120, 120, 0, 495);
  StatusText = new Label(QStringLiteral("100%"), StatusBar);
  QFont statusFont(QStringLiteral("Verdana"));
  statusFont.setPixelSize(13);
  statusFont.setBold(true);
  StatusText->setFont(statusFont);
  StatusText->setForeColor(0xFFFFFF);
  StatusText->Move(120, 90, 0, 0);
  StatusText->setAutoSize(true);
  StatusBar->setWidth(StatusText->Left() + StatusText->Width() + StatusText->Left());
  StatusBar->hide();
  StatusBar->raise();

  Timer2 = std::make_unique<Timer>(*services_.Clock, 100, true, [this] { Timer2_Timer(); });
  Timer3 = std::make_unique<Timer>(*services_.Clock, 3000, false, [this] { Timer3_Timer(); });

  setWindowTitle(QStringLiteral("Trimora v%1.%2.0.%3")
                     .arg(TRIMORA_VERSION_MAJOR)
                     .arg(TRIMORA_VERSION_MINOR)
                     .arg(TRIMORA_VERSION_REVISION));
}

void frmMain::ConnectEvents() {
  File1->onClick = [this] { File1_Click(); };
  PWidth->onChange = [this] { PWidth_Change(); };
  PHeight->onChange = [this] { PHeight_Change(); };
  Quality->onChange = [this] { Quality_Change(); };
  OutputFolder->onChange = [this] { OutputFolder_Change(); };
  // A device name reads from its start; a folder shows its last part, and the
  // whole path as a tooltip.
  DeviceName->onChange = [this] { DeviceName->setCursorPosition(0); };
  InputFolder->onChange = [this] { InputFolder->setToolTip(InputFolder->Text()); };
  // Any key released in a size box means the size was typed by hand.
  auto manual = [this](int) { DeviceName->setText(QStringLiteral("Manual")); };
  PWidth->onKeyUp = manual;
  PHeight->onKeyUp = manual;

  HScroll1->onChange = [this] { UpdateScrollBars(); };
  HScroll1->onScroll = [this] { UpdateScrollBars(); };
  VScroll1->onChange = [this] { UpdateScrollBars(); };
  VScroll1->onScroll = [this] { UpdateScrollBars(); };

  Picture1->onMouseDown = [this](Qt::MouseButton b, Qt::KeyboardModifiers, int x, int y) {
    Picture1_MouseDown(b, x, y);
  };
  Picture1->onMouseMove = [this](Qt::MouseButtons, Qt::KeyboardModifiers, int x, int y) {
    Picture1_MouseMove(x, y);
  };
  Picture1->onMouseUp = [this](Qt::MouseButton b, Qt::KeyboardModifiers, int x, int y) {
    Picture1_MouseUp(b, x, y);
  };
  Picture1->onKeyUp = [this](int key, Qt::KeyboardModifiers) { Picture1_KeyUp(key); };

  AutoPan->onMouseUp = [this](Qt::MouseButton) { AutoPan_MouseUp(); };
  Check1->onMouseUp = [this](Qt::MouseButton) { Check1_MouseUp(); };
  Check2->onClick = [this] { Check2_Click(); };
  Label2->onClick = [this] { Label2_Click(); };
  Label5->onClick = [this] { Label5_Click(); };
  Label7->onClick = [this] { Label7_Click(); };
  lbl->onClick = [this] { lbl_Click(); };
  Label18->onClick = [this] { Label18_Click(); };
  Label19->onClick = [this] { Label19_Click(); };
  Label20->onClick = [this] { ShowHelp(); };
  Label21->onClick = [this] { OpenWizard(); };
}

int frmMain::FormWidth() const {
  return PixelsToTwips(width()) + kFrameExtraWidth;
}
int frmMain::FormHeight() const {
  return PixelsToTwips(height()) + kFrameExtraHeight;
}
int frmMain::FormLeft() const {
  return PixelsToTwips(frameGeometry().x());
}
int frmMain::FormTop() const {
  return PixelsToTwips(frameGeometry().y());
}

void frmMain::setFormSize(int widthTwips, int heightTwips) {
  resize(TwipsToPixels(widthTwips - kFrameExtraWidth),
         TwipsToPixels(heightTwips - kFrameExtraHeight));
}

}  // namespace trimora
