#include "StatusOverlay.h"

#include <QLabel>

namespace trimora {

namespace {
constexpr int kMargin = 8;
constexpr int kHeight = 33;
constexpr int kHideAfterMs = 3000;
}  // namespace

StatusOverlay::StatusOverlay(ClockService& clock, QWidget* parent) : QWidget(parent) {
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, QColor(0x36, 0x55, 0x9C));
  palette.setColor(QPalette::WindowText, Qt::white);
  setPalette(palette);
  setAutoFillBackground(true);

  mTextLabel = new QLabel(QStringLiteral("100%"), this);
  QFont font(QStringLiteral("Verdana"));
  font.setPixelSize(13);
  font.setBold(true);
  mTextLabel->setFont(font);
  mTextLabel->setTextFormat(Qt::PlainText);
  mTextLabel->move(kMargin, 6);
  mTextLabel->resize(mTextLabel->sizeHint());
  move(kMargin, kMargin);
  resize(2 * kMargin + mTextLabel->width(), kHeight);
  hide();

  mHideTimer = std::make_unique<ClockTimer>(clock, kHideAfterMs, [this] {
    mHideTimer->setActive(false);
    hide();
  });
}

StatusOverlay::~StatusOverlay() = default;

void StatusOverlay::showMessage(const QString& text) {
  if (!text.isEmpty()) {
    mTextLabel->setText(text);
    mTextLabel->resize(mTextLabel->sizeHint());
  }
  resize(2 * kMargin + mTextLabel->width(), kHeight);
  show();
  raise();
  mHideTimer->setActive(true);  // a new notice starts a fresh three seconds
  Q_EMIT messageShown(mTextLabel->text());
}

QString StatusOverlay::text() const {
  return mTextLabel->text();
}

void StatusOverlay::stop() {
  mHideTimer->setActive(false);
}

}  // namespace trimora
