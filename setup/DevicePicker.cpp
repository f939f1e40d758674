#include "DevicePicker.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QStyledItemDelegate>

#include "DeviceChoice.h"
#include "DialogFrame.h"

namespace trimora {

namespace {

// Fewer letters than this show the whole list.
constexpr int kSearchFrom = 3;

// The entry's screen size as shown beside its name ("640 x 960"), apart from
// the item's text, which stays the name that a choice looks up.
constexpr int kSizeRole = Qt::UserRole;
constexpr int kSizeMargin = 6;
const QColor kSizeGrey(128, 128, 128);
const QColor kMarkedGrey(170, 170, 170);

// Draws an entry as usual, its name cut short where it would reach the size,
// and the size at the right end of the row.
class SizeBesideNameDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QStyleOptionViewItem entry(option);
    initStyleOption(&entry, index);
    const QWidget* widget = entry.widget;
    const QStyle* style = widget ? widget->style() : QApplication::style();
    const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &entry, widget);
    const QString size = index.data(kSizeRole).toString();
    const int sizeWidth =
        size.isEmpty() ? 0 : entry.fontMetrics.horizontalAdvance(size) + kSizeMargin;
    entry.text = entry.fontMetrics.elidedText(entry.text, Qt::ElideRight,
                                              textRect.width() - 2 * kSizeMargin - sizeWidth);
    style->drawControl(QStyle::CE_ItemViewItem, &entry, painter, widget);
    if (size.isEmpty()) return;
    const bool selected = entry.state & QStyle::State_Selected;
    const bool marked = index.data(Qt::ForegroundRole).isValid();
    painter->save();
    painter->setFont(entry.font);
    painter->setPen(selected ? entry.palette.color(QPalette::HighlightedText)
                             : (marked ? kMarkedGrey : kSizeGrey));
    painter->drawText(textRect.adjusted(0, 0, -kSizeMargin, 0), Qt::AlignRight | Qt::AlignVCenter,
                      size);
    painter->restore();
  }
};

QListWidget* makeList(QWidget* parent) {
  auto* list = new QListWidget(parent);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setUniformItemSizes(true);
  list->setGeometry(0, 32, 425, 238);
  list->setItemDelegate(new SizeBesideNameDelegate(list));
  return list;
}

// "640x960" as "640 x 960"; a size that is not two whole numbers as it stands.
QString shownSize(const QString& size, QSize* pixels) {
  const QStringList parts = sizeParts(size);
  bool wideOk = false, highOk = false;
  const int width = parts.value(0).toInt(&wideOk), height = parts.value(1).toInt(&highOk);
  if (parts.size() != 2 || !wideOk || !highOk) return size;
  *pixels = QSize(width, height);
  return QStringLiteral("%1 x %2").arg(width).arg(height);
}

void setBaseColor(QWidget& widget, const QColor& color) {
  QPalette palette = widget.palette();
  palette.setColor(QPalette::Base, color);
  widget.setPalette(palette);
}

}  // namespace

DevicePicker::DevicePicker(const Services& services, QWidget* owner)
    : QDialog(owner), mServices(services) {
  setUpDialogFrame(*this, QStringLiteral("Select Device"), QSize(427, 277));

  auto* searchLabel = new QLabel(QStringLiteral("Search"), this);
  // As tall as the search box, so the caption sits level with its text, and
  // wide enough for the caption in whatever font stands in for Tahoma.
  searchLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  searchLabel->setGeometry(8, 8, std::max(33, searchLabel->sizeHint().width()), 19);

  mSearchEdit = new QLineEdit(this);
  mSearchEdit->setGeometry(48, 8, 369, 19);
  setBaseColor(*mSearchEdit, Qt::white);
  mSearchEdit->setPlaceholderText(QStringLiteral("three letters or more"));

  // Made in tab order: the search box, then whichever list is on show.
  mDeviceList = makeList(this);
  mResultList = makeList(this);
  mResultList->hide();
  mSearchEdit->setFocus();
  mSearchEdit->installEventFilter(this);

  connect(mSearchEdit, &QLineEdit::textChanged, this, &DevicePicker::search);
  for (QListWidget* list : {mDeviceList, mResultList}) {
    list->installEventFilter(this);
    connect(list, &QListWidget::itemDoubleClicked, this,
            [this, list](QListWidgetItem* item) { choose(list->row(item)); });
  }
}

