#pragma once

#include <memory>

#include "CropView.h"
#include "FolderFixture.h"
#include "MainWindow.h"
#include "OptionsPanel.h"
#include "PictureList.h"
#include "StatusOverlay.h"
#include "TestPictures.h"

namespace trimora::testing {

// A main window on fake services, with its own settings file and folders
// (in/ and out/). Settings stored before start() are what the window finds.
class WorkspaceFixture : public FolderFixture {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes a value into the settings file, as an earlier run would have.
  void store(const QString& key, const QString& value);
  QString stored(const QString& key);
  static QString iniPath() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, "Trimora", "Trimora").fileName();
  }
  // The usual start: no wizard, in/ and out/, the frame, quality 100, the window shown.
  MainWindow& startWith(int frameWidth = 320, int frameHeight = 240);
  // Builds the window and runs its start-up; the wizard's openings are counted in wizardRuns.
  MainWindow& start();
  void close() { window->close(); }

  // The pointer over the canvas at (x, y): a move event and the pointer service's position.
  void pointAt(int x, int y);
  void clickAt(int x, int y);
  // A key pressed and released on the picture, as the window system delivers it.
  void key(Qt::Key key);
  void tick(int ms) { fakes.clock.advance(ms); }

  QString in() const { return root.path() + QStringLiteral("/in"); }
  QString out() const { return root.path() + QStringLiteral("/out/"); }
  QStringList outputs() const;
  CropView& view() const { return window->cropView(); }
  OptionsPanel& panel() const { return window->optionsPanel(); }
  PictureList& list() const { return window->optionsPanel().pictureList(); }
  QWidget* canvas() const;

  std::unique_ptr<MainWindow> window;
  QString openAtStart;  // given to openPath() before start(), as a command line does
  int wizardRuns = 0;
  QStringList statuses;  // every notice shown since start
};

// Mean difference per channel of two pictures of one size.
double meanDifference(const QImage& a, const QImage& b);

}  // namespace trimora::testing
