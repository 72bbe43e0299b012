#include "platform/dialog_owner.h"

#include <QApplication>
#include <QMainWindow>

QWidget* DialogOwner() {
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMainWindow*>(window) && window->isVisible())
            return window;
    }
    return nullptr;
}
