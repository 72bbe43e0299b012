#include "platform/core/mul_div.h"

#include <cstdint>
#include <cstdlib>

int MulDiv(int value, int numerator, int denominator) {
    if (denominator == 0)
        return 0;
    const std::int64_t product = std::int64_t(value) * numerator;
    const std::int64_t divisor = std::llabs(denominator);
    const std::int64_t magnitude = (std::llabs(product) + divisor / 2) / divisor;
    return int((product < 0) != (denominator < 0) ? -magnitude : magnitude);
}

QRect scaledRect(const QRect& rect, int numerator, int denominator) {
    const int left = MulDiv(rect.left(), numerator, denominator);
    const int top = MulDiv(rect.top(), numerator, denominator);
    const int right = MulDiv(rect.left() + rect.width(), numerator, denominator);
    const int bottom = MulDiv(rect.top() + rect.height(), numerator, denominator);
    return QRect(left, top, right - left, bottom - top);
}

QSize scaledSize(const QSize& size, int numerator, int denominator) {
    return QSize(MulDiv(size.width(), numerator, denominator), MulDiv(size.height(), numerator, denominator));
}
