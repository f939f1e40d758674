#include "OutputNames.h"

#include <QDir>
#include <QFileInfo>

namespace trimora {

QString outputNameFor(const QString& outputFolder, const QString& pictureName) {
  const qsizetype dot = pictureName.lastIndexOf(QLatin1Char('.'));
  const QString base = dot > 0 ? pictureName.left(dot) : pictureName;
  return outputFolder + base + QStringLiteral(".jpg");
}

bool pathExists(const QString& path) {
  if (path.isEmpty()) return false;
  if (path == QLatin1String("/")) return true;
  const QFileInfo info(path);
  return info.exists() || info.isSymLink();
}

QString uniqueFileName(const QString& path) {
  const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
  const QString folder = path.left(slash + 1);
  const QString name = path.mid(slash + 1);
  const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  QString base = name;
  QString extension;
  if (dot > 0) {
    base = name.left(dot);
    extension = name.mid(dot);
  }
  QString candidate = folder + base + extension;
  for (long long counter = 1; pathExists(candidate); ++counter)
    candidate = folder + base + QString::number(counter) + extension;
  return candidate;
}

void makeFolder(const QString& folder) {
  if (folder.isEmpty()) return;
  QDir().mkdir(folder);  // only the last level; fails quietly when it exists
}

}  // namespace trimora
