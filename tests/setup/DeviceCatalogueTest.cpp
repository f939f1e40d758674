// Reading the device catalogue: the line rule, the file rules, where the file
// is looked for, and the catalogue that ships with the program.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include "DeviceCatalogue.h"
#include "TrimoraVersion.h"

namespace trimora {
namespace {

TEST(DeviceLineTest, CutsNameAndSizeAtColonsAndSizeAtLowerCaseX) {
  struct Case {
    QString line, name, size;
    bool hasSize;
  } const cases[] = {
      {"Phone 1:240x320", "Phone 1", "240x320", true},
      {"Foo:240x320:extra", "Foo", "240x320", true},        // later fields are ignored
      {"Foo", "Foo", "", false},                            // listed, but has no size
      {":240x320", "", "240x320", true},                    // a nameless line keeps its size
      {" Wide :1920 x1080", " Wide ", "1920 x1080", true},  // nothing is trimmed
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line.toStdString());
    const DeviceLine device = ParseDeviceLine(c.line);
    EXPECT_EQ(device.name, c.name);
    EXPECT_EQ(device.size, c.size);
    EXPECT_EQ(device.hasSize, c.hasSize);
  }
  EXPECT_EQ(SizeParts("240x320"), QStringList({"240", "320"}));
  EXPECT_EQ(SizeParts("240X320"), QStringList({"240X320"}));  // upper-case X does not cut
}

class CatalogueFileTest : public ::testing::Test {
 protected:
  QString write(const QByteArray& content) {
    const QString path = folder.path() + QStringLiteral("/devices.dat");
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
    return path;
  }
  QTemporaryDir folder;
};

TEST_F(CatalogueFileTest, SkipsBlankLinesAndReadsAnyLineEndAndEncoding) {
  const auto devices =
      ReadDeviceCatalogue(write("\xEF\xBB\xBF"
                                "Alpha 100:240x320\r\n"
                                "\r\n"
                                "Caf\xC3\xA9 Tab:800x1280\n"
                                "   \t\n"
                                "Caf\xE9 Phone:320x480\r\n"
                                "Gamma:1080x1920"));  // no line end after the last line
  ASSERT_TRUE(devices.has_value());
  QStringList names;
  for (const DeviceLine& d : *devices) names << d.name;
  EXPECT_EQ(names, QStringList({"Alpha 100", QString::fromUtf8("Café Tab"),
                                QString::fromUtf8("Café Phone"), "Gamma"}));
  EXPECT_EQ(devices->front().size, "240x320");  // no carriage return left on the size
  EXPECT_EQ(devices->back().size, "1080x1920");
}

TEST_F(CatalogueFileTest, AMissingOrUnreadableFileIsNoCatalogue) {
  EXPECT_FALSE(ReadDeviceCatalogue(folder.path() + "/nothing.dat").has_value());
  ASSERT_TRUE(QDir(folder.path()).mkdir("folder.dat"));
  EXPECT_FALSE(ReadDeviceCatalogue(folder.path() + "/folder.dat").has_value());
}

TEST_F(CatalogueFileTest, TheCurrentFolderIsLookedAtFirst) {
  const QString previous = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(folder.path()));
  const QString here = write("Only Here:100x100\n");
  const QString found = DeviceCataloguePath();
  QDir::setCurrent(previous);
  EXPECT_EQ(found, QFileInfo(here).absoluteFilePath());
  // Away from that folder the program's own copy is found instead.
  EXPECT_FALSE(DeviceCataloguePath().isEmpty());
  EXPECT_NE(DeviceCataloguePath(), found);
}

// The catalogue shipped with the program: clean lines, real sizes, devices
// the right way up.
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
    const int width = match.captured(2).toInt();
    const int height = match.captured(3).toInt();
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
