#pragma once

#include <gtest/gtest.h>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include "DeviceChoice.h"
#include "FakeServices.h"
#include "TestPictures.h"

namespace trimora::testing {

// Fake services, a settings file of the test's own, and a current folder of its own, where
// relative folders lie and a devices.dat the test writes is found first. The last device choice
// starts empty.
class FolderFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(root.isValid() && QDir::setCurrent(root.path()));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, root.filePath("config"));
    lastDeviceChoice() = {};
  }
  void TearDown() override {
    QDir::setCurrent(previousFolder);
    lastDeviceChoice() = {};
  }
  // A folder in the catalogue's place: found first, but it cannot be read.
  void breakCatalogue() {
    QFile::remove(root.filePath("devices.dat"));
    ASSERT_TRUE(QDir(root.path()).mkdir("devices.dat"));
  }

  const QString previousFolder = QDir::currentPath();
  QTemporaryDir root;
  FakeServices fakes;
  Services services = fakes.services();
};

}  // namespace trimora::testing
