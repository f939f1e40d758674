#include "FolderChoice.h"

#include <QDir>
#include <QFileInfo>

namespace trimora {

QString chooseFolder(FolderBrowserService& browser, QWidget* owner, const QString& title,
                     const QString& startFolder) {
  const QString start = QFileInfo(startFolder).isDir() ? startFolder : QString();
  const QString chosen = browser.browse(owner, title, start);
  if (chosen.isEmpty() || !QFileInfo(chosen).isDir()) return {};
  return QDir::cleanPath(chosen);
}

QString withTrailingSlash(const QString& folder) {
  if (folder.isEmpty() || folder.endsWith(QLatin1Char('/'))) return folder;
  return folder + QLatin1Char('/');
}

}  // namespace trimora
