// The Window Sizing menu: Reduced (controls and fonts 80 %, window 85 %), Normal, and
// Enlarged (115 %). Every change passes through the normal size.
#include <QAction>
#include <QActionGroup>

#include "app/main_window.h"
#include "app/window_size.h"
#include "platform/rescale.h"

void MainWindow::applySize(int percent) {
    // A menu choice has checked its item already; the mark leaving another item told which
    // size the window is at (sizePercent_).
    for (QAction* item : sizes_->actions())
        if (item->data().toInt() == percent)
            item->setChecked(true);
    if (percent == sizePercent_)
        return;
    // The border is sizeable while the size changes, single and fixed again afterwards.
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    if (sizePercent_ != 100) {
        // Back to the recorded normal size, contents scaled back by the inverse ratio.
        resize(normalSize_);
        scale(this, 100, sizePercent_);
    }
    for (const WindowSize& size : WindowSizes) {
        if (size.contentPercent == percent && percent != 100) {
            scale(this, percent, 100);
            resize(scaledWindowSize(this->size(), size.windowPercent));
        }
    }
    sizePercent_ = percent;
    update();
    setFixedSize(size());
}
