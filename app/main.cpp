// Trimora: crops a folder of pictures to the screen size of a device.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QSettings>
#include <QStandardPaths>

#include "DataFiles.h"
#include "MainWindow.h"
#include "QtServices.h"
#include "Settings.h"

namespace {

// On the very first run (no settings stored yet) the bundled sample pictures
// are the input folder and ~/Pictures/Trimora the output folder, so that the
// wizard opens ready to go.
void seedFirstRunFolders() {
  using namespace trimora;
  const QSettings store(QSettings::IniFormat, QSettings::UserScope, kProgramName, kProgramName);
  if (QFileInfo::exists(store.fileName())) return;
  const QString samples = findDataFile(QStringLiteral("samples"));
  if (samples.isEmpty()) return;
  QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
  if (pictures.isEmpty()) pictures = QDir::homePath();
  const QString output = pictures + QStringLiteral("/Trimora/");
  QDir().mkpath(output);  // a crop makes only the last level of its folder
  Settings settings;
  settings.setInputFolder(samples);
  settings.setOutputFolder(output);
  settings.sync();
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(trimora::kProgramName);
  QApplication::setOrganizationName(trimora::kProgramName);
  QApplication::setDesktopFileName(QStringLiteral("trimora"));
  const QString icon = trimora::findDataFile(QStringLiteral("icons/trimora.png"));
  if (!icon.isEmpty()) QApplication::setWindowIcon(QIcon(icon));

  seedFirstRunFolders();
  trimora::QtServices desktop;
  const trimora::Services services = desktop.services();
  trimora::MainWindow window(services);
  window.start();
  return app.exec();
}
