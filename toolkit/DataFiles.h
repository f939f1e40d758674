#pragma once

#include <QString>

namespace trimora {

// Finds one of the program's data files (the device catalogue, the help page,
// the sample pictures) by its path relative to the data folder: beside the
// executable, then in the installed data folder (../share/trimora), then in
// the source tree the program was built from. With currentFolderFirst, the
// process's current folder is looked at before all of them. Returns an
// absolute path, or an empty text when it is nowhere.
QString findDataFile(const QString& relativePath, bool currentFolderFirst = false);

}  // namespace trimora
