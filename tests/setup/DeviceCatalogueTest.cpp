// Reading the device catalogue: the line rule, the file rules, where the file
// is looked for, and the catalogue that ships with the program.
#include <gtest/gtest.h>

#include <QDir>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include "DeviceCatalogue.h"
#include "TestPictures.h"
#include "TrimoraVersion.h"

namespace trimora {
namespace {

TEST(DeviceLineTest, CutsNameAndSizeAtColonsAndSizeAtLowerCaseX) {
  // Line, then name|size|whether it has a size. Later fields are ignored, a
  // line without a colon is listed without a size, nothing is trimmed.
  const std::pair<QString, QString> cases[] = {{"Phone 1:240x320", "Phone 1|240x320|1"},
                                               {"Foo:240x320:extra", "Foo|240x320|1"},
                                               {"Foo", "Foo||0"},
                                               {":240x320", "|240x320|1"},
                                               {" Wide :1920 x1080", " Wide |1920 x1080|1"}};
  for (const auto& [line, want] : cases) {
    const DeviceLine d = ParseDeviceLine(line);
    EXPECT_EQ(QStringList({d.name, d.size, QString::number(d.hasSize)}).join('|'), want);
  }
  EXPECT_EQ(SizeParts("240x320"), QStringList({"240", "320"}));
  EXPECT_EQ(SizeParts("240X320"), QStringList({"240X320"}));  // upper-case X does not cut
}

TEST(CatalogueFileTest, ReadsAnyLineEndAndEncodingFromTheCurrentFolderFirst) {
  QTemporaryDir folder;
  QFile file(folder.filePath("devices.dat"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(
      "\xEF\xBB\xBF"
      "Alpha 100:240x320\r\n\r\nCaf\xC3\xA9 Tab:800x1280\n   \t\n"
      "Caf\xE9 Phone:320x480\r\nGamma:1080x1920");  // no line end after the last line
  file.close();
  const auto devices = ReadDeviceCatalogue(file.fileName());
  ASSERT_TRUE(devices.has_value());
  QStringList lines;
  for (const DeviceLine& d : *devices) lines << d.name + '|' + d.size;
  EXPECT_EQ(lines, QStringList({"Alpha 100|240x320", QString::fromUtf8("Café Tab|800x1280"),
                                QString::fromUtf8("Café Phone|320x480"), "Gamma|1080x1920"}));

  EXPECT_FALSE(ReadDeviceCatalogue(folder.filePath("nothing.dat")).has_value());
  ASSERT_TRUE(QDir(folder.path()).mkdir("folder.dat"));
  EXPECT_FALSE(ReadDeviceCatalogue(folder.filePath("folder.dat")).has_value());

  const QString previous = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(folder.path()));
  const QString found = DeviceCataloguePath();
  QDir::setCurrent(previous);
  EXPECT_EQ(found, QFileInfo(file).absoluteFilePath());
  // Away from that folder the program's own copy is found instead.
  EXPECT_FALSE(DeviceCataloguePath().isEmpty());
  EXPECT_NE(DeviceCataloguePath(), found);
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
    const auto devices = ReadDeviceCatalogue(path);
    ASSERT_TRUE(devices.has_value());
    ASSERT_EQ(devices->size(), c.devices);
    if (c.devices > 0) {
      EXPECT_EQ(devices->back().name, c.last);
    }
  }
}

// The shipped catalogue: clean lines, real sizes, devices the right way up.
TEST(ShippedCatalogueTest, EveryLineIsAWellFormedDistinctDevice) {
  QFile file(QStringLiteral(TRIMORA_SOURCE_DATA_DIR "/devices.dat"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
  if (lines.last().isEmpty()) lines.removeLast();  // the final line end

  const QRegularExpression syntax(QStringLiteral("^([^:\\s][^:]*[^:\\s]):([0-9]+)x([0-9]+)$"));
  // Names that mark phones, tablets and e-readers, and screens that lie wide.
  const QRegularExpression upright(
      "iPhone|iPod touch|iPad|Galaxy [SANZT]|Pixel|Xiaomi|Redmi|POCO|OnePlus|Moto|Xperia|"
      "Nothing Phone|CMF|Fairphone|Huawei|OPPO|vivo|Honor|ROG Phone|Zenfone|Nokia|BlackBerry|"
      "Kindle|Kobo|Fire |Surface (Pro|Go)|Tab P|reMarkable|PocketBook|tolino|Portrait");
  const QRegularExpression wide(
      "Monitor|TV |Display|UltraSharp|Odyssey|UltraFine|ViewFinity|iMac|MacBook|Laptop|"
      "Landscape");
  QSet<QString> seen;
  int portrait = 0, landscape = 0;
  for (const QString& line : lines) {
    SCOPED_TRACE(line.toStdString());
    const auto match = syntax.match(line);
    ASSERT_TRUE(match.hasMatch());
    const QString name = match.captured(1);
    const int width = match.captured(2).toInt(), height = match.captured(3).toInt();
    EXPECT_EQ(ParseDeviceLine(line).name, name);
    EXPECT_FALSE(seen.contains(name)) << "listed twice";
    seen.insert(name);
    EXPECT_TRUE(width >= 100 && width <= 8000 && height >= 100 && height <= 8000);
    if (name.contains(upright) && !name.contains("Watch")) {
      EXPECT_LT(width, height) << "phones and tablets stand upright";
      ++portrait;
    }
    if (name.contains(wide)) {
      EXPECT_GT(width, height) << "monitors, laptops and TVs lie wide";
      ++landscape;
    }
  }
  EXPECT_GE(lines.size(), 200);
  EXPECT_GE(portrait, 150);
  EXPECT_GE(landscape, 40);
  const auto devices = ReadDeviceCatalogue(file.fileName());
  ASSERT_TRUE(devices.has_value());
  EXPECT_EQ(devices->size(), std::size_t(lines.size()));
}

}  // namespace
}  // namespace trimora
