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

}  // namespace
}  // namespace trimora::testing
