#pragma once
// What the settings file remembers of the portfolios the tabs chose.
#include <QFileInfo>
#include <QSettings>
#include <QString>

#include "platform/core/settings_location.h"

// The portfolio a tab ("Quotes", "RealTime") last chose, while it is still a file; empty when
// none was chosen or it has moved or gone since, and the tab keeps input.txt in the start folder.
inline QString rememberedPortfolio(const QSettings& settings, const QString& tab) {
    const QString path = settings.value(tab + "/portfolio").toString();
    return !path.isEmpty() && QFileInfo(path).isFile() ? path : QString();
}
