// The Window Sizing menu: Reduced (controls and fonts 80 %, window 85 %), Normal, and
// Enlarged (115 %). Reduced and Enlarged always pass through the normal size.
#include <QAction>

#include "app/form_quote.h"
#include "app/window_size.h"
#include "platform/rescale.h"

namespace {
// The border is sizeable while the size changes, single and fixed again afterwards.
void sizeableBorder(TFormQuote& form) {
    form.setMinimumSize(0, 0);
    form.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

void fixedBorder(TFormQuote& form) {
    form.setFixedSize(form.size());
}

void resizeWindow(TFormQuote& form, int width, int height) {
    form.resize(width, height);
}

// Window size back to the recorded normal size, contents scaled back by the inverse ratio.
void backToNormal(TFormQuote& form, int fromPercent) {
    resizeWindow(form, form.NormalWidth, form.NormalHeight);
    Rescale(&form, 100, fromPercent);
}

// Contents scaled by contentPercent, then the window's height and width by windowPercent.
void scaleFromNormal(TFormQuote& form, int contentPercent, int windowPercent) {
    Rescale(&form, contentPercent, 100);
    const QSize size = ScaledWindowSize(form.size(), windowPercent);
    resizeWindow(form, size.width(), size.height());
}
} // namespace

void TFormQuote::Reduced1Click() {
    if (Reduced1->isChecked())
        return;
    sizeableBorder(*this);
    if (Enlarged1->isChecked()) {
        backToNormal(*this, 115);
        Enlarged1->setChecked(false);
    }
    Normal->setChecked(false);
    scaleFromNormal(*this, 80, 85);
    fixedBorder(*this);
    Reduced1->setChecked(true);
}

void TFormQuote::NormalClick() {
    if (Normal->isChecked())
        return;
    sizeableBorder(*this);
    if (Reduced1->isChecked()) {
        backToNormal(*this, 80);
        Reduced1->setChecked(false);
    } else if (Enlarged1->isChecked()) {
        backToNormal(*this, 115);
        Enlarged1->setChecked(false);
    }
    fixedBorder(*this);
    Normal->setChecked(true);
}

void TFormQuote::Enlarged1Click() {
    if (Enlarged1->isChecked())
        return;
    sizeableBorder(*this);
    if (Reduced1->isChecked()) {
        backToNormal(*this, 80);
        Reduced1->setChecked(false);
    }
    Normal->setChecked(false);
    scaleFromNormal(*this, 115, 115);
    Enlarged1->setChecked(true);
    update();
    fixedBorder(*this);
}
