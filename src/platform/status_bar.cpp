#include "platform/status_bar.h"

TStatusBar::TStatusBar(QWidget* parent) : QStatusBar(parent) {
    setSizeGripEnabled(false);
}

void TStatusBar::setSimplePanel(bool on) {
    simple_ = on;
    if (simple_)
        showMessage(text_);
    else
        clearMessage();
}

void TStatusBar::setSimpleText(const QString& text) {
    text_ = text;
    if (simple_)
        showMessage(text_);
}
