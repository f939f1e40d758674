#include "Events.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace trimora {

void DoEvents() {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

}  // namespace trimora
