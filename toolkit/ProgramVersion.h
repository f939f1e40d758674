#pragma once

#include <QString>

#include "TrimoraVersion.h"

namespace trimora {

// The program's version as the window title and "--version" show it:
// major.minor.0.revision.
inline QString versionText() {
  return QStringLiteral("%1.%2.0.%3")
      .arg(TRIMORA_VERSION_MAJOR)
      .arg(TRIMORA_VERSION_MINOR)
      .arg(TRIMORA_VERSION_REVISION);
}

}  // namespace trimora
