// The set-up wizard: where it starts, what OK writes into the workspace and
// when it refuses, the low quality question, the folder loop, and the "Show
// wizard every time" box.
#include <QCheckBox>
#include <QLabel>
#include <QTest>

#include "ElidedButton.h"
#include "Settings.h"
#include "SetupTest.h"
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

// Every caption and whole button text of the wizard, top to bottom.
QStringList shownTexts(const QWidget& wizard) {
  QStringList texts;
  for (const QWidget* w : wizard.findChildren<QWidget*>()) {
    if (const auto* button = qobject_cast<const ElidedButton*>(w))
      texts << button->fullText();
    else if (const auto* box = qobject_cast<const QCheckBox*>(w))
      texts << box->text();
    else if (const auto* label = qobject_cast<const QLabel*>(w); label && !label->text().isEmpty())
      texts << label->text();
  }
  return texts;
}

// The enabled button or box that reads text.
QAbstractButton* control(const QWidget& wizard, const QString& text) {
  for (QAbstractButton* b : wizard.findChildren<QAbstractButton*>())
    if (b->text() == text && b->isEnabled()) return b;
  return nullptr;
}

class SetupWizardTest : public SetupTest {
 protected:
  FakeTarget target;
};

TEST_F(SetupWizardTest, StartsFromTheWorkspacesChoices) {
  EXPECT_EQ(
      shownTexts(SetupWizard(services, target)),
      QStringList({"Show wizard every time", "Select Device", "Manually Fill Width and Height",
                   "Select Device", "Select Output Folder", "Open Dialog", "Select Input Folder",
                   "Open Dialog", "Select Jpg Images Quality", "Small Size", "Selected Quality: 90",
                   "Better Quality", "OK"}));
  target.start = QStringList({"Phone 1", "240", "320", "/o/", "/i", "75"});
  const QStringList texts = shownTexts(SetupWizard(services, target));
  EXPECT_EQ(QStringList({texts[3], texts[5], texts[7], texts[10]}),
            QStringList({"Phone 1 240x320", "/o/", "/i", "Selected Quality: 75"}));
  // A quality the slider cannot take leaves it at 90.
  for (const auto& [quality, shown] :
       {std::pair{"abc", "90"}, {"0", "90"}, {"101", "90"}, {"1", "1"}, {"100.4", "100"}}) {
    target.start[5] = quality;
    EXPECT_EQ(shownTexts(SetupWizard(services, target))[10], QString("Selected Quality: ") + shown);
  }
}

TEST_F(SetupWizardTest, OkWritesEveryChoiceInOrderOrSaysWhatIsMissing) {
  const QString out = root.filePath("out"), in = root.filePath("in");
  ASSERT_TRUE(QDir().mkpath(out) && QDir().mkpath(in));
  fakes.folders.answers = {out, in};
  breakCatalogue();  // a picker opened by mistake would not block the test
  SetupWizard wizard(services, target);
  wizard.show();
  QTest::keyClick(&wizard, Qt::Key_Return);  // Enter is OK: nothing chosen
  control(wizard, "Open Dialog")->click();   // the output folder's button
  control(wizard, "OK")->click();            // no input folder
  control(wizard, "Open Dialog")->click();   // the input folder's
  wizard.confirm();                          // no device
  lastDeviceChoice() = {"Tab", "640X480"};
  wizard.confirm();  // a size without a height: the name and the width stay written
  EXPECT_EQ(fakes.messages.texts(), QStringList(4, "Please specify all three valid options!"));
  EXPECT_EQ(fakes.messages.shown[3].icon, MessageIcon::None);
  EXPECT_EQ(target.writes, QStringList({"device Tab", "width 640X480"}));
  EXPECT_EQ(wizard.result(), QDialog::Rejected);

  lastDeviceChoice() = {"Phone 1", "480x800"};
  wizard.setQuality(80);
  wizard.confirm();
  EXPECT_EQ(target.writes.mid(2),
            QStringList({"device Phone 1", "width 480", "height 800", "output " + out + "/",
                         "input " + in + "/", "quality 80", "reload"}));
  EXPECT_EQ(wizard.result(), QDialog::Accepted);
  EXPECT_EQ(fakes.folders.titles, QStringList({"Locate Output Folder", "Locate Input Folder"}));

  // The manual size wins over the device chosen, and turns the device button off.
  target.start = QStringList({"", "", "", out, in, "90"});
  SetupWizard manual(services, target);
  QTest::mouseClick(control(manual, "Manually Fill Width and Height"), Qt::LeftButton);
  EXPECT_EQ(control(manual, "Select Device"), nullptr);
  control(manual, "OK")->click();
  EXPECT_EQ(target.writes.mid(9, 3), QStringList({"device Manual", "width 160", "height 120"}));
}

TEST_F(SetupWizardTest, AQualityBelow50IsAskedAbout) {
  target.start = QStringList({"Phone 1", "240", "320", "/o/", "/i", "49"});
  fakes.messages.answers = {MessageResult::No, MessageResult::Yes};
  SetupWizard wizard(services, target);
  wizard.confirm();  // No: nothing written, still open
  EXPECT_TRUE(target.writes.isEmpty() && wizard.result() == QDialog::Rejected);
  wizard.confirm();  // Yes
  target.start[5] = "50";
  SetupWizard(services, target).confirm();  // not asked
  EXPECT_EQ(QStringList({target.writes.value(5), target.writes.value(12)}),
            QStringList({"quality 49", "quality 50"}));
  EXPECT_EQ(fakes.messages.texts(), QStringList(2,
                                                "You have selected a low output quality. Do "
                                                "you really want to get low res pictures?"));
  EXPECT_EQ(fakes.messages.shown[0].buttons, MessageButtons::YesNo);
}

