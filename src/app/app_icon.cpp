#include "app/app_icon.h"

#include <QPainter>
#include <QPixmap>

namespace {
QIcon builtInIcon() {
    QPixmap pixmap(32, 32);
    pixmap.fill(QColor(0, 0, 128));
    QPainter painter(&pixmap);
    painter.setPen(QPen(QColor(0, 255, 0), 3));
    const QPoint points[] = {{3, 25}, {10, 18}, {16, 21}, {23, 10}, {29, 5}};
    painter.drawPolyline(points, 5);
    painter.setPen(QPen(Qt::white, 1));
    painter.drawLine(2, 29, 30, 29);
    return QIcon(pixmap);
}
} // namespace

QIcon tickwellIcon() {
    return QIcon::fromTheme(DesktopId, builtInIcon());
}
