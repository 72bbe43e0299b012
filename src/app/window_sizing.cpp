// The Window Sizing menu: Reduced (controls and fonts 80 %, window 85 %), Normal, and
// Enlarged (115 %). Reduced and Enlarged always pass through the normal size.
#include <QAction>

#include "app/main_window.h"
#include "app/window_size.h"
#include "platform/rescale.h"

// The border is sizeable while the size changes, single and fixed again afterwards.
void MainWindow::makeSizeable() {
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

void MainWindow::fixSize() {
    setFixedSize(size());
}

// Window size back to the recorded normal size, contents scaled back by the inverse ratio.
void MainWindow::backToNormal(int fromPercent) {
    resize(normalWidth_, normalHeight_);
    scale(this, 100, fromPercent);
}

// Contents scaled by contentPercent, then the window's height and width by windowPercent.
void MainWindow::scaleFromNormal(int contentPercent, int windowPercent) {
    scale(this, contentPercent, 100);
    const QSize scaled = ScaledWindowSize(size(), windowPercent);
    resize(scaled.width(), scaled.height());
}

void MainWindow::reducedChosen() {
    if (reducedAction_->isChecked())
        return;
    makeSizeable();
    if (enlargedAction_->isChecked()) {
        backToNormal(115);
        enlargedAction_->setChecked(false);
    }
    normalAction_->setChecked(false);
    scaleFromNormal(80, 85);
    fixSize();
    reducedAction_->setChecked(true);
}

void MainWindow::normalChosen() {
    if (normalAction_->isChecked())
        return;
    makeSizeable();
    if (reducedAction_->isChecked()) {
        backToNormal(80);
        reducedAction_->setChecked(false);
    } else if (enlargedAction_->isChecked()) {
        backToNormal(115);
        enlargedAction_->setChecked(false);
    }
    fixSize();
    normalAction_->setChecked(true);
}

void MainWindow::enlargedChosen() {
    if (enlargedAction_->isChecked())
        return;
    makeSizeable();
    if (reducedAction_->isChecked()) {
        backToNormal(80);
        reducedAction_->setChecked(false);
    }
    normalAction_->setChecked(false);
    scaleFromNormal(115, 115);
    enlargedAction_->setChecked(true);
    update();
    fixSize();
}