TEST_F(SetupWizardTest, TheSameFolderTwiceAsksAgainUntilCancelled) {
  const QString same = root.filePath("same");
  ASSERT_TRUE(QDir().mkpath(same) && WriteBytes(root.filePath("file"), "x"));
  // The last answer is a file, not a folder: as good as a cancel.
  fakes.folders.answers = {same + "/../same", same, same, root.filePath("file")};
  lastDeviceChoice() = {"Phone 1", "240x320"};
  SetupWizard wizard(services, target);
  wizard.chooseOutputFolder();
  wizard.chooseInputFolder();
  EXPECT_EQ(fakes.messages.texts(), QStringList(2, "Input and Output folders cannot be same!"));
  EXPECT_EQ(fakes.messages.shown[0].icon, MessageIcon::Stop);
  EXPECT_EQ(fakes.folders.startFolders, QStringList({"", "", same + "/", same + "/"}));
  wizard.confirm();  // OK takes the two equal folders
  EXPECT_EQ(target.writes.mid(3, 2), QStringList({"output " + same + "/", "input " + same + "/"}));
}

TEST_F(SetupWizardTest, TheShowWizardBoxIsTheStoredSetting) {
  // Stored before, the box on opening, stored after opening. Each click is
  // stored at once; a greyed box turns checked and is never greyed again.
  const std::tuple<const char*, Qt::CheckState, const char*> cases[] = {
      {nullptr, Qt::Checked, "1"},
      {"0", Qt::Unchecked, "0"},
      {"01", Qt::Checked, "1"},
      {"7", Qt::Unchecked, "7"},
      {"2", Qt::PartiallyChecked, "2"}};
  for (const auto& [before, state, after] : cases) {
    QFile::remove(iniPath());
    if (before) Settings().setText("Wizard", before);
    SetupWizard wizard(services, target);
    auto* box = qobject_cast<QCheckBox*>(control(wizard, "Show wizard every time"));
    EXPECT_EQ(box->checkState(), state) << before;
    EXPECT_EQ(Settings().text("Wizard"), after) << before;
    QTest::mouseClick(box, Qt::LeftButton);
    QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_EQ(Settings().text("Wizard"), state == Qt::Checked ? "1" : "0") << before;
  }
}

TEST_F(SetupWizardTest, TheDeviceButtonShowsTheDeviceChosenLast) {
  breakCatalogue();  // the picker tells and does not open
  SetupWizard wizard(services, target);
  lastDeviceChoice() = {"", "480x800"};  // a choice needs a name and a size
  control(wizard, "Select Device")->click();
  EXPECT_EQ(shownTexts(wizard)[3], "Select Device");
  lastDeviceChoice() = {"Phone 1", "480x800"};
  control(wizard, "Select Device")->click();
  EXPECT_EQ(shownTexts(wizard)[3], "Phone 1 480x800");
  EXPECT_EQ(fakes.messages.texts(), QStringList(2, "Devices.dat file missing!"));
}

TEST_F(SetupWizardTest, AWhiteHeaderWithTheMarkOverABodyFadingToRose) {
  const QString deep = "/" + QString(150, 'd') + "/Tom & Jerry/";
  target.start[3] = deep;
  SetupWizard wizard(services, target);
  const QImage shot = wizard.grab().toImage();
  ASSERT_EQ(shot.size(), QSize(537, 454));
  const auto at = [&](int x, int y) { return QColor(shot.pixel(x, y)); };
  const auto near = [](QColor a, QColor b) {  // within 4 in each channel
    return std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()),
                     std::abs(a.blue() - b.blue())}) <= 4;
  };
  // Header and the box in it white; the mark: a rose tile, a white photo with
  // a yellow sun and blue hills, a dark frame corner.
  for (const QPoint p : {QPoint(300, 10), QPoint(450, 20), QPoint(535, 49), QPoint(22, 28)})
    EXPECT_EQ(at(p.x(), p.y()), QColor(Qt::white)) << p.x() << "," << p.y();
  EXPECT_TRUE(near(at(34, 14), QColor(240, 175, 170)) && near(at(34, 58), QColor(198, 88, 80)) &&
              near(at(42, 31), QColor(250, 204, 84)) && near(at(35, 46), QColor(70, 110, 170)) &&
              at(16, 22).lightness() < 80);
  // A grey hairline, then from white down to rose, a little darker every row.
  EXPECT_EQ(at(2, 72), QColor(214, 214, 214));
  EXPECT_TRUE(near(at(2, 73), Qt::white) && near(at(2, 453), QColor(240, 175, 170)));
  for (int y = 74; y < 454; ++y) ASSERT_LE(at(2, y).green(), at(2, y - 1).green()) << y;
  // The chosen quality is written in blue.
  int blue = 0;
  for (int x = 216; x < 332; ++x)
    for (int y = 360; y < 377; ++y) blue += at(x, y).blue() - at(x, y).red() > 100;
  EXPECT_GT(blue, 0);
  // A folder too long for its button is shortened in the middle, its "&" shown as itself.
  const auto* button = qobject_cast<QAbstractButton*>(wizard.childAt(270, 220));
  ASSERT_TRUE(button && button->toolTip() == deep);
  EXPECT_TRUE(button->text().startsWith("/ddd") && button->text().endsWith("/Tom && Jerry/"));
  EXPECT_LT(button->fontMetrics().horizontalAdvance(button->text()), button->width());
}

}  // namespace
}  // namespace trimora::testing
