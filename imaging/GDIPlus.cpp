#include "GDIPlus.h"

#include <vips/vips.h>

#include <algorithm>
#include <set>

#include "PictureSource.h"
#include "TextRules.h"

namespace trimora {

std::uint32_t GdipToken = 0;

namespace {

// Tokens handed out and not yet shut down.
std::set<std::uint32_t>& LiveTokens() {
  static std::set<std::uint32_t> tokens;
  return tokens;
}

}  // namespace

void InitGDIPlus() {
  GdipToken = StartupGDIPlus();
}

std::uint32_t StartupGDIPlus() {
  static std::uint32_t lastToken = 0;
  if (!imaging::EnsureVips()) return 0;
  if (++lastToken == 0) ++lastToken;
  LiveTokens().insert(lastToken);
  return lastToken;
}

void FreeGDIPlus() {
  ShutdownGDIPlus(GdipToken);
}

void ShutdownGDIPlus(std::uint32_t token) {
  if (token == 0 || LiveTokens().erase(token) == 0) return;
  // libvips cannot be started again once shut down, and a later window may
  // still want pictures, so only this thread's buffers go now (the operation
  // cache is kept empty all along); the library itself ends with the process.
  vips_thread_shutdown();
}

void GetPictureFileSize(const QString& fileName, int& Width, int& Height) {
  const auto source = imaging::PictureSource::Open(fileName);
  if (!source) return;
  const QSize size = source->UprightSize();
  Width = size.width();
  Height = size.height();
}

QImage LoadDisplayPicture(const QString& fileName, int& Width, int& Height, bool RetainRatio,
                          QString* whyNot) {
  return LoadScaledPicture(fileName, Width, Height, 0xFFFFFF, RetainRatio, 2000, whyNot);
}

QString CannotReadPictureText() {
  return QStringLiteral("Cannot read picture");
}

QString TooLargePictureText(std::int64_t pixels) {
  // Whole megapixels; a refused picture is never below one at any sane budget.
  const std::int64_t megapixels = std::max<std::int64_t>(1, (pixels + 500000) / 1000000);
  return QStringLiteral("Picture too large to open (%1 MP)").arg(megapixels);
}

QSize CanvasSizeFor(QSize pictureSize, int Width, int Height, int MaxSize) {
  if (Width == -1) Width = pictureSize.width();
  if (Height == -1) Height = pictureSize.height();
  if (MaxSize > 0) {
    if (Width > MaxSize) Width = MaxSize;
    if (Height > MaxSize) Height = MaxSize;
  }
  return {Width, Height};
}

QRect FitRect(QSize pictureSize, QSize canvas, bool RetainRatio) {
  if (!RetainRatio) return {QPoint(0, 0), canvas};
  const double ri = double(pictureSize.width()) / double(pictureSize.height());
  const double rd = double(canvas.width()) / double(canvas.height());
  int fw = 0;
  int fh = 0;
  if (rd < ri) {
    fw = canvas.width();
    fh = nearestInt(canvas.width() / ri);
  } else {
    fw = nearestInt(canvas.height() * ri);
    fh = canvas.height();
  }
  const int x = nearestInt((canvas.width() - fw) / 2.0);
  const int y = nearestInt((canvas.height() - fh) / 2.0);
  return {x, y, fw, fh};
}

namespace {

QString TextFor(const imaging::Refusal& refusal) {
  switch (refusal.kind) {
    case imaging::Refusal::Kind::None:
      return {};
    case imaging::Refusal::Kind::TooLarge:
      return TooLargePictureText(refusal.pixels);
    case imaging::Refusal::Kind::Unreadable:
      break;
  }
  return CannotReadPictureText();
}

imaging::Refusal Draw(const QString& fileName, int& Width, int& Height, std::uint32_t BackColor,
                      bool RetainRatio, int MaxSize, QImage& canvas) {
  imaging::Refusal refusal;
  const auto source = imaging::PictureSource::Open(fileName, &refusal);
  if (!source) return refusal;
  const QSize picture = source->UprightSize();
  const QSize canvasSize = CanvasSizeFor(picture, Width, Height, MaxSize);
  if (canvasSize.width() <= 0 || canvasSize.height() <= 0) return imaging::Refusal::Unreadable();
  if (std::int64_t(canvasSize.width()) * canvasSize.height() > kMaxCanvasPixels) {
    return imaging::Refusal::TooLarge(picture);
  }
  canvas = QImage(canvasSize, QImage::Format_RGB32);
  if (canvas.isNull()) return imaging::Refusal::TooLarge(picture);
  canvas.fill(QColor(BackColor & 0xFF, (BackColor >> 8) & 0xFF, (BackColor >> 16) & 0xFF));
  // A fitted side that rounds to nothing draws nothing, as an empty
  // destination rectangle would; the canvas stays plain.
  const QRect target = FitRect(picture, canvasSize, RetainRatio) & canvas.rect();
  if (!target.isEmpty()) refusal = source->DrawInto(canvas, target, BackColor);
  if (refusal) return refusal;
  Width = canvasSize.width();
  Height = canvasSize.height();
  return {};
}

}  // namespace

QImage LoadScaledPicture(const QString& fileName, int& Width, int& Height, std::uint32_t BackColor,
                         bool RetainRatio, int MaxSize, QString* whyNot) {
  QImage canvas;
  const imaging::Refusal refusal =
      Draw(fileName, Width, Height, BackColor, RetainRatio, MaxSize, canvas);
  // No file asked for (no entry selected) gives no picture and nothing to tell.
  if (whyNot) *whyNot = fileName.isEmpty() ? QString() : TextFor(refusal);
  return refusal ? QImage() : canvas;
}

}  // namespace trimora
