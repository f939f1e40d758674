// The set-up wizard: first start, what it shows when opened, validation, the
// folder loop, the quality question, applying to the main window, and its
// painted body.
#include <QDir>
#include <QTest>

#include "SelectedDevice.h"
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
    ASSERT_TRUE(QDir().mkpath(other()));
  }
  QString other() const { return root.path() + QStringLiteral("/other"); }
  // Opens the wizard from the main window and runs action inside it.
  void OpenWith(std::function<void(frmWizard&)> action) {
    WhenShown<frmWizard>([action = std::move(action)](frmWizard& wizard) {
      action(wizard);
      if (wizard.isVisible()) wizard.reject();  // the close box
    });
    form->OpenWizard();
  }
};

TEST_F(WizardTest, FirstStartOpensTheWizardBeforeTheMainWindow) {
  bool sawWizard = false;
  WhenShown<frmWizard>([&](frmWizard& wizard) {
    sawWizard = true;
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(wizard.windowTitle(), "Trimora - Wizard");
    EXPECT_EQ(wizard.Command2->Caption(), "Select Device");
    EXPECT_EQ(wizard.Command3->Caption(), "Open Dialog");
    EXPECT_EQ(wizard.Command4->Caption(), "Open Dialog");
    EXPECT_EQ(wizard.HScroll1->Value(), 90);
    EXPECT_EQ(wizard.Label3->Caption(), "Selected Quality: 90");
    EXPECT_EQ(wizard.Check2->Value(), 1);
    EXPECT_EQ(wizard.Check1->Value(), 0);
    wizard.reject();
  });
  Start();
  EXPECT_TRUE(sawWizard);
  EXPECT_TRUE(form->isVisible());
  EXPECT_TRUE(fakes.messages.shown.empty());  // the close box applies nothing
}

TEST_F(WizardTest, OpeningTakesTheMainWindowsDeviceFoldersAndQuality) {
  Store("DeviceName", "Phone 1");
  Store("PWidth", "240");
  Store("PHeight", "320");
  Store("OutputFolder", out());
  Store("InputFolder", in());
  Store("Quality", "75");
  StartQuietly();
  OpenWith([&](frmWizard& wizard) {
    EXPECT_EQ(wizard.Command2->Caption(), "Phone 1 240x320");
    EXPECT_EQ(wizard.Command3->Caption(), out());
    EXPECT_EQ(wizard.Command4->Caption(), in());
    EXPECT_EQ(wizard.HScroll1->Value(), 75);
    EXPECT_EQ(wizard.Label3->Caption(), "Selected Quality: 75");
  });
  EXPECT_EQ(SelectedDeviceName, "Phone 1");
  EXPECT_EQ(SelectedDeviceSize, "240x320");
  EXPECT_EQ(form->DeviceName->Text(), "Phone 1");  // closed without OK: nothing applied
}

TEST_F(WizardTest, AQualityOutsideTheSliderLeavesItAt90) {
  StartQuietly();
  for (const char* quality : {"abc", "0", "250"}) {
    form->Quality->blockSignals(true);
    // Bypass the box's own normalisation to hand the wizard a raw text.
    static_cast<QLineEdit*>(form->Quality)->setText(quality);
    form->Quality->blockSignals(false);
    OpenWith([&](frmWizard& wizard) { EXPECT_EQ(wizard.HScroll1->Value(), 90) << quality; });
  }
}

TEST_F(WizardTest, OkWithNothingChosenAsksForAllThree) {
  StartQuietly();
  OpenWith([&](frmWizard& wizard) {
    wizard.Command1->click();
    EXPECT_TRUE(wizard.isVisible());
    // A device alone is not enough either.
    SelectedDeviceName = "Alpha 100";
    SelectedDeviceSize = "240x320";
    wizard.Command3->setCaption(out());
    wizard.Command1->click();
    EXPECT_TRUE(wizard.isVisible());
  });
  ASSERT_EQ(fakes.messages.texts(), QStringList({"Please specify all three valid options!",
                                                 "Please specify all three valid options!"}));
  EXPECT_EQ(fakes.messages.shown[0].icon, MsgIcon::None);
  EXPECT_EQ(fakes.messages.shown[0].buttons, MsgButtons::OK);
}

