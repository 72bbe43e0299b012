#include "platform/desktop_notice.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QGuiApplication>
#include <QVariantMap>

namespace {
// A service that is there answers at once; one that has to be started gets this long.
constexpr int NoticeTimeoutMs = 3000;
} // namespace

bool showDesktopNotice(const QString& summary, const QString& body, QObject* context,
                       const std::function<void()>& undelivered) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    QDBusMessage notify = QDBusMessage::createMethodCall(
        "org.freedesktop.Notifications", "/org/freedesktop/Notifications", "org.freedesktop.Notifications", "Notify");
    // The installed icon is named after the desktop entry.
    const QString icon = QGuiApplication::desktopFileName();
    notify << QString("Tickwell") << uint(0) << icon << summary << body << QStringList()
           << QVariantMap{{"desktop-entry", icon}} << -1;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(notify, NoticeTimeoutMs), context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context, [watcher, undelivered] {
        if (watcher->isError())
            undelivered();
        watcher->deleteLater();
    });
    return true;
}
