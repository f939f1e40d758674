#include "WindowLayout.h"

#include <algorithm>

namespace trimora {

WindowLayout computeWindowLayout(QSize client) {
  const QSize size = client.expandedTo(kMinimumClientSize);
  WindowLayout l;
  // One pixel of the window shows between the view and the panel.
  l.cropView = QRect(0, 0, size.width() - kPanelWidth - 1, size.height());
  l.panel = QRect(size.width() - kPanelWidth, 0, kPanelWidth, size.height());

  // The bottom rows keep their distances from the panel's bottom edge.
  const int panel = l.panel.height();
  l.linksTop = panel - 26;
  l.arrowKeysTop = panel - 53;
  l.maxCropSizeTop = panel - 74;
  l.resizeLockTop = panel - 93;
  l.zoomBarTop = panel - 117;
  l.zoomTop = panel - 115;
  l.pictureListHeight = std::max(l.zoomBarTop - 7 - kPictureListTop, 0);
  return l;
}

}  // namespace trimora
