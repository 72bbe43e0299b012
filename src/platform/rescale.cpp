#include "platform/rescale.h"

#include <QLayout>
#include <QMenuBar>
#include <QWidget>

#include "platform/core/mul_div.h"
#include "platform/fonts.h"

namespace {
// Font sizes scale in whole points, as the fonts were designed in points.
QFont scaledFont(QFont font, int M, int D) {
    const int pixels = font.pixelSize() > 0 ? font.pixelSize() : pointsToPixels(font.pointSize());
    font.setPixelSize(std::max(1, pointsToPixels(mulDiv(pixelsToPoints(pixels), M, D))));
    return font;
}

// The window's own controls, not the parts that make up a composite control. The main menu
// is not one of them: it keeps the system's font in every size.
bool isControl(const QWidget* widget) {
    return !widget->objectName().isEmpty() && !widget->objectName().startsWith("qt_") && !widget->isWindow() &&
           !qobject_cast<const QMenuBar*>(widget);
}

bool laidOutByParent(const QWidget* widget) {
    const QWidget* parent = widget->parentWidget();
    return parent && parent->layout();
}
} // namespace

void scale(QWidget* window, int numerator, int denominator) {
    window->setFont(scaledFont(window->font(), numerator, denominator));
    const QList<QWidget*> widgets = window->findChildren<QWidget*>();
    for (QWidget* widget : widgets) {
        if (!isControl(widget))
            continue;
        if (widget->testAttribute(Qt::WA_SetFont))
            widget->setFont(scaledFont(widget->font(), numerator, denominator));
        if (!laidOutByParent(widget))
            widget->setGeometry(scaledRect(widget->geometry(), numerator, denominator));
    }
}