TEST_F(WizardTest, ManualSizeWinsOverAChosenDevice) {
  StartQuietly();
  fakes.folders.answers = {out(), in()};
  OpenWith([&](frmWizard& wizard) {
    WhenShown<frmDevices>([](frmDevices& picker) {
      picker.List1->setListIndex(1);  // Phone 1
      picker.List1_DblClick();
    });
    wizard.Command2->click();
    EXPECT_EQ(wizard.Command2->Caption(), "Phone 1 480x800");

    wizard.Check1->setValue(1);
    EXPECT_EQ(wizard.Command2->Caption(), "Select Device");
    EXPECT_FALSE(wizard.Command2->isEnabled());
    wizard.Command3->click();
    wizard.Command4->click();
    wizard.HScroll1->setValue(80);
    wizard.Command1->click();
    EXPECT_FALSE(wizard.isVisible());
  });
  EXPECT_EQ(form->DeviceName->Text(), "Manual");
  EXPECT_EQ(form->PWidth->Text(), "160");
  EXPECT_EQ(form->PHeight->Text(), "120");
  EXPECT_EQ(form->OutputFolder->Text(), out());
  EXPECT_EQ(form->InputFolder->Text(), in() + "/");
  EXPECT_EQ(form->Quality->Text(), "80");
  EXPECT_EQ(fakes.folders.titles, QStringList({"Locate Output Folder", "Locate Input Folder"}));
  EXPECT_TRUE(fakes.messages.shown.empty());
  EXPECT_TRUE(form->isVisible());
}

TEST_F(WizardTest, UncheckingManualEnablesTheDeviceButtonAgain) {
  StartQuietly();
  OpenWith([&](frmWizard& wizard) {
    wizard.Check1->setValue(1);
    wizard.Check1->setValue(0);
    EXPECT_TRUE(wizard.Command2->isEnabled());
    EXPECT_EQ(wizard.Command2->Caption(), "Select Device");
  });
}

TEST_F(WizardTest, OkAppliesTheChosenDeviceAndReloadsThePictureList) {
  QFile picture(in() + "/one.png");
  ASSERT_TRUE(picture.open(QIODevice::WriteOnly));
  picture.close();
  StartQuietly();
  form->LastFilePos->setText("4");
  fakes.folders.answers = {out(), in()};
  OpenWith([&](frmWizard& wizard) {
    WhenShown<frmDevices>([](frmDevices& picker) {
      picker.List1->setListIndex(1);
      picker.List1_KeyUp(Qt::Key_Return);
    });
    wizard.Command2->click();
    wizard.Command3->click();
    wizard.Command4->click();
    wizard.Command1->click();
  });
  EXPECT_EQ(form->DeviceName->Text(), "Phone 1");
  EXPECT_EQ(form->PWidth->Text(), "480");
  EXPECT_EQ(form->PHeight->Text(), "800");
  EXPECT_EQ(form->Quality->Text(), "90");
  EXPECT_EQ(form->File1->ListCount(), 1);  // the list now shows the new input folder
  EXPECT_EQ(form->File1->ListIndex(), 0);
}

TEST_F(WizardTest, ASizeWithoutHeightIsRefusedAfterWritingWhatItCould) {
  StartQuietly();
  OpenWith([&](frmWizard& wizard) {
    wizard.Command3->setCaption(out());
    wizard.Command4->setCaption(in() + "/");
    SelectedDeviceName = "Odd";
    SelectedDeviceSize = "640X480";
    wizard.Command1->click();
    EXPECT_TRUE(wizard.isVisible());
  });
  EXPECT_EQ(fakes.messages.texts(), QStringList({"Please specify all three valid options!"}));
  EXPECT_EQ(form->DeviceName->Text(), "Odd");
  EXPECT_EQ(form->PWidth->Text(), "640");
  EXPECT_NE(form->OutputFolder->Text(), out());  // the folders were not reached
}

