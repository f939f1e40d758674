// The set-up wizard: what OK writes into the workspace and when it refuses, the
// low quality question, the folder loop, the "Show wizard every time" box, its look.
#include <QCheckBox>
#include <QLabel>
#include <QTest>

#include "ElidedButton.h"
#include "FolderFixture.h"
#include "Settings.h"
#include "SetupWizard.h"

namespace trimora::testing {
namespace {

// A workspace that logs each write.
struct FakeTarget : SetupTarget {
  QStringList start = QStringList(6);  // device, width, height, output, input, quality
  QStringList writes;
  QString deviceName() const override { return start[0]; }
  QString frameWidthText() const override { return start[1]; }
  QString frameHeightText() const override { return start[2]; }
  QString outputFolder() const override { return start[3]; }
  QString inputFolder() const override { return start[4]; }
  QString qualityText() const override { return start[5]; }
  void setDeviceName(const QString& v) override { writes << "device " + v; }
  void setFrameWidthText(const QString& v) override { writes << "width " + v; }
  void setFrameHeightText(const QString& v) override { writes << "height " + v; }
  void setOutputFolder(const QString& v) override { writes << "output " + v; }
  void setInputFolder(const QString& v) override { writes << "input " + v; }
  void setQualityText(const QString& v) override { writes << "quality " + v; }
  void reloadFolder() override { writes << "reload"; }
};

// The enabled button, box (T = QAbstractButton) or caption (T = QLabel) that reads text.
template <class T = QAbstractButton>
T* control(const QWidget& wizard, const QString& text) {
  for (T* w : wizard.findChildren<T*>())
    if (w->text() == text && w->isEnabled()) return w;
  return nullptr;
}

class SetupWizardTest : public FolderFixture {
 protected:
  FakeTarget target;
};

TEST_F(SetupWizardTest, EnterWritesTheQualityShownAskingAboutOneBelow50) {
  target.start = QStringList({"Phone 1", "240", "320", "/o/", "/i", ""});
  breakCatalogue();  // an Enter that missed OK and opened the device picker would hang
  // The quality stored, written, and how often asked about; the slider cannot
  // take every quality. The last is declined once.
  const std::tuple<const char*, const char*, int> cases[] = {
      {"", "90", 0}, {"abc", "90", 0},    {"0", "90", 0},  {"101", "90", 0},
      {"1", "1", 1}, {"100.4", "100", 0}, {"50", "50", 0}, {"49", "49", 2}};
  for (const auto& [stored, written, asked] : cases) {
    if (asked == 2) fakes.messages.answers = {MessageResult::No};
    target.start[5] = stored;
    target.writes.clear();
    fakes.messages.shown.clear();
    SetupWizard wizard(services, target);
    wizard.show();
    for (int enter = 0; enter < 2 && wizard.isVisible(); ++enter)
      QTest::keyClick(&wizard, Qt::Key_Return);
    EXPECT_EQ(target.writes, QStringList({"device Phone 1", "width 240", "height 320", "output /o/",
                                          "input /i", QString("quality ") + written, "reload"}));
    EXPECT_EQ(int(fakes.messages.shown.size()), asked) << stored;
  }
  EXPECT_EQ(fakes.messages.shown[0].buttons, MessageButtons::YesNo);  // a question
}

TEST_F(SetupWizardTest, OkWritesEveryChoiceInOrderOrSaysWhatIsMissing) {
  const QString out = root.filePath("out");
  ASSERT_TRUE(QDir().mkpath(out) && WriteBytes(root.filePath("file"), "x"));
  // An input folder the same as the output asks again; a file is as good as a cancel.
  fakes.folders.answers = {out + "/../out", out, root.filePath("file")};
  breakCatalogue();  // the device picker tells and does not open
  SetupWizard wizard(services, target);
  wizard.confirm();  // nothing chosen
  lastDeviceChoice() = {"Tab", "640X480"};
  control(wizard, "Open Dialog")->click();  // the output folder's button
  control(wizard, "OK")->click();           // no input folder
  control(wizard, "Open Dialog")->click();  // the input folder's
  lastDeviceChoice() = {};
  wizard.confirm();  // no device
  lastDeviceChoice() = {"Tab", "640X480"};
  wizard.confirm();  // a size without a height: the name and the width stay written
  EXPECT_EQ(target.writes, QStringList({"device Tab", "width 640X480"}));
  for (const DeviceChoice& choice : {DeviceChoice{"", "480x800"}, {"Phone 1", "480x800"}}) {
    // The device button shows a choice with a name and a size only.
    lastDeviceChoice() = choice;
    control(wizard, "Select Device")->click();
  }
  EXPECT_NE(control(wizard, "Phone 1 480x800"), nullptr);
  const QString missing = "Please specify all three valid options!";
  EXPECT_EQ(fakes.messages.texts(),
            QStringList({missing, missing, "Input and Output folders cannot be same!", missing,
                         missing, "Devices.dat file missing!", "Devices.dat file missing!"}));
  for (const int i : {2, 4, 5})  // the refusals have a stop sign, the reminder none
    EXPECT_EQ(fakes.messages.shown[i].icon, i == 4 ? MessageIcon::None : MessageIcon::Stop);
  EXPECT_EQ(fakes.folders.startFolders, QStringList({"", "", out + "/"}));
  wizard.confirm();  // the two folders may end up the same
  EXPECT_EQ(target.writes.mid(2),
            QStringList({"device Phone 1", "width 480", "height 800", "output " + out + "/",
                         "input " + out + "/", "quality 90", "reload"}));

  // The manual size wins over the device chosen, and turns the device button off.
  target.start = QStringList({"Tab", "1", "2", "/o/", "/i", "90"});
  SetupWizard manual(services, target);
  QTest::mouseClick(control(manual, "Manually Fill Width and Height"), Qt::LeftButton);
  const ElidedButton* device = manual.findChild<ElidedButton*>();  // the first button
  EXPECT_TRUE(device->fullText() == "Select Device" && !device->isEnabled());
  control(manual, "OK")->click();
  EXPECT_EQ(target.writes.mid(9, 3), QStringList({"device Manual", "width 160", "height 120"}));
}

TEST_F(SetupWizardTest, TheShowWizardBoxIsTheStoredSetting) {
  // Stored before, the box on opening, stored after. Clicks are stored at once; a greyed
  // box is never greyed again, so three clicks leave every box the other way.
  constexpr auto on = Qt::Checked, off = Qt::Unchecked, grey = Qt::PartiallyChecked;
  const std::tuple<const char*, Qt::CheckState, const char*> cases[] = {
      {nullptr, on, "1"}, {"0", off, "0"}, {"01", on, "1"}, {"7", off, "7"}, {"2", grey, "2"}};
  for (const auto& [before, state, after] : cases) {
    QFile::remove(root.filePath("config/Trimora/Trimora.ini"));
    if (before) Settings().setText("Wizard", before);
    SetupWizard wizard(services, target);
    auto* box = qobject_cast<QCheckBox*>(control(wizard, "Show wizard every time"));
    EXPECT_EQ(box->checkState(), state) << before;
    EXPECT_EQ(Settings().text("Wizard"), after) << before;
    for (int click = 0; click < 3; ++click) QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_EQ(Settings().text("Wizard"), state == on ? "0" : "1") << before;
  }
}

TEST_F(SetupWizardTest, AWhiteHeaderWithTheMarkOverABodyFadingToRose) {
  const QString deep = "/" + QString(150, 'd') + "/Tom & Jerry/";
  target.start = QStringList({"Phone 1", "240", "320", deep, "/i", "75"});
  SetupWizard wizard(services, target);
  ASSERT_TRUE(control(wizard, "Phone 1 240x320") && control(wizard, "/i"));
  const QImage shot = wizard.grab().toImage();
  ASSERT_EQ(shot.size(), QSize(537, 454));
  // The header white with the mark (a rose tile, a photo with a yellow sun and blue hills); a grey
  // hairline over a body from white to rose, a little darker every row.
  const std::pair<QPoint, QColor> probes[] = {
      {{300, 10}, Qt::white},     {{535, 49}, Qt::white},     {{34, 14}, {240, 175, 170}},
      {{42, 31}, {250, 204, 84}}, {{35, 46}, {70, 110, 170}}, {{2, 72}, {214, 214, 214}},
      {{2, 73}, Qt::white},       {{2, 453}, {240, 175, 170}}};
  for (const auto& [p, want] : probes) {  // within 4 in each channel
    const QColor got = shot.pixelColor(p);
    for (int d : {got.red() - want.red(), got.green() - want.green(), got.blue() - want.blue()})
      EXPECT_LE(std::abs(d), 4) << p.x() << "," << p.y();
  }
  for (int y = 74; y < 454; ++y)
    ASSERT_LE(shot.pixelColor(2, y).green(), shot.pixelColor(2, y - 1).green()) << y;
  // The quality stored is written in blue; every caption is as large as its text.
  const QLabel* quality = control<QLabel>(wizard, "Selected Quality: 75");
  ASSERT_TRUE(quality && quality->palette().color(QPalette::WindowText) == QColor(0, 0, 255));
  for (const QLabel* label : wizard.findChildren<QLabel*>())
    EXPECT_EQ(label->size(), label->sizeHint()) << qPrintable(label->text());
  // A folder too long for its button is shortened in the middle, its "&" shown as itself.
  const auto* button = qobject_cast<QAbstractButton*>(wizard.childAt(270, 220));
  ASSERT_TRUE(button && button->toolTip() == deep);
  EXPECT_TRUE(button->text().startsWith("/ddd") && button->text().endsWith("/Tom && Jerry/"));
  EXPECT_LT(button->fontMetrics().horizontalAdvance(button->text()), button->width());
}

}  // namespace
}  // namespace trimora::testing
