#include "help/help_window.h"

#include "help/top_line_bevel.h"
#include "platform/fonts.h"

#include <QEvent>
#include <QScreen>
#include <QShowEvent>

HelpWindow::HelpWindow(const QString& caption, const QSize& clientSize, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint) {
    setWindowTitle(caption);
    setFont(windowFont());
    setFixedSize(clientSize);
    // These windows live for the whole run; closing one must not end the program.
    setAttribute(Qt::WA_QuitOnClose, false);
    bevel_ = new TopLineBevel(this);
    bevel_->setGeometry(rect());
}

void HelpWindow::activated() {
    if (isMinimized())
        raise();
}

void HelpWindow::showEvent(QShowEvent* event) {
    // Every show from hidden places the window at the centre; the window system's own show events
    // (a restore from minimised) leave it where it is.
    if (!event->spontaneous())
        centreOnScreen();
    QDialog::showEvent(event);
}

void HelpWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        activated();
    QDialog::changeEvent(event);
}

void HelpWindow::centreOnScreen() {
    const QRect area = screen()->availableGeometry();
    const QSize outer = frameGeometry().size();
    move(area.left() + (area.width() - outer.width()) / 2, area.top() + (area.height() - outer.height()) / 2);
}
