#include "load/core/row_values.h"

QString plainNumber(QByteArrayView word, bool negative) {
    QByteArray digits;
    for (const char c : word)
        if (c != ',')
            digits += c;
    if (digits.endsWith('%'))
        digits.chop(1);
    if (digits.startsWith('+') || digits.startsWith('-')) {
        negative = negative || digits.startsWith('-');
        digits.remove(0, 1);
    }
    int points = 0;
    bool nonZero = false;
    for (const char c : digits) {
        if (c == '.')
            ++points;
        else if (c < '0' || c > '9')
            return {};
        nonZero = nonZero || (c != '0' && c != '.');
    }
    if (points > 1 || digits.size() == points)
        return {};
    return QString::fromLatin1((negative && nonZero ? "-" : "") + digits);
}

QString tradeTime(const QString& time) {
    return time.startsWith("Unknown") ? QString() : time;
}
