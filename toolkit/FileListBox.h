#pragma once

#include <QListWidget>
#include <QStringList>
#include <functional>

#include "TwipsGeometry.h"

namespace trimora {

// Lists the files of one folder whose names match a set of masks such as
// "*.jpg;*.gif" (letter case ignored, so IMG_1.JPG is listed), names only,
// sorted ascending without regard to case. Assigning ListIndex, from code or
// by the user, runs Click.
class FileListBox : public TwipsGeometry<QListWidget> {
  Q_OBJECT
 public:
  explicit FileListBox(QWidget* parent = nullptr);

  QString Pattern() const { return pattern_; }
  void setPattern(const QString& pattern);

  // The folder listed; empty before any folder was assigned.
  QString Path() const { return path_; }
  // Lists the folder and selects nothing. Returns false, keeping the previous
  // folder and its list, when the folder cannot be opened.
  bool setPath(const QString& path);
  // Lists the folder again; the selection is dropped. False when the folder
  // can no longer be read (the list then keeps what it showed).
  bool Refresh();

  int ListCount() const { return count(); }
  int ListIndex() const { return currentRow(); }
  // Refuses (returns false) an index outside -1 .. ListCount - 1.
  bool setListIndex(int index);
  QString FileName() const;
  QString List(int index) const;

  std::function<void()> onClick;

 private:
  bool fill(const QString& folder);

  QString path_;
  QString pattern_;
  bool settingIndex_ = false;
};

}  // namespace trimora
