#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

#include "PictureLoader.h"
#include "WorkspaceFixture.h"

using namespace trimora;
using namespace trimora::testing;

// Showing, stepping, zooming and cropping through the whole window.
namespace {

class Crop : public WorkspaceFixture {
 protected:
  void pictures(const QStringList& names, int w = 800, int h = 600) {
    int seed = 0;
    for (const QString& name : names) WritePicture(in() + "/" + name, w, h, ++seed);
  }
};

// A click writes the framed rectangle at exactly the frame's size under a free name; the border
// inverts the picture under it. Size, folder and frame are checked in turn; only a frame that
// leaves the picture is refused.
TEST_F(Crop, AClickWritesTheFrameUnderAFreeNameAndEveryCheckHasItsMessage) {
  pictures({"beach.png"});
  startWith();
  clickAt(400, 300);
  clickAt(400, 300);
  ASSERT_EQ(outputs(), QStringList({"beach.jpg", "beach1.jpg"}));
  EXPECT_EQ(view().frameRect(), QRect(240, 180, 320, 240));
  const QImage shot = canvas()->grab().toImage();
  EXPECT_EQ(shot.pixel(241, 181) & 0xFFFFFF, ~view().picture().pixel(241, 181) & 0xFFFFFF);
  EXPECT_EQ(shot.pixel(250, 190), view().picture().pixel(250, 190));
  QImageReader reader(out() + "beach.jpg");
  EXPECT_EQ(reader.format(), "jpeg");
  const QImage written = reader.read();
  ASSERT_EQ(written.size(), QSize(320, 240));
  EXPECT_LT(meanDifference(written, view().picture().copy(view().frameRect())), 4.0);
  EXPECT_EQ(view().croppedMark(), "Cropped");
  EXPECT_EQ(statuses.last(), "Cropped to " + out() + "beach1.jpg");
  EXPECT_TRUE(fakes.messages.shown.empty());
  QDir(out()).removeRecursively();
  window->setFrameWidthText("19");
  window->cropAndSave();
  window->setFrameWidthText("20");
  window->setOutputFolder("/");  // one character: no folder
  window->cropAndSave();
  window->setOutputFolder(out());
  window->setFrameWidthText("900");  // larger than the picture
  window->cropAndSave();
  panel().setZoom(50);
  tick(100);
  window->cropAndSave();
  const auto& shown = fakes.messages.shown;
  ASSERT_EQ(shown.size(), 4u);
  EXPECT_EQ(shown[0].text, "Please enter Size from 20 plus only!");
  EXPECT_EQ(shown[1].text, "Please specify output folder!");
  EXPECT_EQ(shown[1].icon, MessageIcon::Stop);
  EXPECT_TRUE(shown[2].text.startsWith("The loaded picture is smaller"));
  EXPECT_TRUE(shown[3].text.startsWith("The loaded picture is too small"));
  EXPECT_EQ(shown[3].icon, MessageIcon::Information);
  EXPECT_TRUE(outputs().isEmpty());
  panel().setZoom(100);
  window->setFrameWidthText("320");
  tick(100);
  const QPoint last(800 - 320, 600 - 240);  // flush with the bottom-right corner: cut
  for (QPoint at : {last, last + QPoint(1, 0)}) {
    fakes.messages.shown.clear();
    view().setFrameTopLeft(at);
    window->cropAndSave();
  }
  EXPECT_EQ(outputs().size(), 1);  // a pixel off the picture: refused
  EXPECT_EQ(fakes.messages.shown.size(), 1u);
}

// Arrows step through the list and the zoom; "Already Cropped" follows the entry and the folder.
TEST_F(Crop, ArrowsStepThroughTheListAndTheZoom) {
  pictures({"a.png", "b.gif", "c.png"});
  WritePicture(out() + "b.jpg", 10, 10, 3);
  startWith(160, 128);
  key(Qt::Key_Left);
  EXPECT_EQ(statuses.last(), "First picture");
  key(Qt::Key_Right);
  key(Qt::Key_Right);
  EXPECT_TRUE(list().selectedName() == "c.png" && view().croppedMark().isEmpty());
  key(Qt::Key_Right);
  EXPECT_EQ(statuses.last(), "Last picture");
  key(Qt::Key_Down);
  EXPECT_EQ(view().picture().size(), QSize(760, 570));  // 95 %, drawn before the next key
  // Presses, then the zoom and the last status: down by 5 to the least, up by 10 to the full.
  for (auto [press, times, zoom, status] : {std::tuple{Qt::Key_Down, 20, 5, "5%"},
                                            {Qt::Key_Up, 1, 15, "15% Too small to crop"},
                                            {Qt::Key_Up, 9, 100, "100%"}}) {
    for (int i = 0; i < times; ++i) key(press);
    EXPECT_TRUE(panel().zoom() == zoom && statuses.last() == status)
        << statuses.last().toStdString();
  }
  key(Qt::Key_Left);
  EXPECT_TRUE(list().selectedName() == "b.gif" && view().croppedMark() == "Already Cropped");
  ASSERT_TRUE(QDir().mkpath(root.path() + "/other/"));
  window->setOutputFolder(root.path() + "/other/");
  EXPECT_EQ(view().croppedMark(), "");
  window->setOutputFolder(out());
  EXPECT_EQ(view().croppedMark(), "Already Cropped");
}

// Keys the user releases while a picture loads reach the picture, not the
// control next to it, and act in order once the picture is shown.
TEST_F(Crop, KeysReleasedDuringALoadActInOrderAfterIt) {
  pictures({"a.png", "b.png", "c.png", "d.png"});
  startWith();
  QApplication::setActiveWindow(window.get());
  panel().setResizeLock(1);  // a kept zoom reports itself during every load
  panel().setZoom(50);
  tick(100);
  clickAt(200, 150);
  ASSERT_TRUE(view().pictureHasFocus());
  bool typed = false;
  QObject::connect(&window->statusOverlay(), &StatusOverlay::messageShown, [&] {
    if (typed || list().selectedName() != "b.png") return;
    typed = true;  // as the window system delivers them: to the keyboard's owner
    for (Qt::Key k : {Qt::Key_Space, Qt::Key_Right, Qt::Key_Space})
      QTest::keyClick(QApplication::focusWidget(), k);
  });
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
  ASSERT_TRUE(typed);
  EXPECT_EQ(panel().maxCropSize(), 0);
  EXPECT_EQ(list().selectedName(), "c.png");
  EXPECT_EQ(outputs(), QStringList({"a.jpg", "b.jpg", "c.jpg"}));
  EXPECT_TRUE(view().pictureHasFocus());
}

TEST_F(Crop, TheTwoCropOptionsClearEachOtherAndTheSearchDrawsOnce) {
  pictures({"a.png", "b.png", "c.png"}, 600, 400);
  startWith(160, 128);
  panel().setMaxCropSize(1);
  EXPECT_EQ(statuses.last(), "Max Zoom Out Enabled");
  key(Qt::Key_Right);
  EXPECT_EQ(panel().zoom(), 35);  // 5, 15, 25 too small; 210 x 140 holds 160 x 128
  EXPECT_EQ(statuses.mid(statuses.size() - 4),
            QStringList(
                {"5% Too small to crop", "15% Too small to crop", "25% Too small to crop", "35%"}));
  const qint64 drawn = view().picture().cacheKey();
  tick(300);
  EXPECT_EQ(view().picture().cacheKey(), drawn);  // the poll finds nothing left to draw
  panel().setResizeLock(1);
  EXPECT_EQ(panel().maxCropSize(), 1);                 // set from code: silent
  auto* resizeLock = panel().findChild<QCheckBox*>();  // the first box
  ASSERT_EQ(resizeLock->text(), "Resize Lock");
  QTest::mouseClick(resizeLock, Qt::LeftButton);  // off
  QTest::mouseClick(resizeLock, Qt::LeftButton);  // on: the search goes off
  EXPECT_EQ(panel().maxCropSize(), 0);
  EXPECT_EQ(statuses.mid(statuses.size() - 3),
            QStringList({"Resize lock Disabled", "Resize lock Enabled", "Max Zoom Out Disabled"}));
  panel().setMaxCropSize(1);
  EXPECT_EQ(panel().resizeLock(), 0);
}

// Once a picture is painted its neighbours are drawn ahead; a step to one shows what a
// window without them shows, with no decode, after the search and with a kept zoom alike. A
// neighbour rewritten meanwhile shows its new content; a close during a preparation is clean.
TEST_F(Crop, StepsAreServedFromPicturesDrawnAheadAndShowWhatADrawingWould) {
  pictures({"a.jpg", "b.png", "c.jpg", "d.jpg"}, 1200, 900);
  startWith(160, 128);
  PictureCache& cache = window->pictureCache();
  const auto settle = [&] {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
    cache.waitUntilIdle();
  };
  // The shown picture and status, drawn afresh with nothing held.
  const auto drawnAfresh = [&] {
    cache.setEnabled(false);
    list().select(list().selectedIndex());
    window->showPicture(list().selectedName(), false);
    const auto shown = std::pair(view().picture(), statuses.last());
    cache.setEnabled(true);
    return shown;
  };
  for (auto [search, lock] : {std::pair{1, 0}, {0, 1}}) {
    panel().setMaxCropSize(search);
    panel().setResizeLock(lock);
    panel().setZoom(50);
    tick(100);
    settle();
    ASSERT_EQ(cache.heldFiles().mid(1), QStringList({in() + "/b.png"}));
    const int decodes = cache.decodeCount();
    key(Qt::Key_Right);
    tick(300);
    EXPECT_EQ(cache.decodeCount(), decodes) << "not drawn ahead";
    const auto shown = std::pair(view().picture(), statuses.last());
    EXPECT_TRUE(shown == drawnAfresh()) << shown.second.toStdString();
    settle();
    key(Qt::Key_Left);
    settle();
  }
  WritePicture(in() + "/b.png", 1200, 900, 7);
  key(Qt::Key_Right);
  EXPECT_TRUE(view().picture() == drawnAfresh().first);
  WritePicture(in() + "/c.jpg", 6000, 4000, 1);
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
  close();
  window.reset();
}

// A large photo is capped on its longer side, a small one raised to the least canvas keeps its
// bands: wherever the pointer goes, at any zoom, a cut holds only the (red) picture, never white.
TEST_F(Crop, NoCutHoldsABand) {
  for (QSize size : {QSize(6000, 4000), QSize(4000, 6000), QSize(300, 150)})
    WritePicture(in() + QString("/%1.jpg").arg(size.width()), size.width(), size.height(), 0,
                 Qt::red);
  startWith(60, 40);
  int cuts = 0;
  for (int entry = 0; entry < list().count(); ++entry) {
    list().select(entry);
    for (int zoom : {100, 45, 5}) {
      panel().setZoom(zoom);
      tick(100);
      const QSize canvasSize = view().picture().size();
      EXPECT_TRUE(canvasSize.width() <= 2000 && canvasSize.height() <= 2000);
      // First where the new zoom put the frame under the resting pointer, then the corners.
      for (QPoint at : {QPoint(-1, -1), QPoint(0, 0), QPoint(canvasSize.width() - 1, 0),
                        QPoint(0, canvasSize.height() - 1),
                        QPoint(canvasSize.width() - 1, canvasSize.height() - 1),
                        QPoint(canvasSize.width() / 2, canvasSize.height() / 2)}) {
        QDir(out()).removeRecursively();
        if (at.x() >= 0) pointAt(at.x(), at.y());
        key(Qt::Key_Space);
        SCOPED_TRACE(list().selectedName().toStdString() + " at " + std::to_string(zoom));
        if (!view().isFrameShown()) continue;
        const QImage cut = QImage(out() + outputs().value(0));
        ASSERT_EQ(cut.size(), QSize(60, 40));
        ++cuts;
        for (int i = 0; i < 60 * 40; ++i) ASSERT_LT(qGreen(cut.pixel(i % 60, i / 60)), 60) << i;
      }
    }
  }
  EXPECT_EQ(view().pictureArea(), QRect(0, 16, 100, 67));  // the last at 5 %: bands remain
  EXPECT_EQ(cuts, 54);
}

// A phone's frame taller than the view: the cap is lifted, the canvas shown smaller with the whole
// frame in view, the pointer reaches every edge of the canvas, and the cut is the framed region of
// the photo at full size. Where the canvas is shown as it is, both ways of cutting agree.
TEST_F(Crop, AFrameLargerThanTheViewCutsTheFramedRegionAtFullSize) {
  QImage gradient(4000, 6000, QImage::Format_RGB32);
  for (int y = 0; y < gradient.height(); ++y)
    for (int x = 0; x < gradient.width(); ++x)
      gradient.setPixel(x, y, qRgb(x * 255 / 3999, y * 255 / 5999, 128));
  ASSERT_TRUE(gradient.save(in() + "/tall.jpg", "jpeg", 95));
  startWith(1440, 3120);
  const double scale = view().scale();
  EXPECT_TRUE(scale < 0.25 && view().canvasSize() == QSize(4000, 6000));
  EXPECT_EQ(statuses.last(), QString("1440 x 3120 shown at %1 %").arg(qRound(scale * 100)));
  const QRect shown = view().toShown(view().frameRect());
  EXPECT_TRUE(QRect(QPoint(0, 0), view().visibleSize())
                  .contains(shown.translated(view().canvasGeometry().topLeft())));
  const QSize canvasShown = view().picture().size();
  pointAt(0, 0);
  EXPECT_EQ(view().frameRect().topLeft(), QPoint(0, 0));
  pointAt(canvasShown.width() - 1, canvasShown.height() - 1);  // flush with the far edges
  EXPECT_EQ(view().frameRect().topLeft(), QPoint(4000 - 1440, 6000 - 3120));
  pointAt(canvasShown.width() / 3, canvasShown.height() / 2);
  key(Qt::Key_Space);
  const QImage cut(out() + "tall.jpg");
  ASSERT_EQ(cut.size(), QSize(1440, 3120));
  const QRect frame = view().frameRect();
  for (QPoint corner : {QPoint(0, 0), QPoint(1439, 0), QPoint(0, 3119), QPoint(1439, 3119)}) {
    const QRgb got = cut.pixel(corner), want = gradient.pixel(frame.topLeft() + corner);
    EXPECT_LE(std::abs(qRed(got) - qRed(want)) + std::abs(qGreen(got) - qGreen(want)), 8)
        << corner.x() << "," << corner.y();
  }
  window->setFrameWidthText("400");  // fits the view: shown as it is, and cut either way alike
  window->setFrameHeightText("300");
  tick(100);
  ASSERT_EQ(view().scale(), 1.0);
  pointAt(500, 700);
  const QRect small = view().frameRect();
  EXPECT_EQ(loadPictureRegion(in() + "/tall.jpg", view().canvasSize(), small),
            view().picture().copy(small));  // not only within 2 levels: the very same pixels
}

// What exiftool reads in a file, group:tag to value.
QJsonObject exifTags(const QString& path) {
  QProcess exiftool;
  exiftool.start("exiftool", {"-j", "-G1", "-a", "-n", path});
  exiftool.waitForFinished(30000);
  return QJsonDocument::fromJson(exiftool.readAllStandardOutput()).array().at(0).toObject();
}

// Phones', cameras' and the web's formats are listed under any case of their names and cut to
// JPEGs named as before. A cut keeps when its photo was taken and nothing else the photo says:
// no position, no camera, no thumbnail, no turn (its pixels are upright).
TEST_F(Crop, EveryFormatIsListedAndCutAndACutKeepsOnlyTheCaptureDate) {
  const QString photo = in() + "/photo.JPEG";
  WritePicture(photo, 600, 800, 1);
  WritePicture(in() + "/thumb.jpg", 160, 120, 2);
  QProcess tag;
  tag.start("exiftool", {"-q", "-overwrite_original", "-DateTimeOriginal=2024:05:17 18:42:07",
                         "-GPSLatitude=48.8584", "-GPSLatitudeRef=N", "-GPSLongitude=2.2945",
                         "-GPSLongitudeRef=E", "-SerialNumber=CAM-0042", "-Orientation#=6",
                         "-ThumbnailImage<=" + in() + "/thumb.jpg", photo});
  ASSERT_TRUE(tag.waitForFinished(30000) && tag.exitCode() == 0)
      << tag.readAllStandardError().data();
  QFile::remove(in() + "/thumb.jpg");
  for (const char* name : {"a.webp", "b.heic", "c.avif", "d.tiff", "e.jfif"})
    WritePicture(in() + "/" + name, 800, 600, 3);
  WriteBytes(in() + "/notes.txt", "not a picture");
  startWith();
  QStringList listed;
  for (int i = 0; i < list().count(); ++i) listed << QFileInfo(list().pathAt(i)).fileName();
  EXPECT_EQ(listed, QStringList({"a.webp", "b.heic", "c.avif", "d.tiff", "e.jfif", "photo.JPEG"}));
  for (int i = 0; i < list().count(); ++i) {
    list().select(i);
    window->showPicture(list().selectedName(), false);
    clickAt(400, 300);
  }
  EXPECT_EQ(outputs(), QStringList({"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg", "photo.jpg"}));
  for (const QString& name : outputs())
    EXPECT_EQ(QImageReader(out() + name).size(), QSize(320, 240)) << name.toStdString();
  // Upright: the photo stored 600 x 800 under a quarter turn shows 800 x 600.
  EXPECT_EQ(view().picture().size(), QSize(800, 600));
  const QJsonObject cut = exifTags(out() + "photo.jpg");
  EXPECT_EQ(cut["ExifIFD:DateTimeOriginal"].toString(), "2024:05:17 18:42:07");
  for (const QString& key : cut.keys()) {
    EXPECT_FALSE(key.contains("GPS") || key.contains("Serial") || key.contains("Orientation") ||
                 key.contains("Thumbnail"))
        << key.toStdString();
  }
  EXPECT_TRUE(exifTags(in() + "/photo.JPEG").contains("GPS:GPSLatitude"));  // it was there
  // A picture that says nothing of its taking gives a cut without EXIF.
  for (const QString& key : exifTags(out() + "a.jpg").keys())
    EXPECT_FALSE(key.startsWith("IFD0:") || key.startsWith("ExifIFD:")) << key.toStdString();
}

}  // namespace
