#pragma once
// Where the one settings file of a user's Tickwell lives: the choices the window remembers and
// the state of the price alerts, which the window and --print share.
#include <QStandardPaths>
#include <QString>

// Under $XDG_CONFIG_HOME (~/.config when unset).
inline QString tickwellSettingsFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/tickwell/tickwell.conf";
}
