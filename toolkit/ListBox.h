#pragma once

#include <QListWidget>
#include <functional>

#include "TwipsGeometry.h"

namespace trimora {

// A list of texts in the order they were added (never sorted). DblClick runs
// when the user double-clicks an entry; KeyUp when a key is released while the
// list has the focus (not for auto-repeat), with the Qt key code.
class ListBox : public TwipsGeometry<QListWidget> {
  Q_OBJECT
 public:
  explicit ListBox(QWidget* parent = nullptr);

  void AddItem(const QString& text) { addItem(text); }
  void Clear() { clear(); }
  int ListCount() const { return count(); }
  QString List(int index) const;
  int ListIndex() const { return currentRow(); }
  // Refuses (returns false) an index outside -1 .. ListCount - 1.
  bool setListIndex(int index);
  // The selected entry's text, or an empty text when none is selected.
  QString Text() const { return List(currentRow()); }

  std::function<void()> onDblClick;
  std::function<void(int key)> onKeyUp;

 protected:
  void keyReleaseEvent(QKeyEvent* event) override;
};

}  // namespace trimora
