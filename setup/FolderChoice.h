#pragma once

#include <QString>

#include "Services.h"

// How the user names a folder: never typed, always picked in the desktop's
// folder chooser.
namespace trimora {

// Opens the folder chooser with a title, at startFolder when that is an
// existing folder (anything else, such as an empty text, opens it wherever
// the desktop likes). Returns the chosen folder as a clean path without a
// trailing "/" (except the root "/"), or an empty text when the user cancelled
// or the choice is not a folder of the file system.
QString chooseFolder(FolderBrowserService& browser, QWidget* owner, const QString& title,
                     const QString& startFolder);

// The folder text with a "/" at its end, as output folders are kept so that
// a file name can be put straight after them. An empty text (no folder) stays
// empty rather than becoming the root.
QString withTrailingSlash(const QString& folder);

}  // namespace trimora
