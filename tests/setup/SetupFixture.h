#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QByteArray>
#include <QTimer>
#include <functional>

#include "WorkspaceFixture.h"

namespace trimora::testing {

// A workspace on fake services whose current folder holds a device catalogue
// of the test's own, with the shared device choice cleared.
class SetupFixture : public WorkspaceFixture {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes "devices.dat" into the current folder, byte for byte.
  void WriteCatalogue(const QByteArray& content);
  // Builds the window and runs its start-up with the real set-up windows, so
  // a first start opens the wizard.
  frmMain& StartWithWizard();
  // The same for a returning user, who has switched the wizard off.
  frmMain& StartQuietly();

  QString previousFolder;
};

// Runs action on the modal window of type W once it is showing, looking again
// on each later turn of the event loop; the action must close the window.
template <class W>
void WhenShown(std::function<void(W&)> action, int turnsLeft = 500) {
  QTimer::singleShot(0, [action = std::move(action), turnsLeft]() mutable {
    auto* window = qobject_cast<W*>(QApplication::activeModalWidget());
    if (window && window->isVisible()) {
      action(*window);
      return;
    }
    if (turnsLeft == 0) {
      ADD_FAILURE() << "the expected modal window never showed";
      return;
    }
    WhenShown<W>(std::move(action), turnsLeft - 1);
  });
}

}  // namespace trimora::testing
