#include "platform/quote_colours.h"

#include <QPalette>
#include <algorithm>

#include "platform/readable_colours.h"

namespace {
// The designed shades of green (0, 128, 0) and red (255, 0, 0) read at only 3.5:1 and 2.7:1 on
// the light grey rows.
const QColor DarkerGreen(0, 100, 0);
const QColor DarkerRed(176, 0, 0);

QColor mix(QColor from, QColor to, double t) {
    return QColor::fromRgbF(float(from.redF() + (to.redF() - from.redF()) * t),
                            float(from.greenF() + (to.greenF() - from.greenF()) * t),
                            float(from.blueF() + (to.blueF() - from.blueF()) * t));
}
} // namespace

GridColours gridColoursFor(const QPalette& palette) {
    if (!isDarkPalette(palette))
        return {QColor(255, 255, 255), QColor(212, 212, 212), QColor(255, 255, 0), DarkerGreen, DarkerRed,
                QColor(0, 0, 0)};
    const QColor base = palette.color(QPalette::Base);
    const QColor text = palette.color(QPalette::Text);
    QColor stripe = palette.color(QPalette::AlternateBase);
    // Some dark themes give no alternate colour of their own; a touch of the text colour marks the rows.
    if (contrastRatio(stripe, base) < 1.05)
        stripe = mix(base, text, 0.08);
    // Yellow no brighter than the stripes: on anything lighter no red would read as red.
    const QColor found = QColor::fromHsv(60, 255, std::max(base.value(), stripe.value()));
    const QList<QColor> rows = {base, stripe, found};
    return {base,
            stripe,
            found,
            readableOn(QColor(0, 200, 0), rows),
            readableOn(QColor(255, 0, 0), rows),
            readableOn(text, rows)};
}
