#include "PictureList.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <algorithm>

namespace trimora {

PictureList::PictureList(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  setUniformItemSizes(true);
  connect(this, &QListWidget::currentRowChanged, this, [this] {
    if (!mSelecting) Q_EMIT selected();
  });
}

void PictureList::setMasks(const QString& masks) {
  mMasks.clear();
  for (const QString& mask : masks.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
    mMasks << QRegularExpression(QRegularExpression::wildcardToRegularExpression(mask.trimmed()),
                                 QRegularExpression::CaseInsensitiveOption);
  }
  if (!mFolder.isEmpty()) fill(mFolder);
}

bool PictureList::lists(const QString& fileName) const {
  return std::any_of(mMasks.begin(), mMasks.end(),
                     [&](const QRegularExpression& re) { return re.match(fileName).hasMatch(); });
}

bool PictureList::fill(const QString& folder) {
  QDir dir(folder);
  if (folder.isEmpty() || !dir.exists() || !dir.isReadable()) return false;

  QStringList names;
  // Files only: folders, broken links and special files are not pictures.
  const auto entries = dir.entryInfoList(QDir::Files | QDir::NoDotAndDotDot, QDir::NoSort);
  for (const QFileInfo& info : entries) {
    if (lists(info.fileName())) names << info.fileName();
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

bool PictureList::setFolder(const QString& folder) {
  const QString clean = QDir::cleanPath(QDir(folder).absolutePath());
  if (folder.isEmpty() || !fill(clean)) return false;
  mFolder = clean;
  return true;
}

bool PictureList::refresh() {
  return !mFolder.isEmpty() && fill(mFolder);
}

bool PictureList::select(int index) {
  if (index < -1 || index >= count()) return false;
  mSelecting = true;
  setCurrentRow(index);
  if (index < 0) clearSelection();
  mSelecting = false;
  Q_EMIT selected();
  return true;
}

QString PictureList::selectedName() const {
  const int row = currentRow();
  return row >= 0 ? item(row)->text() : QString();
}

int PictureList::indexOf(const QString& fileName) const {
  for (int row = 0; row < count(); ++row) {
    if (item(row)->text() == fileName) return row;
  }
  return -1;
}

QString PictureList::selectedPath() const {
  return pathAt(currentRow());
}

QString PictureList::pathAt(int index) const {
  return index >= 0 && index < count() ? mFolder + QLatin1Char('/') + item(index)->text()
                                       : QString();
}

}  // namespace trimora
