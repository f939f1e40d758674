#pragma once

#include <QString>

namespace trimora {

// Whether a file, folder or link of exactly that path exists ("/" always does).
bool PathExists(const QString& path);

// A path in the same folder, with the same extension, that names nothing yet:
// the path itself when it is free, else with 1, 2, 3 ... put between the base
// name and the extension (pic.jpg -> pic1.jpg; photo -> photo1).
QString UniqueFileName(const QString& path);

// Creates the last level of a folder path when it does not exist yet; every
// failure (a missing parent, no permission) is left to the write that follows.
void MakeFolder(const QString& folder);

}  // namespace trimora
