#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTest>

#include "TrimoraVersion.h"
#include "WorkspaceFixture.h"
#include "basSettings.h"

using namespace trimora;
using namespace trimora::testing;

namespace {

class Startup : public WorkspaceFixture {
 protected:
  void WithTenPictures(const QString& lastFilePos) {
    WritePictureFolder(in(), 10, 300, 200);
    Store("Wizard", "0");
    Store("InputFolder", in());
    Store("LastFilePos", lastFilePos);
  }
};

TEST_F(Startup, FirstRunHasTheBuiltDefaultsAndOpensTheWizardBeforeTheWindow) {
  bool mainVisibleDuringWizard = true;
  bool arrowKeysDuringWizard = true;
  form = std::make_unique<frmMain>(services);
  form->wizardRunner = [&](frmMain& f) {
    mainVisibleDuringWizard = f.isVisible();
    arrowKeysDuringWizard = f.ArrowKeysEnabled;
  };
  form->Load();
  EXPECT_FALSE(mainVisibleDuringWizard);
  EXPECT_FALSE(arrowKeysDuringWizard);
  EXPECT_TRUE(form->isVisible());
  EXPECT_TRUE(form->windowTitle().startsWith(
      QStringLiteral("Trimora v%1.%2.0.").arg(TRIMORA_VERSION_MAJOR).arg(TRIMORA_VERSION_MINOR)));
  EXPECT_EQ(form->Quality->Text(), "90");
  EXPECT_EQ(form->PWidth->Text(), "160");
  EXPECT_EQ(form->PHeight->Text(), "128");
  EXPECT_EQ(form->DeviceName->Text(), "");
  EXPECT_EQ(form->AutoPan->Value(), 1);
  EXPECT_EQ(form->Check1->Value(), 0);
  EXPECT_EQ(form->Check2->Value(), 0);
  EXPECT_EQ(form->HScroll2->Value(), 100);
  EXPECT_EQ(form->Label2->Caption(), "Arrow Keys Disabled");
}

TEST_F(Startup, RemembersTheListPosition) {
  const struct {
    const char* stored;
    int index;
  } cases[] = {{"3", 3}, {"", 0}, {"0", 0}, {"-2", 0}, {"12", -1}, {"2.5", 2}, {"abc", 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stored);
    WithTenPictures(c.stored);
    Start();
    EXPECT_EQ(form->File1->ListCount(), 10);
    EXPECT_EQ(form->File1->ListIndex(), c.index);
    EXPECT_EQ(form->Picture1->HasPicture(), c.index >= 0);
    EXPECT_EQ(form->CurrentFile, c.index >= 0 ? in() + "/" + form->File1->FileName() : "");
    if (c.index >= 0) {
      EXPECT_EQ(form->Picture1->Width(), 300 * 15);  // shown at zoom 100
      EXPECT_EQ(form->LastFilePos->Text(), QString::number(c.index));
    }
    form.reset();
  }
}

TEST_F(Startup, ArrowKeysModeWithoutWizard) {
  Store("Wizard", "0");
  Store("ArrowKeys", "1");
  Start();
  EXPECT_TRUE(form->ArrowKeysEnabled);
  EXPECT_EQ(form->Label2->Caption(), "Arrow Keys Enabled");
  EXPECT_EQ(form->StatusText->Caption(), "Arrow Keys Enabled");
  EXPECT_TRUE(form->StatusBar->isVisible());
}

TEST_F(Startup, OnlyAnExactOneOpensTheWizardOrTheArrowKeys) {
  for (const char* text : {"01", " 1", "1.0", "yes"}) {
    SCOPED_TRACE(text);
    Store("Wizard", text);
    Store("ArrowKeys", text);
    int wizardRuns = 0;
    form = std::make_unique<frmMain>(services);
    form->wizardRunner = [&](frmMain&) { ++wizardRuns; };
    form->Load();
    EXPECT_EQ(wizardRuns, 0);
    EXPECT_FALSE(form->ArrowKeysEnabled);
    form.reset();
  }
}

TEST_F(Startup, MissingInputFolderLeavesAnEmptyListWithoutAMessage) {
  Store("Wizard", "0");
  Store("InputFolder", root.path() + "/gone");
  Start();
  EXPECT_EQ(form->File1->ListCount(), 0);
  EXPECT_EQ(form->InputFolder->Text(), "");
  EXPECT_FALSE(form->Picture1->HasPicture());
  EXPECT_TRUE(fakes.messages.shown.empty());
}

TEST_F(Startup, StoredZoomIsRestoredWhenInRange) {
  WithTenPictures("0");
  Store("Resize", "60");
  Start();
  EXPECT_EQ(form->HScroll2->Value(), 60);
  Tick(100);  // the zoom watcher draws the picture at the restored zoom
  EXPECT_EQ(form->LastZoom, 60);
  EXPECT_EQ(form->Picture1->Width(), 180 * 15);
  form.reset();
  Store("Resize", "400");
  Start();
  EXPECT_EQ(form->HScroll2->Value(), 100);
}

TEST_F(Startup, ClosingStoresEverySweptKeyAndReopensAtTheSamePicture) {
  WithTenPictures("4");
  Start();
  form->File1->setListIndex(6);
  Close();
  QSettings ini(QSettings::IniFormat, QSettings::UserScope, "Trimora", "Trimora");
  EXPECT_TRUE(ini.fileName().endsWith("Trimora/Trimora.ini"));
  QFile file(ini.fileName());
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QString text = QString::fromUtf8(file.readAll());
  for (const char* key : {"Check2", "AutoPan", "LastFilePos", "DeviceName", "Quality", "Check1",
                          "PWidth", "PHeight", "OutputFolder", "InputFolder"})
    EXPECT_TRUE(text.contains(QStringLiteral("\n%1=").arg(key))) << key;
  EXPECT_TRUE(text.contains("\nDeviceName=\n"));  // an empty text is stored, not removed
  EXPECT_EQ(Stored("LastFilePos"), "6");

  form.reset();
  Start();
  EXPECT_EQ(form->File1->ListIndex(), 6);
  EXPECT_EQ(form->InputFolder->Text(), in());
}

TEST_F(Startup, SelectingTheShownEntryDoesNotLoadItAgain) {
  WithTenPictures("0");
  Start();
  form->Check1->setValue(1);  // keep the zoom, so any reload would show
  form->HScroll2->setValue(50);
  Tick(100);
  ASSERT_EQ(form->Picture1->Width(), 150 * 15);
  form->Picture1->clearPicture();  // a reload would bring it back
  form->File1->setListIndex(0);
  EXPECT_FALSE(form->Picture1->HasPicture());
}

// Two camera folders both begin with IMG_0001.png, red in one, blue in the
// other: every way of changing folders shows the new folder's own picture.
TEST_F(Startup, AnotherFolderWithTheSameFirstNameShowsItsOwnPicture) {
  const QString blue = root.path() + "/blue", empty = root.path() + "/empty";
  QDir().mkpath(blue);
  QDir().mkpath(empty);
  WritePicture(in() + "/IMG_0001.png", 400, 300, 0, Qt::red);
  WritePicture(blue + "/IMG_0001.png", 400, 300, 0, Qt::blue);
  Store("Wizard", "0");
  Store("InputFolder", in());
  Start();
  auto shown = [&] { return QColor(form->Picture1->Picture().pixel(200, 150)); };
  ASSERT_EQ(shown(), QColor(Qt::red));
  fakes.folders.answers = {blue, empty, in()};
  form->Label7_Click();
  EXPECT_EQ(shown(), QColor(Qt::blue));
  form->Label7_Click();  // no pictures: nothing shown
  EXPECT_FALSE(form->Picture1->HasPicture());
  form->Label7_Click();  // and back: its first picture shows again
  EXPECT_EQ(shown(), QColor(Qt::red));
  form->InputFolder->setText(blue);
  form->ReloadFolder();
  EXPECT_EQ(shown(), QColor(Qt::blue));
  EXPECT_EQ(form->CurrentFile, blue + "/IMG_0001.png");
}

// A close that arrives while a picture loads: nothing runs after it, and the
// stored position is that of the picture being shown.
TEST_F(Startup, ClosingDuringALoadStopsThePollAndStoresTheShownPosition) {
  WithTenPictures("0");
  Start();
  form->show();
  form->Check2->setValue(1);  // the search reports each pass on the status line
  form->PWidth->setText("250");
  form->StatusText->onChange = [this] {
    if (form->isVisible()) Close();
  };
  form->File1->setListIndex(3);
  EXPECT_FALSE(form->Timer2->Enabled());
  EXPECT_EQ(Stored("LastFilePos"), "3");
}

TEST_F(Startup, ReloadFolderWithoutPicturesKeepsTheShownPicture) {
  WithTenPictures("1");
  Start();
  ASSERT_TRUE(form->Picture1->HasPicture());
  const QString empty = root.path() + "/empty";
  QDir().mkpath(empty);
  form->InputFolder->setText(empty);
  form->ReloadFolder();
  EXPECT_EQ(form->LastFilePos->Text(), "");
  EXPECT_EQ(form->File1->ListIndex(), -1);
  EXPECT_TRUE(form->Picture1->HasPicture());
}

}  // namespace
