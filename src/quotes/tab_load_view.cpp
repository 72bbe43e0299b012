#include "quotes/tab_load_view.h"

#include <QLineEdit>
#include <QPushButton>

#include "platform/message_box.h"
#include "platform/rich_edit.h"
#include "platform/status_bar.h"

void TabLoadView::loadStarting() {
    controls_.button->setEnabled(false);
    controls_.mirror->clear();
}

void TabLoadView::portfolioUnreadable(const QString& why) {
    MessageBox("File in use by another application.\n" + why, "Alter");
    controls_.button->setEnabled(true);
}

void TabLoadView::portfolioOpened() {
    controls_.portfolio->setFocus();
}

void TabLoadView::showStatus(const QString& text) {
    controls_.status->setSimpleText(text);
}

void TabLoadView::connectionLost(const QString& statusText) {
    // No completion: the rows parsed so far stay, the counts stay as they were.
    showStatus(statusText);
    enableControls();
}

void TabLoadView::idle() {
    loading_ = false;
}

bool TabLoadView::claimLoad() {
    if (loading_)
        return false;
    loading_ = true;
    return true;
}

void TabLoadView::enableControls() {
    controls_.mirror->setEnabled(true);
    controls_.button->setEnabled(true);
}
