#pragma once

#include <QRect>
#include <QSize>

// Where the main window's parts go for a given client size, in pixels: the
// crop view on the left, the options panel down the right side, and the
// options panel's bottom rows (zoom, options, links), which follow its height.
namespace trimora {

inline constexpr QSize kMinimumClientSize(680, 460);
inline constexpr QSize kDesignClientSize(1022, 621);
inline constexpr int kPanelWidth = 169;
// The picture list's top inside the panel.
inline constexpr int kPictureListTop = 144;

struct WindowLayout {
  QRect cropView;  // in the window
  QRect panel;     // in the window
  // Tops inside the panel.
  int linksTop = 0;      // Donate, Homepage, Help
  int arrowKeysTop = 0;  // the arrow keys link
  int maxCropSizeTop = 0;
  int resizeLockTop = 0;  // with "Auto Pan" beside it
  int zoomBarTop = 0;     // the shaded bar behind the zoom row
  int zoomTop = 0;        // the "Resize" caption and the zoom scroll bar
  int pictureListHeight = 0;
};

// The layout for a client area; a size below the minimum is laid out as the minimum.
WindowLayout computeWindowLayout(QSize client);

}  // namespace trimora
