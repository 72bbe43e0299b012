#include "platform/readable_colours.h"

#include <QPalette>
#include <algorithm>
#include <cmath>

namespace {
double linear(int channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(QColor colour) {
    return 0.2126 * linear(colour.red()) + 0.7152 * linear(colour.green()) + 0.0722 * linear(colour.blue());
}

QColor mix(QColor from, QColor to, double t) {
    auto channel = [t](int a, int b) { return int(std::lround(a + (b - a) * t)); };
    return QColor(channel(from.red(), to.red()), channel(from.green(), to.green()), channel(from.blue(), to.blue()));
}

double worstContrast(QColor colour, const QList<QColor>& backgrounds) {
    double worst = 21;
    for (const QColor& background : backgrounds)
        worst = std::min(worst, contrastRatio(colour, background));
    return worst;
}
} // namespace

double contrastRatio(QColor a, QColor b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool isDarkPalette(const QPalette& palette) {
    return palette.color(QPalette::Window).toHsl().lightnessF() < 0.5;
}

QColor readableOn(QColor colour, const QList<QColor>& backgrounds) {
    double lightest = 0;
    for (const QColor& background : backgrounds)
        lightest = std::max(lightest, luminance(background));
    // Mid grey (luminance 0.18) has the same contrast to black and to white.
    const QColor away = lightest < 0.18 ? QColor(Qt::white) : QColor(Qt::black);
    // The strokes of small text are antialiased, so few pixels take the full colour: aim above the mark.
    constexpr double Aim = ReadableContrast + 0.5;
    constexpr int Steps = 64;
    for (int step = 0; step < Steps; ++step) {
        const QColor candidate = mix(colour, away, double(step) / Steps);
        if (worstContrast(candidate, backgrounds) >= Aim)
            return candidate;
    }
    return away;
}

QColor windowInk(QColor designed, const QPalette& palette) {
    return isDarkPalette(palette) ? readableOn(designed, {palette.color(QPalette::Window)}) : designed;
}