bool DevicePicker::load() {
  auto devices = readDeviceCatalogue(deviceCataloguePath());
  if (!devices) {
    mServices.messages->show(parentWidget(), QStringLiteral("Devices.dat file missing!"),
                             MessageButtons::Ok, MessageIcon::Stop);
    return false;
  }
  mCatalogue = std::move(*devices);
  for (const DeviceLine& device : mCatalogue) mDeviceList->addItem(device.name);
  markDevices();
  return true;
}

void DevicePicker::setPictureSize(const QSize& size) {
  mPictureSize = size;
  markDevices();
}

// Every entry (one a catalogue line) gets its shown size, and a mark when the
// picture cannot fill it; the search hits are made again from them.
void DevicePicker::markDevices() {
  const QSize& picture = mPictureSize;
  for (int row = 0; row < mDeviceList->count(); ++row) {
    const DeviceLine& device = mCatalogue[static_cast<std::size_t>(row)];
    if (!device.hasSize) continue;
    QListWidgetItem* entry = mDeviceList->item(row);
    QSize screen;
    entry->setData(kSizeRole, shownSize(device.size, &screen));
    const bool fits = screen.boundedTo(picture) == screen ||
                      screen.transposed().boundedTo(picture) == screen.transposed();
    const bool marked = !picture.isEmpty() && !screen.isEmpty() && !fits;
    entry->setData(Qt::ForegroundRole, marked ? QVariant(kMarkedGrey) : QVariant());
    entry->setToolTip(marked ? QStringLiteral("The picture shown (%1 x %2) cannot fill this "
                                              "screen, even at its own size")
                                   .arg(picture.width())
                                   .arg(picture.height())
                             : QString());
  }
  search(mSearchEdit->text());
}

void DevicePicker::setSearchText(const QString& text) {
  mSearchEdit->setText(text);
}

QStringList DevicePicker::shownDevices() const {
  QStringList entries;
  const QListWidget* list = shownList();
  for (int row = 0; row < list->count(); ++row) entries << list->item(row)->text();
  return entries;
}

void DevicePicker::choose(int row) {
  const QListWidgetItem* entry = shownList()->item(row);
  if (!entry) return;
  for (const DeviceLine& device : mCatalogue) {
    if (device.name != entry->text()) continue;
    // A line without a size closes the picker and leaves the last choice.
    if (device.hasSize) lastDeviceChoice() = {device.name, device.size};
    accept();
    return;
  }
}

bool DevicePicker::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
    return QDialog::eventFilter(watched, event);
  const auto* key = static_cast<QKeyEvent*>(event);
  // Down in the search box goes to the first entry of the list on show.
  if (event->type() == QEvent::KeyPress && watched == mSearchEdit && key->key() == Qt::Key_Down) {
    QListWidget* list = shownList();
    list->setFocus(Qt::TabFocusReason);
    if (list->count() > 0) list->setCurrentRow(0);
    return true;
  }
  // Enter chooses on its release (not on auto-repeat): in the list on show,
  // its current entry; in the search box, the first hit of a search.
  if (event->type() == QEvent::KeyRelease) {
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (enter && !key->isAutoRepeat() && watched == shownList()) choose(shownList()->currentRow());
    if (enter && !key->isAutoRepeat() && watched == mSearchEdit && !mResultList->isHidden())
      choose(0);
  }
  return QDialog::eventFilter(watched, event);
}

void DevicePicker::search(const QString& text) {
  const bool searching = text.size() >= kSearchFrom;
  mResultList->setVisible(searching);
  mDeviceList->setVisible(!searching);
  mResultList->clear();
  if (searching) {
    for (int row = 0; row < mDeviceList->count(); ++row) {
      const QListWidgetItem* entry = mDeviceList->item(row);
      if (entry->text().contains(text, Qt::CaseInsensitive)) mResultList->addItem(entry->clone());
    }
  }
  setBaseColor(*mSearchEdit, mResultList->count() > 0 ? QColor(255, 255, 0) : QColor(Qt::white));
}

QListWidget* DevicePicker::shownList() const {
  return mResultList->isHidden() ? mDeviceList : mResultList;
}

void runDevicePicker(const Services& services, QWidget* owner, const QSize& pictureSize) {
  DevicePicker picker(services, owner);
  picker.setPictureSize(pictureSize);
  if (picker.load()) picker.exec();
}

}  // namespace trimora
