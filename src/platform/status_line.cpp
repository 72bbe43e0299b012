#include "platform/status_line.h"

StatusLine::StatusLine(QWidget* parent) : QStatusBar(parent) {
    setSizeGripEnabled(false);
}

void StatusLine::setSimplePanel(bool on) {
    simple_ = on;
    if (simple_)
        showMessage(text_);
    else
        clearMessage();
}

void StatusLine::setSimpleText(const QString& text) {
    text_ = text;
    if (simple_)
        showMessage(text_);
}
