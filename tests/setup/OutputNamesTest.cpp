// Output names: the plain name of a picture's cut, the first free name, and
// the output folder's closing "/".
#include <QTemporaryDir>

#include "FolderChoice.h"
#include "OutputNames.h"
#include "SetupTest.h"

namespace trimora::testing {
namespace {

TEST(OutputNamesTest, PlainNamesTakeJpgAndFreeNamesCountPastTakenOnes) {
  QTemporaryDir dir;
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
  EXPECT_EQ(QStringList({withTrailingSlash("/a"), withTrailingSlash("/"), withTrailingSlash("")}),
            QStringList({"/a/", "/", ""}));

  EXPECT_TRUE(pathExists("/") && pathExists(dir.path()) && pathExists(d + "link.jpg"));
  EXPECT_FALSE(pathExists("") || pathExists(d + "nothing"));
  makeFolder(d + "one/");
  makeFolder(d + "one/");  // already there: nothing happens
  makeFolder(d + "two/three/");
  EXPECT_TRUE(QFileInfo(d + "one").isDir());
  EXPECT_FALSE(pathExists(d + "two"));  // only the last level is made
}

}  // namespace
}  // namespace trimora::testing
