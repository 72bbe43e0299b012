#include "platform/dialog_return.h"

#include <QApplication>
#include <QTimer>

#include "platform/dialog_owner.h"

namespace {
// How long after a dialog the owner is asked again to be the active window, in ms: the held
// key events of a screen reader's round trip end well within it.
constexpr int retryTimes[] = {0, 250, 500, 1000, 2000, 4000};

void activateIfNone(QWidget* window, bool asked) {
    if (QApplication::activeWindow() || QApplication::activePopupWidget() || QApplication::activeModalWidget() ||
        !window->isVisible() || window->isMinimized())
        return;
    // The window manager gave the input back to the dialog's owner and marks it active already, so
    // it sends no new focus when asked again: once asked, the window takes the activation itself.
    if (asked)
        QApplication::setActiveWindow(window);
    else
        window->activateWindow();
}
} // namespace

DialogReturn::DialogReturn() : window_(dialogOwner()), focus_(QApplication::focusWidget()) {}

DialogReturn::~DialogReturn() {
    if (!window_)
        return;
    // The control keeps the focus inside its window even while the window is not yet active.
    if (focus_ && focus_->window() == window_ && focus_->isVisible() && focus_->isEnabled())
        focus_->setFocus(Qt::ActiveWindowFocusReason);
    for (int ms : retryTimes)
        QTimer::singleShot(ms, window_, [window = window_.data(), asked = ms > 0] { activateIfNone(window, asked); });
}
