// The device catalogue: its lines, its file and where it is found.
#include "DeviceCatalogue.h"
#include "SetupTest.h"

namespace trimora::testing {
namespace {

class DeviceCatalogueTest : public SetupTest {};

TEST_F(DeviceCatalogueTest, ReadsEveryLineFromTheCatalogueInTheCurrentFolderFirst) {
  // Later fields are ignored, nothing is trimmed, only a lower-case x cuts a
  // size; a byte-order mark and blank lines are passed over, either line end
  // is taken, Latin-1 where a line is not UTF-8, and the last needs no end.
  ASSERT_TRUE(WriteBytes(root.filePath("devices.dat"),
                         "\xEF\xBB\xBFPhone 1:240x320\r\n\r\nFoo:240x320:extra\n  \t\nFoo\r\n"
                         ":240x320\n Wide :1920 x1080\nTab:640X480\nOdd:320x\nCaf\xC3\xA9:1x2\n"
                         "Caf\xE9:3x4"));
  const auto devices = readDeviceCatalogue(deviceCataloguePath());
  ASSERT_TRUE(devices.has_value());
  QStringList lines;  // name|size|whether it has a size|the size's parts
  for (const DeviceLine& d : *devices)
    lines << d.name + '|' + d.size + '|' + QString::number(d.hasSize) + '|' +
                 sizeParts(d.size).join(',');
  EXPECT_EQ(lines, QStringList({"Phone 1|240x320|1|240,320", "Foo|240x320|1|240,320", "Foo||0|",
                                "|240x320|1|240,320", " Wide |1920 x1080|1|1920 ,1080",
                                "Tab|640X480|1|640X480", "Odd|320x|1|320,",
                                QString::fromUtf8("Café|1x2|1|1,2"),
                                QString::fromUtf8("Café|3x4|1|3,4")}));
  breakCatalogue();
  EXPECT_FALSE(readDeviceCatalogue(deviceCataloguePath()).has_value());
  EXPECT_FALSE(readDeviceCatalogue(root.filePath("nothing.dat")).has_value());
  QDir::setCurrent(previousFolder);  // elsewhere the program's own copy is found
  EXPECT_TRUE(readDeviceCatalogue(deviceCataloguePath()).has_value());
}

// A runaway catalogue is read up to its first megabyte and its first 10,000
// devices; a line that the megabyte cuts is not taken as a device.
TEST(CatalogueFileTest, ReadsTheFirstMegabyteAndTenThousandDevicesOnly) {
  QTemporaryDir folder;
  const QString path = folder.filePath("devices.dat");
  const QByteArray longName(300 - 9, 'N');  // with ":100x200\n", 300 bytes a line
  struct Case {
    QByteArray content;
    std::size_t devices;
    QString last;
  };
  QByteArray shortLines, longLines;
  for (int i = 0; i < 12000; ++i) shortLines += "Dev " + QByteArray::number(i) + ":100x200\n";
  for (int i = 0; i < 5000; ++i) longLines += longName + ":100x200\n";
  const Case cases[] = {
      {shortLines, 10000, "Dev 9999"},                        // 12,000 devices in 200 kB
      {longLines, (1 << 20) / 300, QString(longName)},        // 1.5 MB: 3,495 whole lines
      {QByteArray(3 << 20, 'L') + ":80x60\n", 0, QString()},  // one line past the limit
      {longLines.left(1 << 20), (1 << 20) / 300 + 1, longName.left((1 << 20) % 300)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.content.size());
    ASSERT_TRUE(testing::WriteBytes(path, c.content));
    const auto devices = readDeviceCatalogue(path);
    ASSERT_TRUE(devices.has_value());
    ASSERT_EQ(devices->size(), c.devices);
    if (c.devices > 0) {
      EXPECT_EQ(devices->back().name, c.last);
    }
  }
}

}  // namespace
}  // namespace trimora::testing