TEST_F(WizardTest, QualityBelow50AsksFirst) {
  StartQuietly();
  SelectedDeviceName = "Alpha 100";
  SelectedDeviceSize = "240x320";
  fakes.messages.answers = {MsgResult::No, MsgResult::Yes};
  OpenWith([&](frmWizard& wizard) {
    wizard.Command3->setCaption(out());
    wizard.Command4->setCaption(in() + "/");
    // The device was taken over from the main window when it opened.
    SelectedDeviceName = "Alpha 100";
    SelectedDeviceSize = "240x320";
    wizard.HScroll1->setValue(49);
    EXPECT_EQ(wizard.Label3->Caption(), "Selected Quality: 49");
    wizard.Command1->click();  // No: nothing applied, still open
    EXPECT_TRUE(wizard.isVisible());
    EXPECT_NE(form->OutputFolder->Text(), out());
    wizard.Command1->click();  // Yes
    EXPECT_FALSE(wizard.isVisible());
  });
  ASSERT_EQ(fakes.messages.shown.size(), 2u);
  EXPECT_EQ(fakes.messages.shown[0].text,
            "You have selected a low output quality. Do you really want to get low res "
            "pictures?");
  EXPECT_EQ(fakes.messages.shown[0].buttons, MsgButtons::YesNo);
  EXPECT_EQ(fakes.messages.shown[0].icon, MsgIcon::None);
  EXPECT_EQ(form->Quality->Text(), "49");
  EXPECT_EQ(form->DeviceName->Text(), "Alpha 100");
}

TEST_F(WizardTest, Quality50DoesNotAsk) {
  StartQuietly();
  OpenWith([&](frmWizard& wizard) {
    wizard.Command3->setCaption(out());
    wizard.Command4->setCaption(in() + "/");
    SelectedDeviceName = "Alpha 100";
    SelectedDeviceSize = "240x320";
    wizard.HScroll1->setValue(50);
    wizard.Command1->click();
    EXPECT_FALSE(wizard.isVisible());
  });
  EXPECT_TRUE(fakes.messages.shown.empty());
  EXPECT_EQ(form->Quality->Text(), "50");
}

TEST_F(WizardTest, TheSameFolderTwiceAsksAgainUntilCancelled) {
  StartQuietly();
  fakes.folders.answers = {other(), other(), other(), QString()};
  OpenWith([&](frmWizard& wizard) {
    wizard.Command3->click();
    EXPECT_TRUE(fakes.messages.shown.empty());
    wizard.Command4->click();  // same folder twice, then cancel
    EXPECT_EQ(wizard.Command3->Caption(), other() + "/");
    EXPECT_EQ(wizard.Command4->Caption(), other() + "/");
    // OK accepts the two equal folders.
    SelectedDeviceName = "Alpha 100";
    SelectedDeviceSize = "240x320";
    wizard.Command1->click();
    EXPECT_FALSE(wizard.isVisible());
  });
  EXPECT_EQ(fakes.messages.texts(), QStringList({"Input and Output folders cannot be same!",
                                                 "Input and Output folders cannot be same!"}));
  EXPECT_EQ(fakes.messages.shown[0].icon, MsgIcon::Stop);
  EXPECT_EQ(fakes.folders.titles, QStringList({"Locate Output Folder", "Locate Input Folder",
                                               "Locate Input Folder", "Locate Input Folder"}));
  // Each new try starts at the folder the button shows.
  EXPECT_EQ(fakes.folders.startFolders.value(2), other() + "/");
  EXPECT_EQ(form->OutputFolder->Text(), other() + "/");
  EXPECT_EQ(form->InputFolder->Text(), other() + "/");
}

TEST_F(WizardTest, ACancelledFolderChooserKeepsTheButtonsFolder) {
  Store("OutputFolder", out());
  StartQuietly();
  OpenWith([&](frmWizard& wizard) {
    wizard.Command3->click();  // no answers: the user cancels
    EXPECT_EQ(wizard.Command3->Caption(), out());
  });
  EXPECT_EQ(fakes.folders.startFolders, QStringList({out()}));
}

