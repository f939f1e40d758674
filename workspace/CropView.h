#pragma once

#include <QImage>
#include <QWidget>

class QLabel;
class QScrollBar;

namespace trimora {

class PictureCanvas;

// The crop view: the shown picture (the canvas) in a scrollable view, the crop
// frame over it, the "Already Cropped"/"Cropped" mark on the frame, and the
// pointer, mouse and keys on the picture. It knows nothing of files or zoom:
// the main window hands it a canvas and a frame size, and hears back keys,
// clicks and pointer moves. All positions are in pixels: canvas positions
// relative to the canvas's top-left, global ones as the pointer service gives.
// A canvas too large for its frame to fit the view is shown smaller, at
// scale() (below 1): the picture handed over is then the canvas at that scale,
// and the frame, the pointer and the keys still work in canvas pixels.
class CropView : public QWidget {
  Q_OBJECT
 public:
  explicit CropView(QWidget* parent = nullptr);

  // --- the canvas
  // The picture as shown; canvasSize, when given, is the canvas it stands for (a
  // larger one: the view's scale is then the shown width over the canvas width).
  void setPicture(QImage shown, QSize canvasSize = {});
  void clearPicture() { setPicture(QImage()); }
  const QImage& picture() const;
  QSize canvasSize() const { return mCanvasSize; }
  double scale() const { return mScale; }
  // Between view (shown) and canvas pixels.
  QPoint toCanvas(QPoint shown) const;
  QRect toShown(const QRect& canvasRect) const;
  bool hasPicture() const { return !picture().isNull(); }
  // Where the picture itself lies on the canvas (the bands of a picture raised to the least
  // canvas excluded): the frame stays on it. The whole canvas after setPicture().
  void setPictureArea(const QRect& area);
  QRect pictureArea() const { return mPictureArea; }
  // Shows or hides the canvas widget (hidden while no list entry is selected
  // and no picture is shown).
  void setCanvasVisible(bool visible);
  bool isCanvasVisible() const;

  // --- the frame
  void setFrameSize(QSize size);
  QSize frameSize() const { return mFrameSize; }
  // The frame's rectangle on the canvas.
  QRect frameRect() const { return {mFrameTopLeft, mFrameSize}; }
  void setFrameTopLeft(QPoint topLeft);
  void setFrameShown(bool shown);
  bool isFrameShown() const { return mFrameShown; }
  // Centres the frame on a canvas position, kept on the picture.
  void trackPointer(QPoint canvasPos);
  // Places the frame where the pointer at a global position puts it when the
  // pointer is over the visible part of the view; otherwise keeps it on the
  // picture as near its place as it can and scrolls it into view.
  void placeFrameAtPointer(QPoint globalPos);
  // The mark in the frame's top-right corner; an empty text hides it.
  void setCroppedMark(const QString& text);
  // The mark's text while it shows, else empty.
  QString croppedMark() const;

  // --- scrolling
  // The part of the view the scroll bars leave uncovered.
  QSize visibleSize() const;
  // Where the canvas lies in the view.
  QRect canvasGeometry() const;
  // How far the view scrolls each way (0: that bar is off).
  QSize scrollRange() const;
  QPoint scrollPosition() const;
  void scrollTo(QPoint position);
  // Back to the top-left, then scroll bars and centring for the canvas.
  void resetScroll();
  void updateScrollBars();
  void centrePicture();
  // Whether a global position lies over the visible part of the view.
  bool isOverView(QPoint globalPos) const;
  // Scrolls towards a frame that reaches past the visible part, a few steps
  // at a time, the frame following the resting pointer at globalPos.
  void autoPan(QPoint globalPos);

  // --- keyboard
  void focusPicture();
  bool pictureHasFocus() const;

 Q_SIGNALS:
  // A key released on the picture (not an auto-repeat).
  void keyReleased(int key);
  // A left press on the picture, released anywhere.
  void clicked();
  // The picture has been painted on screen.
  void painted();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  // The wheel scrolls the view (sideways with Shift), the frame following a resting pointer.
  void wheelEvent(QWheelEvent* event) override;

 private:
  void placeCroppedMark();

  PictureCanvas* mCanvas;
  QScrollBar* mHorizontalScrollBar;
  QScrollBar* mVerticalScrollBar;
  QLabel* mCroppedMark;
  QSize mCanvasSize;
  double mScale = 1.0;
  QRect mPictureArea;
  QSize mFrameSize;
  QPoint mFrameTopLeft;
  bool mFrameShown = false;
};

}  // namespace trimora
