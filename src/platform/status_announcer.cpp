#include "platform/status_announcer.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace {
QAccessibleInterface* announcerFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("StatusAnnouncer") && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Notification);
    return nullptr;
}
} // namespace

void StatusAnnouncer::install() {
    QAccessible::installFactory(announcerFactory);
}

StatusAnnouncer::StatusAnnouncer(QWidget* statusLine) : QWidget(statusLine) {
    static const bool readable = (install(), true);
    Q_UNUSED(readable);
    setObjectName("StatusAnnouncer");
    setGeometry(0, 0, 0, 0);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void StatusAnnouncer::announce(const QString& text) {
    setAccessibleName(text);
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent shown(this, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}
