#pragma once

#include <QString>

#include "Services.h"

namespace trimora {

// The start folder of the last folder chooser opened.
inline QString BrowseStartFolder;

// Opens the folder chooser with a title and the start folder preselected (when
// it exists); returns the chosen folder, or an empty text when the user
// cancelled.
QString BrowseForFolder(FolderBrowserService& browser, QWidget* owner, const QString& title,
                        const QString& startFolder);

}  // namespace trimora
