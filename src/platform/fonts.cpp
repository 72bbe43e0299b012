#include "platform/fonts.h"

#include "platform/core/mul_div.h"

void installFontSubstitutions() {
    QFont::insertSubstitution("MS Sans Serif", "Liberation Sans");
    QFont::insertSubstitution("Courier", "Liberation Mono");
    QFont::insertSubstitution("Courier New", "Liberation Mono");
}

QFont pixelFont(const QString& family, int pixelHeight, bool bold) {
    QFont font(family);
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    return font;
}

QFont windowFont() {
    return pixelFont("MS Sans Serif", 11);
}

int pointsToPixels(int points) {
    return mulDiv(points, 96, 72);
}

int pixelsToPoints(int pixels) {
    return mulDiv(pixels, 72, 96);
}

QFont pointFont(const QString& family, int points, bool bold) {
    return pixelFont(family, pointsToPixels(points), bold);
}
