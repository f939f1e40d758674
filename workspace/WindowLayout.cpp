#include "WindowLayout.h"

#include <algorithm>

namespace trimora {

WindowLayout ComputeWindowLayout(const LayoutInput& in) {
  WindowLayout out;
  out.formWidth = std::max(in.formWidth, kMinFormWidth);
  out.formHeight = std::max(in.formHeight, kMinFormHeight);

  const int sideMargin = in.thickFrame ? 300 : 100;
  const int bottomMargin = in.thickFrame ? 600 : 400;
  out.picture2 =
      QRect(0, 0, out.formWidth - sideMargin - kPanelWidth - 10, out.formHeight - bottomMargin);
  out.picfrmLeft = out.picture2.width() + 10;
  out.picfrmHeight = out.picture2.height();
  out.picfrmTop = 0;  // level with the viewport, as tall as it

  out.linksTop = out.picfrmHeight - in.label18Height - 200;
  out.label2Top = out.linksTop - in.label18Height - 200;
  out.check2Top = out.label2Top - in.check2Height - 60;
  out.check1Top = out.check2Top - in.check1Height - 30;
  out.image4Top = out.check1Top - in.image4Height - 100;
  out.zoomTop = out.image4Top + 30;
  out.file1Height = out.image4Top - in.file1Top - 100;

  const int w = out.picture2.width();
  const int h = out.picture2.height();
  out.vScroll1 = QRect(w - in.vScroll1Width, 0, in.vScroll1Width, h - in.hScroll1Height);
  out.hScroll1 = QRect(0, h - in.hScroll1Height, w, in.hScroll1Height);
  return out;
}

}  // namespace trimora
