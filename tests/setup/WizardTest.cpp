// The set-up wizard: first start, what it takes from the main window, its
// checks, the folder loop, the quality question, applying, and its painting.
#include <QTest>

#include "SetupFixture.h"
#include "frmDevices.h"
#include "frmWizard.h"

namespace trimora::testing {
namespace {

class WizardTest : public SetupFixture {
 protected:
  void SetUp() override {
    SetupFixture::SetUp();
    WriteCatalogue("Alpha 100:240x320\nPhone 1:480x800\n");
    ASSERT_TRUE(QDir().mkpath(out()));
  }
  // Opens the wizard from the main window and runs action inside it; a wizard
  // still open afterwards is closed with the close box.
  void OpenWith(std::function<void(frmWizard&)> action) {
    WhenShown<frmWizard>([action = std::move(action)](frmWizard& wizard) {
      action(wizard);
      if (wizard.isVisible()) wizard.reject();
    });
    form->OpenWizard();
  }
  // Both folders and a device chosen, without the dialogs.
  void ChooseAll(frmWizard& wizard) {
    wizard.Command3->setCaption(out());
    wizard.Command4->setCaption(in() + "/");
    SelectedDeviceName = "Alpha 100";
    SelectedDeviceSize = "240x320";
  }
  // Picks the catalogue's second line, Phone 1, in the picker that opens.
  static void PickPhone1(frmWizard& wizard) {
    WhenShown<frmDevices>([](frmDevices& picker) {
      picker.List1->setListIndex(1);
      picker.List1_KeyUp(Qt::Key_Return);
    });
    wizard.Command2->click();
  }
  static QStringList Captions(const frmWizard& wizard) {
    return {wizard.Command2->Caption(), wizard.Command3->Caption(), wizard.Command4->Caption(),
            wizard.Label3->Caption()};
  }
  // Device, width, height, output and input folders, quality.
  QStringList MainFields() const {
    return {form->DeviceName->Text(),   form->PWidth->Text(),      form->PHeight->Text(),
            form->OutputFolder->Text(), form->InputFolder->Text(), form->Quality->Text()};
  }
};

TEST_F(WizardTest, FirstStartOpensTheWizardBeforeTheMainWindowUntilSwitchedOff) {
  bool sawWizard = false;
  WhenShown<frmWizard>([&](frmWizard& wizard) {
    sawWizard = true;
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(wizard.windowTitle(), "Trimora - Wizard");
    EXPECT_EQ(Captions(wizard),
              QStringList({"Select Device", "Open Dialog", "Open Dialog", "Selected Quality: 90"}));
    EXPECT_EQ(wizard.Check2->Value(), 1);
    QTest::mouseClick(wizard.Check2, Qt::LeftButton);  // stored at once
    EXPECT_EQ(Stored("Wizard"), "0");
    wizard.reject();
  });
  StartWithWizard();
  EXPECT_TRUE(sawWizard);
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(Stored("Wizard"), "0");

  Close();  // the next start goes straight to the main window
  form = std::make_unique<frmMain>(services);
  form->wizardRunner = [&](frmMain&) { ADD_FAILURE() << "the wizard opened"; };
  form->Load();
  EXPECT_TRUE(form->isVisible());
}

TEST_F(WizardTest, OpeningTakesTheMainWindowsDeviceFoldersAndQuality) {
  const QStringList settings = {"DeviceName", "Phone 1", "PWidth", "240",          "PHeight",
                                "320",        "Quality", "75",     "OutputFolder", out()};
  for (int i = 0; i < settings.size(); i += 2) Store(settings[i], settings[i + 1]);
  StartWithWizard(false);
  OpenWith([&](frmWizard& wizard) {
    EXPECT_EQ(Captions(wizard),
              QStringList({"Phone 1 240x320", out(), "Open Dialog", "Selected Quality: 75"}));
  });
  EXPECT_EQ(QStringList({SelectedDeviceName, SelectedDeviceSize}),
            QStringList({"Phone 1", "240x320"}));
  // A quality the slider cannot take leaves it at 90.
  static_cast<QLineEdit*>(form->Quality)->setText("abc");  // past the box's own rule
  OpenWith([&](frmWizard& wizard) { EXPECT_EQ(wizard.HScroll1->Value(), 90); });
}

TEST_F(WizardTest, OkWithoutAllThreeChoicesStaysOpen) {
  StartWithWizard(false);
  const QStringList before = MainFields();
  OpenWith([&](frmWizard& wizard) {
    wizard.Command1->click();  // nothing chosen
    ChooseAll(wizard);
    wizard.Command4->setCaption("Open Dialog");
    wizard.Command1->click();  // no input folder
    EXPECT_EQ(MainFields(), before);
    // A size without a height: the name and width are written, then refused.
    ChooseAll(wizard);
    SelectedDeviceSize = "640X480";
    wizard.Command1->click();
    EXPECT_TRUE(wizard.isVisible());
  });
  EXPECT_EQ(fakes.messages.texts(), QStringList(3, "Please specify all three valid options!"));
  EXPECT_EQ(fakes.messages.shown[0].icon, MsgIcon::None);
  EXPECT_EQ(MainFields().mid(0, 2), QStringList({"Alpha 100", "640"}));
  EXPECT_EQ(MainFields().mid(2), before.mid(2));
}

TEST_F(WizardTest, OkAppliesTheChoicesWholeAndAManualSizeWinsOverTheDevice) {
  QFile picture(in() + "/one.png");
  ASSERT_TRUE(picture.open(QIODevice::WriteOnly));
  picture.close();
  // Long enough to be shortened on the button, with a character buttons would
  // take for a shortcut mark.
  const QString deep = root.path() + "/Tom & Jerry/" + QString(120, QChar('d'));
  ASSERT_TRUE(QDir().mkpath(deep));
  StartWithWizard(false);
  fakes.folders.answers = {deep, in()};
  OpenWith([&](frmWizard& wizard) {
    PickPhone1(wizard);
    EXPECT_EQ(wizard.Command2->Caption(), "Phone 1 480x800");
    wizard.Command3->click();
    EXPECT_EQ(wizard.Command3->Caption(), deep + "/");
    EXPECT_EQ(wizard.Command3->toolTip(), deep + "/");
    wizard.Command4->click();
    wizard.Command1->click();
  });
  EXPECT_EQ(MainFields(), QStringList({"Phone 1", "480", "800", deep + "/", in() + "/", "90"}));
  EXPECT_EQ(fakes.folders.titles, QStringList({"Locate Output Folder", "Locate Input Folder"}));
  EXPECT_EQ(form->File1->ListCount(), 1);
  EXPECT_EQ(form->File1->ListIndex(), 0);

  OpenWith([&](frmWizard& wizard) {
    wizard.Check1->setValue(1);
    EXPECT_EQ(wizard.Command2->Caption(), "Select Device");
    EXPECT_FALSE(wizard.Command2->isEnabled());
    wizard.HScroll1->setValue(80);
    wizard.Command1->click();
    EXPECT_FALSE(wizard.isVisible());
  });
  EXPECT_EQ(MainFields(), QStringList({"Manual", "160", "120", deep + "/", in() + "/", "80"}));
  EXPECT_TRUE(fakes.messages.shown.empty());
}

TEST_F(WizardTest, QualityBelow50AsksFirst) {
  StartWithWizard(false);
  fakes.messages.answers = {MsgResult::No, MsgResult::Yes};
  OpenWith([&](frmWizard& wizard) {
    ChooseAll(wizard);
    wizard.HScroll1->setValue(49);
    wizard.Command1->click();  // No: nothing applied, still open
    EXPECT_TRUE(wizard.isVisible());
    EXPECT_NE(form->OutputFolder->Text(), out());
    wizard.Command1->click();  // Yes
  });
  EXPECT_EQ(form->Quality->Text(), "49");
  OpenWith([&](frmWizard& wizard) {
    wizard.HScroll1->setValue(50);
    wizard.Command1->click();  // not asked about
    EXPECT_FALSE(wizard.isVisible());
  });
  EXPECT_EQ(form->Quality->Text(), "50");
  EXPECT_EQ(fakes.messages.texts(), QStringList(2,
                                                "You have selected a low output quality. Do "
                                                "you really want to get low res pictures?"));
  EXPECT_EQ(fakes.messages.shown[0].buttons, MsgButtons::YesNo);
}

TEST_F(WizardTest, TheSameFolderTwiceAsksAgainUntilCancelled) {
  const QString same = root.path() + "/same";
  ASSERT_TRUE(QDir().mkpath(same));
  StartWithWizard(false);
  fakes.folders.answers = {same, same, same};  // then the user cancels
  OpenWith([&](frmWizard& wizard) {
    wizard.Command3->click();
    wizard.Command4->click();
    SelectedDeviceName = "Alpha 100";
    SelectedDeviceSize = "240x320";
    wizard.Command1->click();  // OK takes the two equal folders
  });
  EXPECT_EQ(fakes.messages.texts(), QStringList(2, "Input and Output folders cannot be same!"));
  EXPECT_EQ(fakes.messages.shown[0].icon, MsgIcon::Stop);
  // "Open Dialog" names no folder, so the chooser starts nowhere in particular.
  EXPECT_EQ(fakes.folders.startFolders, QStringList({"", "", same + "/", same + "/"}));
  EXPECT_EQ(MainFields().mid(3, 2), QStringList({same + "/", same + "/"}));
}

TEST_F(WizardTest, TheBodyFadesFromWhiteToRoseUnderAWhiteHeader) {
  frmWizard wizard(services, WizardTarget{});
  const QImage body = wizard.Picture2->Picture();
  ASSERT_EQ(body.size(), QSize(8055 / 15, 5775 / 15));
  const auto at = [&](int y) { return QColor(body.pixel(body.width() / 2, y)); };
  EXPECT_EQ(at(0), QColor(255, 255, 255));
  const QColor bottom = at(body.height() - 1);
  EXPECT_NEAR(bottom.red(), 240, 1);
  EXPECT_NEAR(bottom.green(), 175, 1);
  EXPECT_NEAR(bottom.blue(), 170, 1);
  EXPECT_NEAR(at(body.height() / 2).green(), (255 + 175) / 2, 2);
  for (int y = 1; y < body.height(); ++y) {
    ASSERT_EQ(body.pixel(0, y), body.pixel(body.width() - 1, y)) << y;  // one colour a row
    ASSERT_LE(at(y).green(), at(y - 1).green()) << y;
  }
  wizard.show();
  const QImage box = wizard.Check2->grab().toImage();
  wizard.hide();
  EXPECT_EQ(QColor(box.pixel(box.width() - 2, 1)), QColor(Qt::white));
}

}  // namespace
}  // namespace trimora::testing
