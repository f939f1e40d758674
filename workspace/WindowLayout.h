#pragma once

#include <QRect>

// The geometry of the workspace window as plain numbers, in twips, so that the
// window only applies it.
namespace trimora {

inline constexpr int kMinFormWidth = 10300;
inline constexpr int kMinFormHeight = 7300;
inline constexpr int kPanelWidth = 2535;
inline constexpr int kDesignClientWidth = 15330;
inline constexpr int kDesignClientHeight = 9315;
// The outer window size is the client area plus these margins. They are the
// ones the layout leaves without thick frames, so the viewport and the panel
// fill the client area exactly.
inline constexpr int kFrameExtraWidth = 100;
inline constexpr int kFrameExtraHeight = 400;

struct LayoutInput {
  int formWidth = kMinFormWidth;  // outer size
  int formHeight = kMinFormHeight;
  bool thickFrame = false;
  // Design heights of the controls the bottom stack is built from.
  int label18Height = 195;
  int check2Height = 255;
  int check1Height = 255;
  int image4Height = 270;
  int file1Top = 2160;
  int hScroll1Height = 255;
  int vScroll1Width = 255;
};

struct WindowLayout {
  int formWidth = 0;  // after the minimum size is applied
  int formHeight = 0;
  QRect picture2;  // viewport, in the window
  int picfrmLeft = 0, picfrmTop = 0, picfrmHeight = 0;
  // Bottom stack of the options panel, tops inside the panel.
  int linksTop = 0;   // Donate, Homepage, Help
  int label2Top = 0;  // arrow keys label
  int check2Top = 0;  // "Max Crop Size"
  int check1Top = 0;  // "Resize Lock" and "Auto Pan"
  int image4Top = 0;  // zoom row bar
  int zoomTop = 0;    // "Resize" label and zoom bar
  int file1Height = 0;
  QRect vScroll1, hScroll1;  // inside the viewport
};

WindowLayout ComputeWindowLayout(const LayoutInput& in);

}  // namespace trimora
