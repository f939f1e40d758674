#include "basRegistry.h"

namespace trimora {

QVariant ReadRegistryValue(RegistryRoot, const QString&, const QString&,
                           const QVariant& defaultValue) {
  return defaultValue;
}

QString StripAtNull(const QString& text) {
  const qsizetype nul = text.indexOf(QChar(0));
  return nul < 0 ? text : text.left(nul);
}

}  // namespace trimora
