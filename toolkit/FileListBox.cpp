#include "FileListBox.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <algorithm>

namespace trimora {

FileListBox::FileListBox(QWidget* parent) : TwipsGeometry<QListWidget>(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  setUniformItemSizes(true);
  connect(this, &QListWidget::currentRowChanged, this, [this] {
    if (!settingIndex_ && onClick) onClick();
  });
}

void FileListBox::setPattern(const QString& pattern) {
  pattern_ = pattern;
  if (!path_.isEmpty()) fill(path_);
}

bool FileListBox::fill(const QString& folder) {
  QDir dir(folder);
  if (folder.isEmpty() || !dir.exists() || !dir.isReadable()) return false;

  QList<QRegularExpression> masks;
  for (const QString& mask : pattern_.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
    masks << QRegularExpression(QRegularExpression::wildcardToRegularExpression(mask.trimmed()),
                                QRegularExpression::CaseInsensitiveOption);
  }
  QStringList names;
  // Files only: folders, broken links and special files are not pictures.
  const auto entries = dir.entryInfoList(QDir::Files | QDir::NoDotAndDotDot, QDir::NoSort);
  for (const QFileInfo& info : entries) {
    const QString name = info.fileName();
    if (std::any_of(masks.begin(), masks.end(),
                    [&](const QRegularExpression& re) { return re.match(name).hasMatch(); }))
      names << name;
  }
  std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
    const int c = QString::compare(a, b, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a < b;
  });

  const QSignalBlocker blocker(this);
  clear();
  addItems(names);
  setCurrentRow(-1);
  return true;
}

bool FileListBox::setPath(const QString& path) {
  const QString clean = QDir::cleanPath(QDir(path).absolutePath());
  if (path.isEmpty() || !fill(clean)) return false;
  path_ = clean;
  return true;
}

bool FileListBox::Refresh() {
  return !path_.isEmpty() && fill(path_);
}

bool FileListBox::setListIndex(int index) {
  if (index < -1 || index >= count()) return false;
  settingIndex_ = true;
  setCurrentRow(index);
  if (index < 0) clearSelection();
  settingIndex_ = false;
  if (onClick) onClick();
  return true;
}

QString FileListBox::FileName() const {
  const int row = currentRow();
  return row >= 0 ? item(row)->text() : QString();
}

QString FileListBox::List(int index) const {
  return index >= 0 && index < count() ? item(index)->text() : QString();
}

}  // namespace trimora
