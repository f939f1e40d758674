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

TEST(DeviceLineTest, CutsNameAndSizeAtColons) {
  struct Case {
    QString line, name, size;
    bool hasSize;
  };
  const Case cases[] = {
      {"Phone 1:240x320", "Phone 1", "240x320", true},
      {"Foo:240x320:extra", "Foo", "240x320", true},        // later fields are ignored
      {"Foo", "Foo", "", false},                            // listed, but has no size
      {"Foo:", "Foo", "", true},                            // a colon with nothing after it
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
}

TEST(DeviceLineTest, SizeIsCutAtLowerCaseXOnly) {
  EXPECT_EQ(SizeParts("240x320"), QStringList({"240", "320"}));
  EXPECT_EQ(SizeParts("240X320"), QStringList({"240X320"}));
  EXPECT_EQ(SizeParts("1x2x3"), QStringList({"1", "2", "3"}));
}

TEST(DeviceLineTest, DecodesUtf8AndFallsBackToLatin1) {
  EXPECT_EQ(DecodeCatalogueLine("Caf\xC3\xA9 Tab:800x1280"),
            QString::fromUtf8("Café Tab:800x1280"));
  EXPECT_EQ(DecodeCatalogueLine("Caf\xE9 Phone:240x320"), QString::fromUtf8("Café Phone:240x320"));
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
  static QStringList names(const std::vector<DeviceLine>& devices) {
    QStringList list;
    for (const DeviceLine& d : devices) list << d.name;
    return list;
  }
  QTemporaryDir folder;
};

TEST_F(CatalogueFileTest, SkipsBlankLinesAndReadsEveryLineEnd) {
  const QString path = write(
      "\xEF\xBB\xBF"
      "Alpha 100:240x320\r\n"
      "\r\n"
      "Beta:480x800\n"
      "   \t\n"
      "Caf\xE9 Phone:320x480\r\n"
      "Gamma:1080x1920");  // the last line has no line end
  const auto devices = ReadDeviceCatalogue(path);
  ASSERT_TRUE(devices.has_value());
  EXPECT_EQ(names(*devices),
            QStringList({"Alpha 100", "Beta", QString::fromUtf8("Café Phone"), "Gamma"}));
  EXPECT_EQ(devices->front().size, "240x320");  // no CR left on the size
  EXPECT_EQ(devices->back().size, "1080x1920");
}

TEST_F(CatalogueFileTest, AnEmptyFileIsAnEmptyCatalogue) {
  const auto devices = ReadDeviceCatalogue(write(""));
  ASSERT_TRUE(devices.has_value());
  EXPECT_TRUE(devices->empty());
}

TEST_F(CatalogueFileTest, AMissingOrUnreadableFileIsNoCatalogue) {
  EXPECT_FALSE(ReadDeviceCatalogue(folder.path() + "/nothing.dat").has_value());
  EXPECT_FALSE(ReadDeviceCatalogue(QString()).has_value());
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
  const QString text = QString::fromUtf8(file.readAll());
  QStringList lines = text.split(QLatin1Char('\n'));
  if (lines.last().isEmpty()) lines.removeLast();  // the final line end

  const QRegularExpression syntax(QStringLiteral("^([^:\\s][^:]*[^:\\s]):([0-9]+)x([0-9]+)$"));
  const QStringList upright = {
      "iPhone",     "iPod touch", "iPad",       "Galaxy S",      "Galaxy A",  "Galaxy Note",
      "Galaxy Z",   "Galaxy Tab", "Pixel",      "Xiaomi",        "Redmi",     "POCO",
      "OnePlus",    "Moto",       "Xperia",     "Nothing Phone", "CMF Phone", "Fairphone",
      "Huawei",     "OPPO",       "vivo",       "Honor",         "ROG Phone", "Zenfone",
      "Nokia",      "BlackBerry", "Kindle",     "Kobo",          "Fire ",     "Surface Pro",
      "Surface Go", "Tab P",      "reMarkable", "PocketBook",    "tolino",    "Portrait"};
  const QStringList wide = {"Monitor",    "TV ",  "Display", "UltraSharp", "Odyssey",  "UltraFine",
                            "ViewFinity", "iMac", "MacBook", "Laptop",     "Landscape"};
  auto mentions = [](const QString& name, const QStringList& words) {
    for (const QString& w : words)
      if (name.contains(w)) return true;
    return false;
  };

  QSet<QString> seen;
  int portraitChecked = 0, landscapeChecked = 0;
  for (const QString& line : lines) {
    SCOPED_TRACE(line.toStdString());
    const auto match = syntax.match(line);
    ASSERT_TRUE(match.hasMatch());
    const QString name = match.captured(1);
    const int width = match.captured(2).toInt();
    const int height = match.captured(3).toInt();

    const DeviceLine parsed = ParseDeviceLine(line);
    EXPECT_EQ(parsed.name, name);
    EXPECT_EQ(SizeParts(parsed.size), QStringList({match.captured(2), match.captured(3)}));

    EXPECT_FALSE(seen.contains(name)) << "listed twice";
    seen.insert(name);
    EXPECT_GE(width, 100);
    EXPECT_LE(width, 8000);
    EXPECT_GE(height, 100);
    EXPECT_LE(height, 8000);
    if (mentions(name, upright) && !name.contains("Watch")) {
      EXPECT_LT(width, height) << "phones and tablets stand upright";
      ++portraitChecked;
    }
    if (mentions(name, wide)) {
      EXPECT_GT(width, height) << "monitors, laptops and TVs lie wide";
      ++landscapeChecked;
    }
  }
  EXPECT_GE(lines.size(), 200);
  EXPECT_GE(portraitChecked, 150);
  EXPECT_GE(landscapeChecked, 40);

  // The reader sees exactly the same devices.
  const auto devices = ReadDeviceCatalogue(file.fileName());
  ASSERT_TRUE(devices.has_value());
  EXPECT_EQ(devices->size(), std::size_t(lines.size()));
}

}  // namespace
}  // namespace trimora
