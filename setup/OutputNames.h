#pragma once

#include <QString>

// The names cuts are saved under.
namespace trimora {

// The plain output name of a picture: the output folder's text followed by
// the picture's name with the extension after its last dot replaced by "jpg"
// (beach.png -> beach.jpg, photo.jpeg -> photo.jpg; a name without a dot, or
// with nothing before it, gets ".jpg" added). The folder text is taken as it
// stands, so it should end in "/".
QString outputNameFor(const QString& outputFolder, const QString& pictureName);

// Whether a file, folder or link of exactly that path exists ("/" always does;
// a link that points nowhere still takes its name).
bool pathExists(const QString& path);

// A path in the same folder, with the same extension, that names nothing yet:
// the path itself when it is free, else with 1, 2, 3 ... put between the base
// name and the extension (pic.jpg -> pic1.jpg; photo -> photo1).
QString uniqueFileName(const QString& path);

// Creates the last level of a folder path when it does not exist yet; every
// failure (a missing parent, no permission) is left to the write that follows.
void makeFolder(const QString& folder);

}  // namespace trimora
