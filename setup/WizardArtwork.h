#pragma once

#include <QImage>

namespace trimora {

// The picture in the wizard's header: the program's mark (a photo under a
// crop frame) with the wizard's title and a one-line hint, on white.
QImage wizardHeaderArtwork(int width, int height);

}  // namespace trimora
