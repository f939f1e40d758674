#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QRegularExpression>
#include <QTest>

#include "Settings.h"
#include "WorkspaceFixture.h"

using namespace trimora;
using namespace trimora::testing;

// Start-up, the settings file, folders and closing, through the whole window.
namespace {

class MainWindowStart : public WorkspaceFixture {};

TEST_F(MainWindowStart, FirstRunHasTheBuiltDefaultsAndOpensTheWizard) {
  start();
  EXPECT_TRUE(wizardRuns == 1 && window->isVisible());  // shown once the wizard has closed
  EXPECT_EQ(
      panel().frameWidthText() + "x" + panel().frameHeightText() + " q" + panel().qualityText(),
      "160x128 q90");
  EXPECT_TRUE(panel().zoom() == 100 && panel().autoPan() == 1 && list().count() == 0);
  EXPECT_EQ(panel().maxCropSize() + panel().resizeLock(), 0);
}

TEST_F(MainWindowStart, RemembersTheListPositionAndTheZoom) {
  WritePictureFolder(in(), 10, 300, 200);
  store("Wizard", "0");
  store("InputFolder", in());
  // clang-format off
  for (auto [position, index, zoom, shown] : {std::tuple<const char*, int, const char*, int>
           {"3", 3, "60", 60}, {"", 0, "400", 100}, {"-2", 0, "", 100}, {"12", -1, "5", 5},
           {"2.5", 2, "", 100}, {"abc", 0, "", 100}}) {
    // clang-format on
    store("LastFilePos", position);
    store("Resize", zoom);
    start();
    EXPECT_EQ(list().selectedIndex(), index) << position;
    EXPECT_EQ(window->shownFile(), index >= 0 ? list().selectedPath() : "") << position;
    EXPECT_TRUE(view().hasPicture() == (index >= 0) && panel().zoom() == shown) << position;
    window.reset();
  }
}

// The stored values come back in the window's order, each with its change
// reaction; a file written back is byte for byte the one that was read.
TEST_F(MainWindowStart, SettingsRestoreWithTheirReactionsAndRoundTripExactly) {
  store("Wizard", "0");
  store(settingsKey::kMaxCropSize, "1");
  store(settingsKey::kResizeLock, "1");  // restored after "Max Crop Size" has cleared it
  store("AutoPan", "7");                 // not a state: the box stays as built
  store("PWidth", "12a");
  store("Quality", "abc");
  start();
  EXPECT_TRUE(panel().maxCropSize() == 1 && panel().resizeLock() == 1 && panel().autoPan() == 1);
  EXPECT_EQ(statuses.value(0), "Max Zoom Out Enabled");
  EXPECT_EQ(panel().frameWidthText() + "/" + panel().qualityText(), "12/1");
  window.reset();

  WritePictureFolder(in(), 3);
  QFile::remove(iniPath());
  const QByteArray written =
      "[Settings]\nArrowKeys=1\nAutoPan=0\n" + settingsKey::kResizeLock.toUtf8() + "=1\n" +
      settingsKey::kMaxCropSize.toUtf8() + "=0\nDeviceName=Phone X\nInputFolder=" + in().toUtf8() +
      "\nLastFilePos=2\nOutputFolder=" + out().toUtf8() +
      "\nPHeight=2400\nPWidth=1080\nQuality=85\nResize=60\nWizard=0\n";
  QDir().mkpath(QFileInfo(iniPath()).path());
  ASSERT_TRUE(WriteBytes(iniPath(), written));
  start();
  EXPECT_TRUE(panel().deviceName() == "Phone X" && list().selectedIndex() == 2);
  EXPECT_TRUE(window->arrowKeysEnabled());
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  ASSERT_TRUE(WriteBytes(iniPath(), QByteArray(written).replace("PWidth=1080\n", "")));
  QTest::keyClick(window.get(), Qt::Key_Q, Qt::ControlModifier);  // as the close button does
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(ReadBytes(iniPath()), written);
}

// Two camera folders both begin with IMG_0001.png, red in one, blue in the
// other: every way of changing folders shows the new folder's own picture.
TEST_F(MainWindowStart, AnotherFolderWithTheSameFirstNameShowsItsOwnPicture) {
  const QString blue = root.path() + "/blue", empty = root.path() + "/empty";
  ASSERT_TRUE(QDir().mkpath(blue) && QDir().mkpath(empty));
  WritePicture(in() + "/IMG_0001.png", 400, 300, 0, Qt::red);
  WritePicture(blue + "/IMG_0001.png", 400, 300, 0, Qt::blue);
  startWith(160, 128);
  auto shown = [&] { return QColor(view().picture().pixel(200, 150)); };
  ASSERT_EQ(shown(), QColor(Qt::red));
  fakes.folders.answers = {blue, empty, in(), ""};
  window->chooseInputFolder();
  EXPECT_EQ(shown(), QColor(Qt::blue));
  window->chooseInputFolder();  // no pictures: nothing shown
  EXPECT_FALSE(view().hasPicture());
  window->chooseInputFolder();  // and back: its first picture shows again
  EXPECT_EQ(shown(), QColor(Qt::red));
  window->chooseInputFolder();  // cancelled: the folder stays
  EXPECT_EQ(window->inputFolder(), in());
  window->setInputFolder(blue);
  window->reloadFolder();
  EXPECT_EQ(shown(), QColor(Qt::blue));
  EXPECT_EQ(window->shownFile(), blue + "/IMG_0001.png");
  EXPECT_EQ(fakes.folders.titles.value(0), "Locate Input Folder");
}

// A picture named before start (as on the command line, relative to the current folder) and
// folders and pictures dropped later open as choosing the folder does; anything else is refused
// on the status line and changes nothing. The last one taken is stored on closing.
TEST_F(MainWindowStart, OpensAFolderOrPictureGivenAtStartOrDropped) {
  const QString other = root.path() + "/other";
  WritePictureFolder(in(), 2);
  WritePictureFolder(other, 3);
  ASSERT_TRUE(WriteBytes(other + "/notes.txt", "not a picture"));
  openAtStart = "other/pic02.jpg";
  startWith();
  EXPECT_EQ(window->shownFile(), other + "/pic02.jpg");
  // Dropped, then shown, and the refusal said.
  const std::tuple<QString, QString, QString> drops[] = {
      {in(), in() + "/pic00.jpg", ""},
      {other + "/notes.txt", in() + "/pic00.jpg", "Not a folder or a picture: "},
      {other + "/pic01.jpg", other + "/pic01.jpg", ""}};
  for (const auto& [path, shown, refusal] : drops) {
    QMimeData data;
    data.setUrls({QUrl("https://example.org/a.jpg"), QUrl::fromLocalFile(path)});
    QDragEnterEvent enter({5, 5}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    if (QApplication::sendEvent(window.get(), &enter), enter.isAccepted())
      QApplication::sendEvent(window.get(), &drop);
    EXPECT_EQ(window->shownFile(), shown) << qPrintable(path);
    EXPECT_TRUE(refusal.isEmpty() || statuses.value(statuses.size() - 1) == refusal + path);
  }
  close();
  EXPECT_EQ(stored("InputFolder") + " " + stored("LastFilePos"), other + " 1");
}

// A close that arrives while a picture loads: nothing runs after it, and the
// stored position is that of the picture being shown.
TEST_F(MainWindowStart, ClosingDuringALoadStopsThePollAndStoresTheShownPosition) {
  WritePictureFolder(in(), 10, 300, 200);
  startWith(250, 128);
  panel().setMaxCropSize(1);  // the search reports each pass on the status line
  QObject::connect(&window->statusOverlay(), &StatusOverlay::messageShown, [this] {
    if (window->isVisible()) close();
  });
  list().select(3);
  EXPECT_FALSE(window->isPolling());
  EXPECT_EQ(stored("LastFilePos"), "3");
}

TEST_F(MainWindowStart, LinksOpenTheHelpPageOrSayWhereItIs) {
  startWith();
  window->showHelp();
  window->showHomepage();
  window->showDonationPage();
  ASSERT_EQ(fakes.shell.opened.size(), 3);
  EXPECT_TRUE(QFile::exists(fakes.shell.opened[0].toLocalFile()));
  EXPECT_EQ(fakes.shell.opened[1].fragment() + fakes.shell.opened[2].fragment(), "aboutsupport");
  fakes.shell.succeed = false;  // as a desktop without a browser
  window->showHelp();
  ASSERT_EQ(fakes.messages.shown.size(), 1u);
  EXPECT_TRUE(fakes.messages.shown[0].icon == MessageIcon::Information &&
              fakes.messages.shown[0].text.contains(QRegularExpression("/help/help\\.htm$")));
}

}  // namespace