TEST_F(WizardTest, UncheckingShowEveryTimeIsStoredAtOnce) {
  StartQuietly();
  Store("Wizard", "1");
  OpenWith([&](frmWizard& wizard) {
    EXPECT_EQ(wizard.Check2->Value(), 1);
    QTest::mouseClick(wizard.Check2, Qt::LeftButton);
    EXPECT_EQ(Stored("Wizard"), "0");
    QTest::mouseClick(wizard.Check2, Qt::LeftButton);
    EXPECT_EQ(Stored("Wizard"), "1");
    QTest::mouseClick(wizard.Check2, Qt::LeftButton);
  });  // closed with the close box
  EXPECT_EQ(Stored("Wizard"), "0");

  // The next start goes straight to the main window.
  Close();
  form = std::make_unique<frmMain>(services);
  bool wizardOpened = false;
  form->wizardRunner = [&](frmMain&) { wizardOpened = true; };
  form->Load();
  EXPECT_FALSE(wizardOpened);
  EXPECT_TRUE(form->isVisible());
}

TEST_F(WizardTest, AWizardSettingOf01ShowsTheBoxChecked) {
  StartQuietly();
  Store("Wizard", "01");
  OpenWith([&](frmWizard& wizard) { EXPECT_EQ(wizard.Check2->Value(), 1); });
}

TEST_F(WizardTest, TheArrowKeysModeIsReadAgainAfterTheWizard) {
  StartQuietly();
  EXPECT_FALSE(form->ArrowKeysEnabled);
  OpenWith([&](frmWizard&) { Store("ArrowKeys", "1"); });
  EXPECT_TRUE(form->ArrowKeysEnabled);
}

TEST_F(WizardTest, AFolderNameIsKeptWholeHoweverItIsShown) {
  const QString deep = root.path() + "/Tom & Jerry/" + QString(120, QChar('d'));
  ASSERT_TRUE(QDir().mkpath(deep));
  StartQuietly();
  fakes.folders.answers = {deep};
  OpenWith([&](frmWizard& wizard) {
    wizard.Command3->click();
    EXPECT_EQ(wizard.Command3->Caption(), deep + "/");
    // Too long for the button: shortened on screen, whole in the tool tip.
    EXPECT_LT(wizard.Command3->text().size(), deep.size());
    EXPECT_EQ(wizard.Command3->toolTip(), deep + "/");
    wizard.Command4->setCaption(in() + "/");
    SelectedDeviceName = "Alpha 100";
    SelectedDeviceSize = "240x320";
    wizard.Command1->click();
  });
  EXPECT_EQ(form->OutputFolder->Text(), deep + "/");
}

TEST_F(WizardTest, TheHeaderIsWhiteBehindItsCheckBox) {
  frmWizard wizard(services, WizardTarget{});
  wizard.show();
  const QImage box = wizard.Check2->grab().toImage();
  wizard.hide();
  EXPECT_EQ(QColor(box.pixel(box.width() - 2, 1)), QColor(Qt::white));
}

TEST_F(WizardTest, TheBodyFadesFromWhiteToRose) {
  frmWizard wizard(services, WizardTarget{});
  const QImage body = wizard.Picture2->Picture();
  ASSERT_EQ(body.size(), QSize(8055 / 15, 5775 / 15));
  auto at = [&](int y) { return QColor(body.pixel(body.width() / 2, y)); };
  EXPECT_EQ(at(0), QColor(255, 255, 255));
  const QColor bottom = at(body.height() - 1);
  EXPECT_NEAR(bottom.red(), 240, 1);
  EXPECT_NEAR(bottom.green(), 175, 1);
  EXPECT_NEAR(bottom.blue(), 170, 1);
  const QColor middle = at(body.height() / 2);
  EXPECT_NEAR(middle.green(), (255 + 175) / 2, 2);
  EXPECT_NEAR(middle.blue(), (255 + 170) / 2, 2);
  // Each row is one colour, and the colour only ever darkens going down.
  for (int y = 1; y < body.height(); ++y) {
    ASSERT_EQ(body.pixel(0, y), body.pixel(body.width() - 1, y)) << y;
    ASSERT_LE(QColor(body.pixel(0, y)).green(), QColor(body.pixel(0, y - 1)).green()) << y;
  }
}

}  // namespace
}  // namespace trimora::testing
