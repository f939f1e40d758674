#include "WorkspaceFixture.h"

#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QTest>

namespace trimora::testing {

void WorkspaceFixture::SetUp() {
  FolderFixture::SetUp();
  QDir().mkpath(in());
}

void WorkspaceFixture::TearDown() {
  if (window) window->hide();
  window.reset();
  FolderFixture::TearDown();
}

void WorkspaceFixture::store(const QString& key, const QString& value) {
  QSettings settings(QSettings::IniFormat, QSettings::UserScope, "Trimora", "Trimora");
  settings.setValue("Settings/" + key, value);
}

QString WorkspaceFixture::stored(const QString& key) {
  QSettings settings(QSettings::IniFormat, QSettings::UserScope, "Trimora", "Trimora");
  return settings.value("Settings/" + key, "<missing>").toString();
}

MainWindow& WorkspaceFixture::start() {
  window = std::make_unique<MainWindow>(services);
  window->setWizardRunner([this](MainWindow&) { ++wizardRuns; });
  fakes.pointer.top = window.get();
  QObject::connect(&window->statusOverlay(), &StatusOverlay::messageShown,
                   [this](const QString& text) { statuses << text; });
  if (!openAtStart.isEmpty()) window->openPath(openAtStart);
  window->start();
  return *window;
}

MainWindow& WorkspaceFixture::startWith(int frameWidth, int frameHeight) {
  store("Wizard", "0");
  store("InputFolder", in());
  store("OutputFolder", out());
  store("PWidth", QString::number(frameWidth));
  store("PHeight", QString::number(frameHeight));
  store("Quality", "100");
  start();
  window->show();
  return *window;
}

QWidget* WorkspaceFixture::canvas() const {
  return view().findChild<QWidget*>(QStringLiteral("pictureCanvas"));
}

void WorkspaceFixture::pointAt(int x, int y) {
  QWidget* target = canvas();
  const QPoint global = target->mapToGlobal(QPoint(x, y));
  fakes.pointer.pos = global;
  QMouseEvent move(QEvent::MouseMove, QPointF(x, y), QPointF(global), Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier);
  QApplication::sendEvent(target, &move);
}

void WorkspaceFixture::clickAt(int x, int y) {
  pointAt(x, y);
  QTest::mouseClick(canvas(), Qt::LeftButton, {}, QPoint(x, y));
}

void WorkspaceFixture::key(Qt::Key key) {
  QTest::keyClick(canvas(), key);
}

QStringList WorkspaceFixture::outputs() const {
  return QDir(out()).entryList(QDir::Files, QDir::Name);
}

double meanDifference(const QImage& a, const QImage& b) {
  const QImage x = a.convertToFormat(QImage::Format_RGB32);
  const QImage y = b.convertToFormat(QImage::Format_RGB32);
  if (x.size() != y.size() || x.isNull()) return 255;
  double sum = 0;
  for (int row = 0; row < x.height(); ++row)
    for (int col = 0; col < x.width(); ++col) {
      const QRgb p = x.pixel(col, row), q = y.pixel(col, row);
      sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
             std::abs(qBlue(p) - qBlue(q));
    }
  return sum / (3.0 * x.width() * x.height());
}

}  // namespace trimora::testing
