#include "WorkspaceFixture.h"

#include <QApplication>
#include <QDir>
#include <QMouseEvent>

#include "basSettings.h"

namespace trimora::testing {

void WorkspaceFixture::SetUp() {
  ASSERT_TRUE(root.isValid());
  QDir().mkpath(in());
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, root.path() + "/config");
  services = fakes.services();
}

void WorkspaceFixture::TearDown() {
  if (form) form->hide();
  form.reset();
}

void WorkspaceFixture::Store(const QString& key, const QString& value) {
  SaveSetting(kAppName, kSettingsSection, key, value);
}

QString WorkspaceFixture::Stored(const QString& key) {
  return GetSetting(kAppName, kSettingsSection, key, QStringLiteral("<missing>"));
}

frmMain& WorkspaceFixture::Start() {
  form = std::make_unique<frmMain>(services);
  form->wizardRunner = [this](frmMain&) { ++wizardRuns; };
  fakes.pointer.top = form.get();
  form->Load();
  return *form;
}

void WorkspaceFixture::PointAt(int x, int y) {
  const QPoint global = form->Picture1->mapToGlobal(QPoint(x, y));
  fakes.pointer.pos = global;
  QMouseEvent move(QEvent::MouseMove, QPointF(x, y), QPointF(global), Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier);
  QApplication::sendEvent(form->Picture1, &move);
}

void WorkspaceFixture::Close() {
  form->close();
}

}  // namespace trimora::testing
