#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <QStringList>
#include <ostream>

// Lets test failures show texts as text.
inline void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}

namespace trimora::testing {

// Every pixel differs from its neighbours (ramps plus a hash): a shifted or mirrored crop shows.
QImage PatternImage(int width, int height, int seed = 0);

// Saves PatternImage (or a flat colour when `flat` is valid) to path in the format its extension
// names (JPEG at quality 95); returns the path, or an empty text on failure.
QString WritePicture(const QString& path, int width, int height, int seed = 0,
                     QColor flat = QColor());
// Fills folder with count pictures pic00.jpg, pic01.jpg, ... of the given size.
void WritePictureFolder(const QString& folder, int count, int width = 200, int height = 150);

// Writes (replacing) or reads a whole file; false / empty on failure.
bool WriteBytes(const QString& path, const QByteArray& bytes);
QByteArray ReadBytes(const QString& path);

}  // namespace trimora::testing
