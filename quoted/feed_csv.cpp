#include "feed_csv.h"

#include <QHash>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <optional>

namespace {

enum Column { Symbol, Name, Last, Change, Volume, Time, Bid, Ask, AfterHoursChange, ColumnCount };

constexpr std::array<const char*, ColumnCount> ColumnNames{
    "symbol", "name", "last", "change", "volume", "time", "bid", "ask", "after_hours_change"};

constexpr qint64 MaxWholeUnits = 999'999'999'999; // twelve digits before the point
constexpr qsizetype MaxVolumeDigits = 15;
constexpr qsizetype MaxSymbolLength = 6;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// Cents of a decimal number such as 12.34, -0.5 or +3; digits past the cent are rounded, half
// away from zero. No exponent, no thousands separators, '.' as the decimal point.
std::optional<qint64> centsOf(QByteArrayView text, bool signAllowed) {
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (!signAllowed)
            return std::nullopt;
        negative = text[i++] == '-';
    }
    qint64 whole = 0;
    int digits = 0;
    for (; i < text.size() && isDigit(text[i]); ++i, ++digits) {
        whole = whole * 10 + (text[i] - '0');
        if (whole > MaxWholeUnits)
            return std::nullopt;
    }
    qint64 cents = whole * 100;
    if (i < text.size() && text[i] == '.') {
        int place = 0;
        for (++i; i < text.size() && isDigit(text[i]); ++i, ++place, ++digits) {
            const int digit = text[i] - '0';
            if (place == 0)
                cents += digit * 10;
            else if (place == 1)
                cents += digit;
            else if (place == 2 && digit >= 5)
                cents += 1;
        }
    }
    if (digits == 0 || i != text.size())
        return std::nullopt;
    return negative ? -cents : cents;
}

std::optional<qint64> countOf(QByteArrayView text) {
    if (text.isEmpty() || text.size() > MaxVolumeDigits)
        return std::nullopt;
    qint64 count = 0;
    for (char c : text) {
        if (!isDigit(c))
            return std::nullopt;
        count = count * 10 + (c - '0');
    }
    return count;
}

// "16:00", "9:30", "09:30:15", "4:00PM", "4:00 pm": whole minutes, seconds dropped.
std::optional<QTime> timeOf(QByteArrayView text) {
    qsizetype i = 0;
    auto number = [&](int maxDigits) -> int {
        int value = -1;
        for (int n = 0; n < maxDigits && i < text.size() && isDigit(text[i]); ++n, ++i)
            value = (value < 0 ? 0 : value * 10) + (text[i] - '0');
        return value;
    };
    int hour = number(2);
    if (hour < 0 || i >= text.size() || text[i++] != ':')
        return std::nullopt;
    const qsizetype minuteStart = i;
    const int minute = number(2);
    if (i - minuteStart != 2 || minute > 59)
        return std::nullopt;
    if (i < text.size() && text[i] == ':') {
        ++i;
        const qsizetype secondStart = i;
        if (number(2) > 59 || i - secondStart != 2)
            return std::nullopt;
    }
    while (i < text.size() && isBlank(text[i]))
        ++i;
    const QByteArray half = text.sliced(i).toByteArray().toUpper();
    if (half.isEmpty())
        return hour <= 23 ? std::optional<QTime>(QTime(hour, minute)) : std::nullopt;
    if ((half != "AM" && half != "PM") || hour < 1 || hour > 12)
        return std::nullopt;
    hour = hour % 12 + (half == "PM" ? 12 : 0);
    return QTime(hour, minute);
}

// 1 to 6 letters, digits, '.' and '-', at least one letter or digit; the first may be a '^'
// (an index).
bool isFeedSymbol(QByteArrayView symbol) {
    if (symbol.isEmpty() || symbol.size() > MaxSymbolLength)
        return false;
    bool letterOrDigitSeen = false;
    for (qsizetype i = 0; i < symbol.size(); ++i) {
        const char c = symbol[i];
        const bool letterOrDigit = isDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        if (!letterOrDigit && c != '.' && c != '-' && !(c == '^' && i == 0))
            return false;
        letterOrDigitSeen = letterOrDigitSeen || letterOrDigit;
    }
    return letterOrDigitSeen;
}

