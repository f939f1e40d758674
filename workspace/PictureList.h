#pragma once

#include <QList>
#include <QListWidget>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace trimora {

// The pictures of one folder: the files whose names match the picture masks
// (letter case ignored, so IMG_1.JPG is listed), names only, sorted without
// regard to case. Selecting an entry, by the user or from code, emits
// selected() (also when it was selected already).
class PictureList : public QListWidget {
  Q_OBJECT
 public:
  explicit PictureList(QWidget* parent = nullptr);

  // Masks such as "*.jpg;*.png".
  void setMasks(const QString& masks);
  // Whether a file of this name would be listed: it matches a mask.
  bool lists(const QString& fileName) const;
  // The folder listed; empty before any folder was set.
  QString folder() const { return mFolder; }
  // Lists the folder and selects nothing. False, keeping the previous folder
  // and its list, when the folder cannot be opened.
  bool setFolder(const QString& folder);
  // Lists the folder again, selecting nothing; false when it can no longer be read.
  bool refresh();

  int selectedIndex() const { return currentRow(); }
  // Selects an entry (-1: none); refuses an index outside the list.
  bool select(int index);
  // The selected entry's name, and its whole path; empty without a selection.
  QString selectedName() const;
  QString selectedPath() const;
  // The whole path of an entry; empty outside the list.
  QString pathAt(int index) const;
  // The row of the entry of this name (letter case counts); -1 when none has it.
  int indexOf(const QString& fileName) const;

 Q_SIGNALS:
  void selected();

 private:
  bool fill(const QString& folder);

  QString mFolder;
  QList<QRegularExpression> mMasks;
  bool mSelecting = false;
};

}  // namespace trimora
