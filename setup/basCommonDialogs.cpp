#include "basCommonDialogs.h"

#include <QDir>
#include <QFileInfo>

namespace trimora {

QString BrowseForFolder(FolderBrowserService& browser, QWidget* owner, const QString& title,
                        const QString& startFolder) {
  BrowseStartFolder = startFolder;
  // A start folder that does not exist (such as a button's "Open Dialog"
  // caption) selects nothing.
  const QString start = QFileInfo(startFolder).isDir() ? startFolder : QString();
  const QString chosen = browser.Browse(owner, title, start);
  if (chosen.isEmpty()) return {};
  if (!QFileInfo(chosen).isDir()) return {};  // only file-system folders count
  return QDir::cleanPath(chosen);
}

}  // namespace trimora