// The name as UTF-8: a file written in Latin-1 still shows its accents. Control characters
// become blanks.
QByteArray nameOf(const QByteArray& cell) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString name = utf8.decode(cell);
    if (utf8.hasError())
        name = QString::fromLatin1(cell);
    for (QChar& c : name) {
        if (c.category() == QChar::Other_Control)
            c = u' ';
    }
    return name.simplified().toUtf8();
}

QString quoted(const QByteArray& text) {
    return '"' + QString::fromUtf8(text) + '"';
}

QString notANumber(const char* column, const QByteArray& text) {
    QString reason = QStringLiteral("%1 %2 is not a number such as 12.34").arg(column, quoted(text));
    if (text.contains(','))
        reason += " (the decimal point is '.', and no thousands separators)";
    return reason;
}

struct Columns {
    std::array<qsizetype, ColumnCount> index;
    qsizetype count = 0; // cells in the header row
};

// The quote of one data line, or false with the reason.
bool quoteOf(const QList<QByteArray>& cells, const Columns& columns, Quote* q, QString* reason) {
    if (cells.size() > columns.count) {
        *reason = QStringLiteral("%1 cells where the header has %2 (a cell with a comma needs double quotes)")
                      .arg(cells.size())
                      .arg(columns.count);
        return false;
    }
    auto cell = [&](Column column) { return cells.value(columns.index[column]); };

    const QByteArray symbol = cell(Symbol).toUpper();
    if (symbol.isEmpty()) {
        *reason = "the symbol is empty";
        return false;
    }
    if (!isFeedSymbol(symbol)) {
        *reason = "symbol " + quoted(symbol) + " is not 1 to 6 letters, digits, '.' or '-' (or a '^' and those)";
        return false;
    }
    q->symbol = symbol;
    q->listing = {nameOf(cell(Name)), 0.0, symbol.startsWith('^')};
    q->realTimeAvailable = true;

    const QByteArray last = cell(Last);
    const std::optional<qint64> price = centsOf(last, false);
    if (last.isEmpty() || !price) {
        *reason = last.isEmpty() ? QString("last is empty") : notANumber("last", last);
        return false;
    }
    if (*price <= 0) {
        *reason = "last " + quoted(last) + " is not above 0.00";
        return false;
    }
    q->priceCents = *price;

    qint64 change = 0;
    if (!cell(Change).isEmpty()) {
        const std::optional<qint64> value = centsOf(cell(Change), true);
        if (!value) {
            *reason = notANumber("change", cell(Change));
            return false;
        }
        change = *value;
    }
    q->previousCloseCents = q->priceCents - change;
    if (q->previousCloseCents <= 0) {
        *reason = "change " + quoted(cell(Change)) + " leaves no previous close above 0.00 for last " + quoted(last);
        return false;
    }
    q->direction = change > 0 ? 1 : (change < 0 ? -1 : 0);
    q->changeCents = change < 0 ? -change : change;
    q->percentHundredths = change == 0 ? 0 : int(percentHundredthsOf(q->changeCents, q->previousCloseCents));

    if (!cell(Volume).isEmpty()) {
        const std::optional<qint64> volume = countOf(cell(Volume));
        if (!volume) {
            *reason = "volume " + quoted(cell(Volume)) + " is not a whole number such as 1250000";
            return false;
        }
        q->volume = *volume;
    }

    q->tradeState = TradeState::NoTradeEmpty;
    if (!cell(Time).isEmpty()) {
        const std::optional<QTime> time = timeOf(cell(Time));
        if (!time) {
            *reason = "time " + quoted(cell(Time)) + " is not a time such as 16:00 or 4:00PM";
            return false;
        }
        q->tradeState = TradeState::Traded;
        q->tradeTime = *time;
    }

    for (const Column column : {Bid, Ask}) {
        if (cell(column).isEmpty())
            continue;
        const std::optional<qint64> value = centsOf(cell(column), false);
        if (!value) {
            *reason = notANumber(ColumnNames[column], cell(column));
            return false;
        }
        (column == Bid ? q->hasBid : q->hasAsk) = true;
        (column == Bid ? q->bidCents : q->askCents) = *value;
    }

    if (!cell(AfterHoursChange).isEmpty()) {
        const std::optional<qint64> value = centsOf(cell(AfterHoursChange), true);
        if (!value) {
            *reason = notANumber("after_hours_change", cell(AfterHoursChange));
            return false;
        }
        q->hasAfterHours = true;
        q->afterHoursDirection = *value > 0 ? 1 : (*value < 0 ? -1 : 0);
        q->afterHoursChangeCents = *value < 0 ? -*value : *value;
        q->afterHoursPercentHundredths =
            *value == 0 ? 0 : int(percentHundredthsOf(q->afterHoursChangeCents, q->priceCents));
    }
    return true;
}

} // namespace

