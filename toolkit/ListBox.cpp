#include "ListBox.h"

#include <QKeyEvent>

namespace trimora {

ListBox::ListBox(QWidget* parent) : TwipsGeometry<QListWidget>(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  setUniformItemSizes(true);
  connect(this, &QListWidget::itemDoubleClicked, this, [this] {
    if (onDblClick) onDblClick();
  });
}

QString ListBox::List(int index) const {
  const QListWidgetItem* entry = item(index);
  return entry ? entry->text() : QString();
}

bool ListBox::setListIndex(int index) {
  if (index < -1 || index >= count()) return false;
  setCurrentRow(index);
  if (index >= 0) scrollToItem(item(index));
  return true;
}

void ListBox::keyReleaseEvent(QKeyEvent* event) {
  QListWidget::keyReleaseEvent(event);
  if (!event->isAutoRepeat() && onKeyUp) onKeyUp(event->key());
}

}  // namespace trimora
