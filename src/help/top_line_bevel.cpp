#include "help/top_line_bevel.h"

#include <QPainter>

TopLineBevel::TopLineBevel(QWidget* parent) : QWidget(parent) {
    setObjectName("Bevel1");
    // It lies under the window's other controls and must not take their clicks.
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TopLineBevel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawLine(0, 0, width() - 1, 0);
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(0, 1, width() - 1, 1);
}