bool splitCsvLine(QByteArrayView line, QList<QByteArray>* cells, QString* reason) {
    cells->clear();
    qsizetype i = 0;
    while (true) {
        while (i < line.size() && isBlank(line[i]))
            ++i;
        QByteArray cell;
        if (i < line.size() && line[i] == '"') {
            for (++i;; ++i) {
                if (i >= line.size()) {
                    *reason = "a double quote is not closed on its line";
                    return false;
                }
                if (line[i] == '"') {
                    if (i + 1 < line.size() && line[i + 1] == '"')
                        ++i;
                    else
                        break;
                }
                cell += line[i];
            }
            for (++i; i < line.size() && isBlank(line[i]);)
                ++i;
            if (i < line.size() && line[i] != ',') {
                *reason = "text follows a closing double quote";
                return false;
            }
            cell = cell.trimmed();
        } else {
            const qsizetype comma = line.indexOf(',', i);
            const qsizetype end = comma < 0 ? line.size() : comma;
            cell = line.sliced(i, end - i).toByteArray().trimmed();
            i = end;
        }
        cells->append(cell);
        if (i >= line.size())
            return true;
        ++i; // the comma
    }
}

FeedContent parseQuoteFeed(QByteArrayView bytes) {
    FeedContent content;
    if (bytes.startsWith("\xEF\xBB\xBF")) // the byte-order mark some spreadsheets write
        bytes = bytes.sliced(3);

    Columns columns;
    bool headerSeen = false;
    int dataLines = 0;
    QHash<QByteArray, qsizetype> placeOf;
    int lineNumber = 0;
    for (qsizetype start = 0; start < bytes.size();) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        QByteArrayView line = bytes.sliced(start, end - start);
        start = end + 1;
        ++lineNumber;
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;

        QList<QByteArray> cells;
        QString reason;
        if (!headerSeen) {
            headerSeen = true;
            if (!splitCsvLine(line, &cells, &reason)) {
                content.fatal =
                    QStringLiteral("its header row (line %1) cannot be read: %2").arg(lineNumber).arg(reason);
                return content;
            }
            columns.count = cells.size();
            columns.index.fill(-1);
            for (qsizetype c = cells.size() - 1; c >= 0; --c) { // the first of two equal names counts
                const auto known = std::find(ColumnNames.cbegin(), ColumnNames.cend(), cells[c].toLower());
                if (known != ColumnNames.cend())
                    columns.index[known - ColumnNames.cbegin()] = c;
            }
            QStringList missing;
            for (const Column required : {Symbol, Last}) {
                if (columns.index[required] < 0)
                    missing << QString("\"%1\"").arg(ColumnNames[required]);
            }
            if (!missing.isEmpty()) {
                content.fatal = QStringLiteral("its header row (line %1) has no column %2")
                                    .arg(lineNumber)
                                    .arg(missing.join(" and no column "));
                return content;
            }
            continue;
        }

        ++dataLines;
        Quote q;
        if (!splitCsvLine(line, &cells, &reason) || !quoteOf(cells, columns, &q, &reason)) {
            content.skipped.append({lineNumber, line.toByteArray(), reason});
            continue;
        }
        const auto earlier = placeOf.constFind(q.symbol);
        if (earlier != placeOf.cend()) {
            content.quotes[*earlier] = q;
        } else {
            placeOf.insert(q.symbol, content.quotes.size());
            content.quotes.append(q);
        }
    }
    if (!headerSeen)
        content.fatal = "is empty: it has no header row";
    else if (dataLines > 0 && content.quotes.isEmpty())
        content.fatal = QStringLiteral("not one of its %1 lines of quotes can be read").arg(dataLines);
    return content;
}
