#pragma once
// The one settings file of a user's Tickwell: the choices the window remembers and the state
// of the price alerts, which the window and --print share.
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QString>

// Under $XDG_CONFIG_HOME (~/.config when unset).
inline QString TickwellSettingsFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/tickwell/tickwell.conf";
}

// The portfolio a tab ("Quotes", "RealTime") last chose, while it is still a file; empty when
// none was chosen or it has moved or gone since, and the tab keeps input.txt in the start folder.
inline QString RememberedPortfolio(const QSettings& settings, const QString& tab) {
    const QString path = settings.value(tab + "/portfolio").toString();
    return !path.isEmpty() && QFileInfo(path).isFile() ? path : QString();
}
