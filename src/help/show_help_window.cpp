#include "help/show_help_window.h"

#include <QWidget>

void showHelpWindow(QWidget* window) {
    window->show();
    window->activateWindow();
    if (window->isMinimized()) {
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
        window->raise();
        // A window manager may ignore the activation of an iconified window; ask again now it is restored.
        window->activateWindow();
    }
}
