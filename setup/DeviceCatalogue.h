#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// The device catalogue: a text file of one device a line, written as the
// name, a colon and the size, the size being the width, a lower-case "x" and
// the height in pixels ("Phone 1:240x320").
namespace trimora {

struct DeviceLine {
  QString name;          // the text before the first ":"
  QString size;          // the text between the first and a second ":"; empty without a ":"
  bool hasSize = false;  // whether the line has a ":" at all
};

// Cuts one line at its colons. Further fields after the size are ignored
// ("Foo:240x320:extra" has the size "240x320"); nothing is trimmed.
DeviceLine parseDeviceLine(const QString& line);

// One line of the file as text: UTF-8, or Latin-1 when its bytes are not
// valid UTF-8 (a catalogue saved by an older 8-bit editor).
QString decodeCatalogueLine(const QByteArray& raw);

// The most of the catalogue that is read, and the most devices kept from it:
// the rest of a larger file is ignored, so a runaway file cannot hold up the
// picker or fill the memory.
inline constexpr qint64 kMaxCatalogueBytes = qint64(1) << 20;
inline constexpr std::size_t kMaxCatalogueDevices = 10000;

// Every device line of the file in file order, up to kMaxCatalogueDevices
// lines from the first kMaxCatalogueBytes (a line cut there is dropped).
// Lines may end in CR LF or LF, a UTF-8 byte-order mark at the start is
// skipped, and empty or blank lines are passed over. Nothing when the file
// cannot be opened or read.
std::optional<std::vector<DeviceLine>> readDeviceCatalogue(const QString& path);

// Where the catalogue "devices.dat" is: the current folder first, then beside
// the program and in the installed data folder. Empty when it is nowhere.
QString deviceCataloguePath();

// Cuts a size text at every lower-case "x": the width first, then the height.
// Both are left as they stand; "640X480" is one part (no height).
QStringList sizeParts(const QString& size);

}  // namespace trimora
