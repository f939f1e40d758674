#include "DataFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "TrimoraVersion.h"

namespace trimora {

QString findDataFile(const QString& relativePath, bool currentFolderFirst) {
  QStringList folders;
  if (currentFolderFirst) folders << QDir::currentPath();
  const QString exeDir = QCoreApplication::applicationDirPath();
  folders << exeDir << exeDir + QStringLiteral("/../") + QStringLiteral(TRIMORA_DATA_INSTALL_DIR)
          << QStringLiteral(TRIMORA_SOURCE_DATA_DIR);
  for (const QString& folder : folders) {
    const QFileInfo candidate(folder + QLatin1Char('/') + relativePath);
    if (candidate.exists()) return QDir::cleanPath(candidate.absoluteFilePath());
  }
  return {};
}

}  // namespace trimora
