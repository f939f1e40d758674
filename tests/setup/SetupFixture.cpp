#include "SetupFixture.h"

#include <QDir>
#include <QFile>

#include "SelectedDevice.h"

namespace trimora::testing {

void SetupFixture::SetUp() {
  WorkspaceFixture::SetUp();
  previousFolder = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(root.path()));
  SelectedDeviceName.clear();
  SelectedDeviceSize.clear();
}

void SetupFixture::TearDown() {
  WorkspaceFixture::TearDown();
  QDir::setCurrent(previousFolder);
  SelectedDeviceName.clear();
  SelectedDeviceSize.clear();
}

void SetupFixture::WriteCatalogue(const QByteArray& content) {
  QFile file(root.path() + QStringLiteral("/devices.dat"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  ASSERT_EQ(file.write(content), content.size());
}

frmMain& SetupFixture::StartWithWizard() {
  form = std::make_unique<frmMain>(services);
  fakes.pointer.top = form.get();
  form->Load();
  return *form;
}

frmMain& SetupFixture::StartQuietly() {
  Store(QStringLiteral("Wizard"), QStringLiteral("0"));
  return StartWithWizard();
}

}  // namespace trimora::testing
