#include "platform/dialog_owner.h"

#include <QApplication>
#include <QMainWindow>

QWidget* dialogOwner() {
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMainWindow*>(window) && window->isVisible())
            return window;
    }
    return nullptr;
}
