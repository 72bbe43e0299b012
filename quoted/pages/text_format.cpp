#include "pages/text_format.h"

#include <QList>
#include <QString>

QByteArray formatCount(qint64 count) {
    const QByteArray digits = QByteArray::number(count < 0 ? -count : count);
    QByteArray out = count < 0 ? "-" : "";
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += ',';
        out += digits[i];
    }
    return out;
}

QByteArray formatCents(qint64 cents) {
    const qint64 magnitude = cents < 0 ? -cents : cents;
    QByteArray out = formatCount(magnitude / 100) + '.' + QByteArray::number(magnitude % 100).rightJustified(2, '0');
    return cents < 0 ? '-' + out : out;
}

QByteArray formatHundredths(qint64 hundredths) {
    return formatCents(hundredths);
}

QByteArray htmlEscape(QByteArrayView text) {
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (static_cast<unsigned char>(c) >= 0x80) {
            // Beyond ASCII: the rest of the text goes character by character.
            for (char32_t code : QString::fromUtf8(text.sliced(i)).toUcs4()) {
                out += code < 0x80 ? htmlEscape(QByteArray(1, char(code)))
                                   : "&#" + QByteArray::number(quint32(code)) + ';';
            }
            return out;
        }
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}
