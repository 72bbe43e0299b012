#pragma once
// The one settings file of a user's Tickwell: the choices the window remembers and the state
// of the price alerts, which the window and --print share.
#include <QStandardPaths>
#include <QString>

// Under $XDG_CONFIG_HOME (~/.config when unset).
inline QString TickwellSettingsFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/tickwell/tickwell.conf";
}
