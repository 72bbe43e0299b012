#include "platform/core/mul_div.h"

#include <cstdint>
#include <cstdlib>

int mulDiv(int value, int numerator, int denominator) {
    if (denominator == 0)
        return 0;
    const std::int64_t product = std::int64_t(value) * numerator;
    const std::int64_t divisor = std::llabs(denominator);
    const std::int64_t magnitude = (std::llabs(product) + divisor / 2) / divisor;
    return int((product < 0) != (denominator < 0) ? -magnitude : magnitude);
}

QRect scaledRect(const QRect& rect, int numerator, int denominator) {
    const int left = mulDiv(rect.left(), numerator, denominator);
    const int top = mulDiv(rect.top(), numerator, denominator);
    const int right = mulDiv(rect.left() + rect.width(), numerator, denominator);
    const int bottom = mulDiv(rect.top() + rect.height(), numerator, denominator);
    return QRect(left, top, right - left, bottom - top);
}

QSize scaledSize(const QSize& size, int numerator, int denominator) {
    return QSize(mulDiv(size.width(), numerator, denominator), mulDiv(size.height(), numerator, denominator));
}
