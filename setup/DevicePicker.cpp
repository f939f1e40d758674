#include "DevicePicker.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

#include "DeviceChoice.h"
#include "DialogFrame.h"

namespace trimora {

namespace {

// Fewer letters than this show the whole list.
constexpr int kSearchFrom = 3;

QListWidget* makeList(QWidget* parent) {
  auto* list = new QListWidget(parent);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setUniformItemSizes(true);
  list->setGeometry(0, 32, 425, 238);
  return list;
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
  return true;
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
  // Enter chooses on its release (not on auto-repeat), in the list on show.
  if (event->type() == QEvent::KeyRelease) {
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (enter && !key->isAutoRepeat() && watched == shownList()) choose(shownList()->currentRow());
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
      const QString entry = mDeviceList->item(row)->text();
      if (entry.contains(text, Qt::CaseInsensitive)) mResultList->addItem(entry);
    }
  }
  setBaseColor(*mSearchEdit, mResultList->count() > 0 ? QColor(255, 255, 0) : QColor(Qt::white));
}

QListWidget* DevicePicker::shownList() const {
  return mResultList->isHidden() ? mDeviceList : mResultList;
}

void runDevicePicker(const Services& services, QWidget* owner) {
  DevicePicker picker(services, owner);
  if (picker.load()) picker.exec();
}

}  // namespace trimora
