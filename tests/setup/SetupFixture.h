#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QTimer>
#include <functional>

#include "SelectedDevice.h"
#include "WorkspaceFixture.h"

namespace trimora::testing {

// A workspace on fake services whose current folder holds the test's own
// device catalogue, with the shared device choice cleared.
class SetupFixture : public WorkspaceFixture {
 protected:
  void SetUp() override {
    WorkspaceFixture::SetUp();
    ASSERT_TRUE(QDir::setCurrent(root.path()));
    SelectedDeviceName.clear(), SelectedDeviceSize.clear();
  }
  void TearDown() override {
    WorkspaceFixture::TearDown();
    QDir::setCurrent(previousFolder);
    SelectedDeviceName.clear(), SelectedDeviceSize.clear();
  }
  void WriteCatalogue(const QByteArray& content) {
    QFile file(root.filePath("devices.dat"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
  }
  // Builds the window and runs its start-up with the real set-up windows: a
  // first start opens the wizard, a returning user who switched it off does not.
  frmMain& StartWithWizard(bool wizardOn = true) {
    if (!wizardOn) Store(QStringLiteral("Wizard"), QStringLiteral("0"));
    form = std::make_unique<frmMain>(services);
    fakes.pointer.top = form.get();
    form->Load();
    return *form;
  }

  const QString previousFolder = QDir::currentPath();
};

// Runs action on the modal window of type W once it shows, looking again on
// each later turn of the event loop; the action must close the window.
template <class W>
void WhenShown(std::function<void(W&)> action, int turnsLeft = 500) {
  QTimer::singleShot(0, [action = std::move(action), turnsLeft]() mutable {
    auto* window = qobject_cast<W*>(QApplication::activeModalWidget());
    if (window && window->isVisible()) return action(*window);
    if (turnsLeft == 0) {
      ADD_FAILURE() << "the expected modal window never showed";
      return;
    }
    WhenShown<W>(std::move(action), turnsLeft - 1);
  });
}

}  // namespace trimora::testing
