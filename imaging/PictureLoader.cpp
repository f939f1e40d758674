#include "PictureLoader.h"

#include <vips/vips.h>

#include <algorithm>

#include <QFile>

#include "Bitmap24.h"
#include "JpegStream.h"
#include "PictureSource.h"
#include "TextRules.h"

namespace trimora {

ImagingLibrary::ImagingLibrary() : mRunning(imaging::ensureVips()) {}

ImagingLibrary::~ImagingLibrary() {
  // libvips cannot be started again once shut down, and a later window may
  // still want pictures, so only this thread's buffers go now (the operation
  // cache is kept empty all along); the library itself ends with the process.
  if (mRunning) vips_thread_shutdown();
}

namespace {
thread_local const std::atomic<bool>* tAbandoned = nullptr;
}  // namespace

LoadAbandonment::LoadAbandonment(const std::atomic<bool>* abandoned) : mOuter(tAbandoned) {
  tAbandoned = abandoned;
}

LoadAbandonment::~LoadAbandonment() {
  tAbandoned = mOuter;
}

bool loadAbandoned() {
  return tAbandoned && tAbandoned->load(std::memory_order_relaxed);
}

const std::atomic<bool>* loadAbandonmentFlag() {
  return tAbandoned;
}

std::optional<QSize> pictureFileSize(const QString& fileName) {
  const auto source = imaging::PictureSource::open(fileName);
  if (!source) return std::nullopt;
  return source->uprightSize();
}

QString pictureCaptureDate(const QString& fileName) {
  const auto source = imaging::PictureSource::open(fileName);
  return source ? source->captureDate() : QString();
}

QImage loadDisplayPicture(const QString& fileName, QSize request, QString* whyNot) {
  return loadScaledPicture(fileName, request, Qt::white, Qt::KeepAspectRatio, kMaxDisplaySide,
                           whyNot);
}

QString cannotReadPictureText() {
  return QStringLiteral("Cannot read picture");
}

QString tooLargePictureText(std::int64_t pixels) {
  // Whole megapixels; a refused picture is never below one at any sane budget.
  const std::int64_t megapixels = std::max<std::int64_t>(1, (pixels + 500000) / 1000000);
  return QStringLiteral("Picture too large to open (%1 MP)").arg(megapixels);
}

QSize canvasSizeFor(QSize pictureSize, QSize request, int maxSide) {
  QSize canvas(request.width() == -1 ? pictureSize.width() : request.width(),
               request.height() == -1 ? pictureSize.height() : request.height());
  if (maxSide > 0) canvas = canvas.boundedTo({maxSide, maxSide});
  return canvas;
}

QRect fitRect(QSize pictureSize, QSize canvas, Qt::AspectRatioMode mode) {
  if (mode == Qt::IgnoreAspectRatio) return {QPoint(0, 0), canvas};
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

QString textFor(const imaging::Refusal& refusal) {
  switch (refusal.kind) {
    case imaging::Refusal::Kind::None:
      return {};
    case imaging::Refusal::Kind::TooLarge:
      return tooLargePictureText(refusal.pixels);
    case imaging::Refusal::Kind::NotInstalled:
      return cannotReadPictureText() +
             QStringLiteral(": %1 support is not installed").arg(QLatin1String(refusal.format));
    case imaging::Refusal::Kind::Unreadable:
      break;
  }
  return cannotReadPictureText();
}

// Draws the part `region` of the canvas (all of it when empty) into `canvas`; *note says what the
// drawing could not do although it drew.
imaging::Refusal draw(const QString& fileName, QSize request, const QColor& background,
                      Qt::AspectRatioMode mode, int maxSide, QImage& canvas, QString* note,
                      QRect region = {}) {
  imaging::Refusal refusal;
  const auto source = imaging::PictureSource::open(fileName, &refusal);
  if (!source) return refusal;
  const QSize picture = source->uprightSize();
  const QSize canvasSize = canvasSizeFor(picture, request, maxSide);
  if (canvasSize.width() <= 0 || canvasSize.height() <= 0) return imaging::Refusal::unreadable();
  if (region.isEmpty()) region = QRect(QPoint(0, 0), canvasSize);
  if (!QRect(QPoint(0, 0), canvasSize).contains(region)) return imaging::Refusal::unreadable();
  if (std::int64_t(region.width()) * region.height() > kMaxCanvasPixels) {
    return imaging::Refusal::tooLarge(picture);
  }
  canvas = QImage(region.size(), QImage::Format_RGB32);
  if (canvas.isNull()) return imaging::Refusal::tooLarge(picture);
  canvas.fill(background);
  // A fitted side that rounds to nothing draws nothing, as an empty
  // destination rectangle would; the canvas stays plain.
  const QRect target = fitRect(picture, canvasSize, mode) & QRect(QPoint(0, 0), canvasSize);
  const QRect shown = target & region;
  if (shown.isEmpty()) return refusal;
  refusal = source->drawWindow(canvas, shown.topLeft() - region.topLeft(), target.size(),
                               shown.translated(-target.topLeft()), background);
  if (note) *note = source->note();
  return refusal;
}

}  // namespace

QImage loadScaledPicture(const QString& fileName, QSize request, const QColor& background,
                         Qt::AspectRatioMode mode, int maxSide, QString* whyNot) {
  QImage canvas;
  QString note;
  const imaging::Refusal refusal =
      draw(fileName, request, background, mode, maxSide, canvas, &note);
  // No file asked for (no entry selected) gives no picture and nothing to tell.
  if (whyNot) *whyNot = fileName.isEmpty() ? QString() : refusal ? textFor(refusal) : note;
  return refusal ? QImage() : canvas;
}

QImage loadPictureRegion(const QString& fileName, QSize canvasSize, const QRect& region,
                         QString* whyNot) {
  QImage part;
  QString note;
  const imaging::Refusal refusal =
      region.isEmpty()
          ? imaging::Refusal::unreadable()
          : draw(fileName, canvasSize, Qt::white, Qt::KeepAspectRatio, 0, part, &note, region);
  if (whyNot) *whyNot = refusal ? textFor(refusal) : note;
  return refusal ? QImage() : part;
}

bool loadPictureRegion(const QString& fileName, QSize canvasSize, const QRect& region,
                       Bitmap24& out, QString* whyNot) {
  {
    imaging::Refusal refusal;
    const auto source = imaging::PictureSource::open(fileName, &refusal);
    if (!source) {
      if (whyNot)
        *whyNot =
            textFor(refusal.kind == imaging::Refusal::Kind::None ? imaging::Refusal::unreadable()
                                                                 : refusal);
      return false;
    }
    const QByteArray path = QFile::encodeName(fileName);
    const auto layout = imaging::readJpegLayout(path);
    if (layout && !layout->cmyk && source->orientation() == 1 &&
        source->colourProfile().isEmpty() && source->uprightSize() == canvasSize &&
        QRect(QPoint(0, 0), canvasSize).contains(region)) {
      if (!out.create(region.size())) {
        if (whyNot) *whyNot = tooLargePictureText(std::int64_t(region.width()) * region.height());
        return false;
      }
      switch (imaging::decodeJpegRegion(path, region, out.bits(), out.bytesPerLine())) {
        case imaging::JpegOutcome::Decoded:
          if (whyNot) whyNot->clear();
          return true;
        case imaging::JpegOutcome::Unreadable:
          if (whyNot) *whyNot = cannotReadPictureText();
          return false;
        case imaging::JpegOutcome::OverBudget:
          if (whyNot) *whyNot = textFor(imaging::Refusal::tooLarge(source->uprightSize()));
          return false;
        case imaging::JpegOutcome::HandOn:
          break;
      }
    }
  }
  const QImage part = loadPictureRegion(fileName, canvasSize, region, whyNot);
  return !part.isNull() && out.create(region.size()) &&
         out.copyFrom(part, QPoint(0, 0), region.size());
}

}  // namespace trimora
