#pragma once

#include <QString>

namespace trimora {

// Where the panel's links lead. The program has no web site of its own: the
// home and donation links open the matching sections of the bundled help page.
// Put real addresses here to send them elsewhere.
inline const QString kHelpPage = QStringLiteral("help/help.htm");
inline const QString kHomepageAddress = QStringLiteral("help/help.htm#about");
inline const QString kDonateAddress = QStringLiteral("help/help.htm#support");

}  // namespace trimora
