#pragma once

#include <QDialog>
#include <vector>

#include "DeviceCatalogue.h"
#include "Services.h"

class QLineEdit;
class QListWidget;
class QListWidgetItem;

namespace trimora {

// The device picker: the whole catalogue in file order, each entry with its
// screen size in grey beside its name, a search box that narrows it from the
// third letter on, and a choice by double-click or Enter. In the search box,
// Down moves into the list on show and Enter chooses the first hit. A choice
// of a line with a size lands in lastDeviceChoice() and closes the picker; a
// close without a choice leaves lastDeviceChoice() as it was.
class DevicePicker : public QDialog {
  Q_OBJECT
 public:
  explicit DevicePicker(const Services& services, QWidget* owner = nullptr);

  // The size of the picture shown last (empty: none). Devices whose screen
  // fits inside it in neither orientation, so that not even the picture at
  // its own size can fill them, are greyed with a tooltip that says so; they
  // stay in the list and can still be chosen.
  void setPictureSize(const QSize& size);

  // Fills the list from the catalogue, read afresh. When the catalogue cannot
  // be read, tells the user and returns false: the picker is not to be shown.
  bool load();
  // Puts text into the search box, as if the user had typed it.
  void setSearchText(const QString& text);
  // The entries of the list on show: the whole catalogue, or the search hits.
  QStringList shownDevices() const;
  // Chooses the entry at row of the list on show, as Enter or a double-click
  // on it does. The first catalogue line of that name is taken (two lines may
  // share a name); a row outside the list chooses nothing.
  void choose(int row);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void search(const QString& text);
  void markDevices();
  QListWidget* shownList() const;

  Services mServices;
  std::vector<DeviceLine> mCatalogue;
  QSize mPictureSize;
  QLineEdit* mSearchEdit;
  QListWidget* mDeviceList;  // every device, in file order
  QListWidget* mResultList;  // the search hits, in the place of mDeviceList
};

// Builds a fresh picker over owner (or on its own) for the picture of that
// size, loads it and, when the catalogue could be read, shows it modally
// until it closes.
void runDevicePicker(const Services& services, QWidget* owner, const QSize& pictureSize);

}  // namespace trimora
