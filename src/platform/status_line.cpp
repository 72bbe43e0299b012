#include "platform/status_line.h"

#include "platform/core/own_copy.h"
#include "platform/status_announcer.h"

StatusLine::StatusLine(QWidget* parent) : QStatusBar(parent), announcer_(new StatusAnnouncer(this)) {
    setSizeGripEnabled(false);
}

void StatusLine::announce(const QString& text) {
    announcer_->announce(text);
}

void StatusLine::setSimplePanel(bool on) {
    simple_ = on;
    if (simple_)
        showMessage(text_);
    else
        clearMessage();
}

void StatusLine::setSimpleText(const QString& text) {
    text_ = ownCopy(text); // a load's texts are made on its worker
    if (simple_)
        showMessage(text_);
}
