#pragma once
// Geometry designed in pixels, scaled by a ratio with the Windows multiply-and-divide rounding:
// nearest integer, halves away from zero.
#include <QRect>
#include <QSize>

// value * numerator / denominator, rounded to the nearest integer, halves away from zero.
int mulDiv(int value, int numerator, int denominator);

// Scales left and top, and places the right and bottom edges where the scaled edges fall.
QRect scaledRect(const QRect& rect, int numerator, int denominator);

QSize scaledSize(const QSize& size, int numerator, int denominator);
