#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "TestPictures.h"
#include "basSafeSaves.h"

using namespace trimora;

namespace {

void touch(const QString& path) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}

TEST(OutputNames, UniqueFileNameCountsUpPastTakenNames) {
  QTemporaryDir dir;
  const QString d = dir.path() + "/";
  EXPECT_EQ(UniqueFileName(d + "pic.jpg"), d + "pic.jpg");
  touch(d + "pic.jpg");
  touch(d + "pic1.jpg");
  EXPECT_EQ(UniqueFileName(d + "pic.jpg"), d + "pic2.jpg");
  touch(d + "photo");
  EXPECT_EQ(UniqueFileName(d + "photo"), d + "photo1");  // no extension: counter at the end
  touch(d + ".hidden");
  EXPECT_EQ(UniqueFileName(d + ".hidden"), d + ".hidden1");  // nothing before the dot
  touch(d + "a.b.jpg");
  EXPECT_EQ(UniqueFileName(d + "a.b.jpg"), d + "a.b1.jpg");
  QFile::link(d + "nowhere", d + "link.jpg");  // a dangling link still takes its name
  EXPECT_EQ(UniqueFileName(d + "link.jpg"), d + "link1.jpg");
  EXPECT_EQ(UniqueFileName("plain.jpg"), "plain.jpg");  // no folder part
}

TEST(OutputNames, PathExists) {
  QTemporaryDir dir;
  EXPECT_TRUE(PathExists("/"));
  EXPECT_FALSE(PathExists(""));
  EXPECT_TRUE(PathExists(dir.path()));
  EXPECT_FALSE(PathExists(dir.path() + "/nothing"));
}

TEST(OutputNames, MakeFolderMakesOnlyTheLastLevel) {
  QTemporaryDir dir;
  MakeFolder(dir.path() + "/one/");
  EXPECT_TRUE(QDir(dir.path() + "/one").exists());
  MakeFolder(dir.path() + "/one/");  // already there: fine
  MakeFolder(dir.path() + "/two/three/");
  EXPECT_FALSE(QDir(dir.path() + "/two").exists());
}

}  // namespace
