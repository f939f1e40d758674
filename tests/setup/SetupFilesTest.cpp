// The files of the set-up: the device catalogue (its lines, its limits and
// where it is found) and the names of the cut pictures and their folder.
#include "DeviceCatalogue.h"
#include "FolderFixture.h"
#include "OutputNames.h"

namespace trimora::testing {
namespace {

class DeviceCatalogueTest : public FolderFixture {};

TEST_F(DeviceCatalogueTest, ReadsEveryLineFromTheCatalogueInTheCurrentFolderFirst) {
  // Later fields are ignored, nothing is trimmed, only a lower-case x cuts a
  // size; a byte-order mark and blank lines are passed over, either line end
  // is taken, Latin-1 where a line is not UTF-8, and the last needs no end.
  ASSERT_TRUE(WriteBytes(root.filePath("devices.dat"),
                         "\xEF\xBB\xBFPhone 1:240x320\r\n\r\nFoo:240x320:extra\n  \t\nFoo\r\n"
                         ":240x320\n Wide :1920 x1080\nTab:640X480\nOdd:320x\nCaf\xC3\xA9:1x2\n"
                         "Caf\xE9:3x4"));
  const auto devices = readDeviceCatalogue(deviceCataloguePath());
  QStringList lines;  // name|size|whether it has a size|the size's parts
  for (const DeviceLine& d : devices.value())
    lines << d.name + '|' + d.size + '|' + QString::number(d.hasSize) + '|' +
                 sizeParts(d.size).join(',');
  EXPECT_EQ(lines, QStringList({"Phone 1|240x320|1|240,320", "Foo|240x320|1|240,320", "Foo||0|",
                                "|240x320|1|240,320", " Wide |1920 x1080|1|1920 ,1080",
                                "Tab|640X480|1|640X480", "Odd|320x|1|320,",
                                QString::fromUtf8("Café|1x2|1|1,2"),
                                QString::fromUtf8("Café|3x4|1|3,4")}));
  breakCatalogue();
  EXPECT_FALSE(readDeviceCatalogue(deviceCataloguePath()).has_value());
  QDir::setCurrent(previousFolder);  // elsewhere the program's own copy is found
  EXPECT_TRUE(readDeviceCatalogue(deviceCataloguePath()).has_value());
}

// A runaway catalogue is read up to its first megabyte and its first 10,000
// devices; a line that the megabyte cuts is not taken as a device.
TEST_F(DeviceCatalogueTest, ReadsTheFirstMegabyteAndTenThousandDevicesOnly) {
  const QByteArray longName(300 - 9, 'N');  // with ":100x200\n", 300 bytes a line
  const QByteArray longLines = (longName + ":100x200\n").repeated(5000);
  QByteArray shortLines;
  for (int i = 0; i < 12000; ++i) shortLines += "Dev " + QByteArray::number(i) + ":100x200\n";
  // The file, how many devices are read, the last one's name.
  const std::tuple<QByteArray, std::size_t, QByteArray> cases[] = {
      {shortLines, 10000, "Dev 9999"},                 // 12,000 devices in 200 kB
      {longLines, (1 << 20) / 300, longName},          // 1.5 MB: 3,495 whole lines
      {QByteArray(3 << 20, 'L') + ":80x60\n", 0, ""},  // one line past the limit
      {longLines.left(1 << 20), (1 << 20) / 300 + 1, longName.left((1 << 20) % 300)}};
  for (const auto& [content, count, last] : cases) {
    ASSERT_TRUE(WriteBytes("devices.dat", content));
    const auto devices = readDeviceCatalogue("devices.dat");
    ASSERT_TRUE(devices && devices->size() == count) << content.size();
    EXPECT_EQ(devices->empty() ? QString() : devices->back().name, QString(last));
  }
}

TEST(OutputNamesTest, PlainNamesTakeJpgAndFreeNamesCountPastTakenOnes) {
  const QTemporaryDir dir;
  const QString d = dir.path() + "/";
  for (const char* taken : {"pic.jpg", "pic1.jpg", "photo", ".hidden", ".hidden.jpg", "a.b.jpg"})
    ASSERT_TRUE(WriteBytes(d + taken, "x"));
  ASSERT_TRUE(QFile::link(d + "nowhere", d + "link.jpg"));  // a link to nothing takes its name
  // Picture name, its plain output name, the free name for that.
  const std::tuple<QString, QString, QString> cases[] = {
      {"beach.png", "beach.jpg", "beach.jpg"}, {"photo.jpeg", "photo.jpg", "photo.jpg"},
      {"IMG_1.JPG", "IMG_1.jpg", "IMG_1.jpg"}, {"pic.gif", "pic.jpg", "pic2.jpg"},
      {"a.b.bmp", "a.b.jpg", "a.b1.jpg"},      {".hidden", ".hidden.jpg", ".hidden1.jpg"},
      {"link.png", "link.jpg", "link1.jpg"},   {"photo", "photo.jpg", "photo.jpg"}};
  for (const auto& [picture, plain, free] : cases) {
    EXPECT_EQ(outputNameFor(d, picture), d + plain);
    EXPECT_EQ(uniqueFileName(d + plain), d + free);
  }
  // No extension, or nothing before the dot: the counter goes last.
  EXPECT_EQ(QStringList({uniqueFileName(d + "photo"), uniqueFileName(d + ".hidden")}),
            QStringList({d + "photo1", d + ".hidden1"}));
  EXPECT_EQ(uniqueFileName("beach.jpg"), "beach.jpg");  // no folder part
  makeFolder(d + "one/");
  makeFolder(d + "two/three/");
  EXPECT_TRUE(QFileInfo(d + "one").isDir());
  EXPECT_FALSE(pathExists(d + "two"));  // only the last level is made
}

}  // namespace
}  // namespace trimora::testing
