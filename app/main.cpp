// Trimora: crops a folder of pictures to the screen size of a device.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QSettings>
#include <QStandardPaths>

#include "DataFiles.h"
#include "QtServices.h"
#include "basSettings.h"
#include "frmMain.h"

namespace {

// On the very first run (no settings stored yet) the bundled sample pictures
// are the input folder and ~/Pictures/Trimora the output folder, so that the
// wizard opens ready to go.
void SeedFirstRunFolders() {
  using namespace trimora;
  const QSettings store(QSettings::IniFormat, QSettings::UserScope, kAppName, kAppName);
  if (QFileInfo::exists(store.fileName())) return;
  const QString samples = FindDataFile(QStringLiteral("samples"));
  if (samples.isEmpty()) return;
  QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
  if (pictures.isEmpty()) pictures = QDir::homePath();
  SaveSetting(kAppName, kSettingsSection, QStringLiteral("InputFolder"), samples);
  const QString output = pictures + QStringLiteral("/Trimora/");
  QDir().mkpath(output);  // a crop makes only the last level of its folder
  SaveSetting(kAppName, kSettingsSection, QStringLiteral("OutputFolder"), output);
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Trimora"));
  QApplication::setOrganizationName(QStringLiteral("Trimora"));
  QApplication::setDesktopFileName(QStringLiteral("trimora"));
  const QString icon = trimora::FindDataFile(QStringLiteral("icons/trimora.png"));
  if (!icon.isEmpty()) QApplication::setWindowIcon(QIcon(icon));

  SeedFirstRunFolders();
  trimora::QtServices desktop;
  const trimora::Services services = desktop.services();
  trimora::frmMain window(services);
  window.Load();
  return app.exec();
}
