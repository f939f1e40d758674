#pragma once

#include <gtest/gtest.h>

#include <QSettings>
#include <QTemporaryDir>
#include <memory>

#include "FakeServices.h"
#include "TestPictures.h"
#include "frmMain.h"

namespace trimora::testing {

// A workspace window on fake services, with its own settings file and
// folders. Settings written before Start() are what the window finds.
class WorkspaceFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes a value into the settings store, as an earlier run would have.
  void Store(const QString& key, const QString& value);
  QString Stored(const QString& key);
  // Builds the window and runs its start-up. The set-up wizard is not shown:
  // its openings are counted in wizardRuns instead.
  frmMain& Start();
  // Closes the window the way the user does.
  void Close();
  // Moves the pointer over the picture to its pixel (x, y), as the desktop
  // reports it: a move event on the picture and the pointer service's position.
  void PointAt(int x, int y);
  // Lets the fake clock run, ticking timers on the way.
  void Tick(int ms) { fakes.clock.Advance(ms); }

  QString in() const { return root.path() + QStringLiteral("/in"); }
  QString out() const { return root.path() + QStringLiteral("/out/"); }

  QTemporaryDir root;
  FakeServices fakes;
  Services services;
  std::unique_ptr<frmMain> form;
  int wizardRuns = 0;
};

}  // namespace trimora::testing
