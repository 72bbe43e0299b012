#pragma once
// A notice on the desktop through the notification service of the session bus
// (org.freedesktop.Notifications), sent without waiting for it.
#include <QString>
#include <functional>

class QObject;

// False when there is no session bus to send it on. Otherwise undelivered runs later, while
// context lives, if no service took the notice within a few seconds.
bool showDesktopNotice(const QString& summary, const QString& body, QObject* context,
                       const std::function<void()>& undelivered);
