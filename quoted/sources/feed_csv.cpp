#include "sources/feed_csv.h"

#include <QHash>
#include <QStringDecoder>
#include <QStringList>
#include <QVarLengthArray>

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

// The digits of a number whose whole part may be grouped by commas in threes ("1,234.5"), written
// without the commas; false when a comma stands anywhere else ("12,50" is not twelve fifty).
bool ungrouped(QByteArrayView text, QVarLengthArray<char, 40>* out) {
    const qsizetype point = text.indexOf('.');
    const QByteArrayView whole = point < 0 ? text : text.first(point);
    qsizetype start = 0;
    for (qsizetype i = 0, group = 0; i <= whole.size() && whole.contains(','); ++i) {
        if (i < whole.size() && whole[i] != ',')
            continue;
        const qsizetype length = i - start;
        if (length == 0 || length > 3 || (group++ > 0 && length != 3))
            return false;
        out->append(whole.data() + start, length);
        start = i + 1;
    }
    start = std::min(start, whole.size()); // past the last group: the point and what follows remain
    out->append(text.data() + start, text.size() - start);
    return true;
}

// A spreadsheet's number: a sign, a currency sign ($, €, £, ¥), then digits grouped by commas.
std::optional<qint64> lenientCentsOf(QByteArrayView text, bool signAllowed) {
    QVarLengthArray<char, 40> plain;
    if (!text.isEmpty() && (text.front() == '+' || text.front() == '-')) {
        plain.append(text.front());
        text = text.sliced(1);
    }
    for (const char* currency : {"$", "\xE2\x82\xAC", "\xC2\xA3", "\xC2\xA5"}) {
        if (text.startsWith(currency)) {
            text = text.sliced(qstrlen(currency));
            break;
        }
    }
    if (!ungrouped(text, &plain))
        return std::nullopt;
    return centsOf(QByteArrayView(plain.data(), plain.size()), signAllowed);
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
// become blanks, runs of blanks one blank.
void appendName(QByteArrayView cell, QByteArray* names) {
    bool plain = cell.isEmpty() || (cell.front() != ' ' && cell.back() != ' ');
    for (qsizetype i = 0; plain && i < cell.size(); ++i)
        plain = cell[i] > ' ' && cell[i] < 0x7f ? true : cell[i] == ' ' && cell[i + 1] != ' ';
    if (plain) { // most names: nothing to decode or squeeze
        names->append(cell);
        return;
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString name = utf8.decode(cell);
    if (utf8.hasError())
        name = QString::fromLatin1(cell);
    for (QChar& c : name) {
        if (c.category() == QChar::Other_Control)
            c = u' ';
    }
    names->append(name.simplified().toUtf8());
}

QString quoted(QByteArrayView text) {
    return '"' + QString::fromUtf8(text) + '"';
}

QString notANumber(const char* column, QByteArrayView text, bool lenient) {
    if (lenient)
        return QStringLiteral("%1 %2 is not a number such as 1,234.56 or $12.34").arg(column, quoted(text));
    QString reason = QStringLiteral("%1 %2 is not a number such as 12.34").arg(column, quoted(text));
    if (text.contains(','))
        reason += " (the decimal point is '.', and no thousands separators)";
    return reason;
}

enum RowFlag : quint16 { Traded = 1u << 11, HasBid = 1u << 12, HasAsk = 1u << 13, HasAfterHours = 1u << 14 };
constexpr quint16 MinuteBits = (1u << 11) - 1;

using Cells = QVarLengthArray<QByteArrayView, 16>;

// The cells of one CSV line: separated by commas, each trimmed of blanks; a cell that starts
// with a double quote runs to the next lone double quote, and two double quotes inside it
// stand for one (such a cell is written out in scratch, which holds the line's size). False,
// with why, when a quote is not closed or text follows it.
bool splitCsvLine(QByteArrayView line, Cells* cells, QByteArray* scratch, QString* why) {
    cells->clear();
    scratch->resize(line.size());
    char* out = scratch->data();
    qsizetype i = 0;
    while (true) {
        while (i < line.size() && isBlank(line[i]))
            ++i;
        QByteArrayView cell;
        if (i < line.size() && line[i] == '"') {
            char* const start = out;
            for (++i;; ++i) {
                if (i >= line.size()) {
                    *why = "a double quote is not closed on its line";
                    return false;
                }
                if (line[i] == '"') {
                    if (i + 1 < line.size() && line[i + 1] == '"')
                        ++i;
                    else
                        break;
                }
                *out++ = line[i];
            }
            for (++i; i < line.size() && isBlank(line[i]);)
                ++i;
            if (i < line.size() && line[i] != ',') {
                *why = "text follows a closing double quote";
                return false;
            }
            cell = QByteArrayView(start, out - start).trimmed();
        } else {
            const qsizetype comma = line.indexOf(',', i);
            const qsizetype end = comma < 0 ? line.size() : comma;
            cell = line.sliced(i, end - i).trimmed();
            i = end;
        }
        cells->append(cell);
        if (i >= line.size())
            return true;
        ++i; // the comma
    }
}

} // namespace

QByteArrayList feedColumnNames() {
    return QByteArrayList(ColumnNames.cbegin(), ColumnNames.cend());
}

quint64 symbolKey(QByteArrayView symbol) {
    if (symbol.size() > 7)
        return 0;
    quint64 key = 0;
    for (qsizetype i = 0; i < 7; ++i)
        key = key << 8 | (i < symbol.size() ? quint8(symbol[i]) : 0);
    return key;
}

QByteArray symbolOfKey(quint64 key) {
    QByteArray symbol;
    for (int shift = 48; shift >= 0 && (key >> shift & 0xff) != 0; shift -= 8)
        symbol += char(key >> shift & 0xff);
    return symbol;
}

const FeedRow* FeedTable::find(quint64 key) const {
    const auto at = std::lower_bound(order_.cbegin(), order_.cend(), key,
                                     [this](quint32 row, quint64 wanted) { return rows_[row].key < wanted; });
    return at != order_.cend() && rows_[*at].key == key ? &rows_[*at] : nullptr;
}

std::optional<Quote> FeedTable::quote(QByteArrayView symbol) const {
    const FeedRow* row = find(symbolKey(symbol));
    if (!row)
        return std::nullopt;
    Quote q;
    q.symbol = symbolOfKey(row->key);
    q.listing = {names_.sliced(row->nameOffset, row->nameLength), 0.0, q.symbol.startsWith('^')};
    q.realTimeAvailable = true;
    q.priceCents = row->priceCents;
    q.previousCloseCents = row->priceCents - row->changeCents;
    q.direction = row->changeCents > 0 ? 1 : (row->changeCents < 0 ? -1 : 0);
    q.changeCents = qAbs(row->changeCents);
    q.percentHundredths = q.direction == 0 ? 0 : int(percentHundredthsOf(q.changeCents, q.previousCloseCents));
    q.volume = row->volume;
    q.tradeState = TradeState::NoTradeEmpty;
    if (row->timeAndFlags & Traded) {
        q.tradeState = TradeState::Traded;
        q.tradeTime = QTime(0, 0).addSecs((row->timeAndFlags & MinuteBits) * 60);
    }
    q.hasBid = row->timeAndFlags & HasBid;
    q.hasAsk = row->timeAndFlags & HasAsk;
    q.bidCents = row->bidCents;
    q.askCents = row->askCents;
    if (row->timeAndFlags & HasAfterHours) {
        const qint64 value = row->afterHoursCents;
        q.hasAfterHours = true;
        q.afterHoursDirection = value > 0 ? 1 : (value < 0 ? -1 : 0);
        q.afterHoursChangeCents = qAbs(value);
        q.afterHoursPercentHundredths =
            value == 0 ? 0 : int(percentHundredthsOf(q.afterHoursChangeCents, q.priceCents));
    }
    return q;
}

FeedParser::FeedParser(FeedFormat format) : format_(std::move(format)) {
    for (auto& [column, header] : format_.columns)
        header = header.trimmed().toLower(); // as the header row's cells are compared
}

std::optional<qint64> FeedParser::cents(QByteArrayView text, bool signAllowed) const {
    return format_.lenientNumbers ? lenientCentsOf(text, signAllowed) : centsOf(text, signAllowed);
}

void FeedParser::feed(QByteArrayView bytes) {
    while (!bytes.isEmpty()) {
        const qsizetype end = bytes.indexOf('\n');
        const QByteArrayView piece = end < 0 ? bytes : bytes.first(end);
        if (partial_.isEmpty() && partialLength_ == 0 && end >= 0) {
            line(piece, piece.size()); // the common case: a whole line, read in place
        } else {
            // A line split between two reads, or a long one: only its first bytes are kept.
            if (partial_.size() <= MaxLineBytes)
                partial_.append(piece.first(std::min(piece.size(), MaxLineBytes + 1 - partial_.size())));
            partialLength_ += piece.size();
            if (end >= 0) {
                line(partial_, partialLength_);
                partial_.clear();
                partialLength_ = 0;
            }
        }
        bytes = end < 0 ? QByteArrayView() : bytes.sliced(end + 1);
    }
}

void FeedParser::line(QByteArrayView text, qsizetype length) {
    ++lineNumber_;
    if (lineNumber_ == 1 && text.startsWith("\xEF\xBB\xBF")) { // the byte-order mark some spreadsheets write
        text = text.sliced(3);
        length -= 3;
    }
    if (text.endsWith('\r') && length == text.size()) {
        text.chop(1);
        --length;
    }
    if (length <= MaxLineBytes && text.trimmed().isEmpty())
        return;
    if (!content_.fatal.isEmpty())
        return;
    if (length > MaxLineBytes) {
        // Its beginning and length name it well enough to be warned about once.
        const quint64 hash = qHashBits(text.data(), std::min(text.size(), MaxLineBytes), size_t(length));
        const QString reason =
            QStringLiteral("it is %1 bytes long, over the %2 a line may hold").arg(length).arg(MaxLineBytes);
        if (!headerSeen_)
            content_.fatal = QStringLiteral("its header row (line %1) cannot be read: %2").arg(lineNumber_).arg(reason);
        else
            skip(hash, reason);
        headerSeen_ = true;
        ++dataLines_;
        return;
    }
    QString reason;
    if (!headerSeen_) {
        headerSeen_ = true;
        header(text);
        return;
    }
    ++dataLines_;
    if (!splitCsvLine(text, &cells_, &scratch_, &reason) || !row(&reason))
        skip(qHashBits(text.data(), text.size()), reason);
}

void FeedParser::header(QByteArrayView text) {
    QString reason;
    if (!splitCsvLine(text, &cells_, &scratch_, &reason)) {
        content_.fatal = QStringLiteral("its header row (line %1) cannot be read: %2").arg(lineNumber_).arg(reason);
        return;
    }
    columnCount_ = cells_.size();
    columns_.fill(-1);
    // The source's own name of each feed column: its name in the map, or the column's.
    std::array<QByteArray, ColumnCount> names;
    for (int column = 0; column < ColumnCount; ++column)
        names[column] = ColumnNames[column];
    for (const auto& [column, header] : format_.columns) {
        const auto known = std::find(ColumnNames.cbegin(), ColumnNames.cend(), column);
        if (known != ColumnNames.cend())
            names[known - ColumnNames.cbegin()] = header;
    }
    for (qsizetype c = cells_.size() - 1; c >= 0; --c) { // the first of two equal names counts
        const auto known = std::find(names.cbegin(), names.cend(), cells_[c].toByteArray().toLower());
        if (known != names.cend())
            columns_[known - names.cbegin()] = c;
    }
    QStringList missing;
    for (const Column required : {Symbol, Last}) {
        if (columns_[required] < 0)
            missing << QString("\"%1\"").arg(QString::fromUtf8(names[required]));
    }
    if (!missing.isEmpty()) {
        content_.fatal = QStringLiteral("its header row (line %1) has no column %2")
                             .arg(lineNumber_)
                             .arg(missing.join(" and no column "));
    }
}

void FeedParser::skip(quint64 textHash, const QString& reason) {
    content_.skipped.append({lineNumber_, textHash, reason});
}

// The row of one data line's cells, or false with why.
bool FeedParser::row(QString* why) {
    if (cells_.size() > columnCount_) {
        *why = QStringLiteral("%1 cells where the header has %2 (a cell with a comma needs double quotes)")
                   .arg(cells_.size())
                   .arg(columnCount_);
        return false;
    }
    auto cell = [&](int column) {
        const qsizetype at = columns_[column];
        return at >= 0 && at < cells_.size() ? cells_[at] : QByteArrayView();
    };

    const QByteArray symbol = cell(Symbol).toByteArray().toUpper();
    if (symbol.isEmpty()) {
        *why = "the symbol is empty";
        return false;
    }
    if (!isFeedSymbol(symbol)) {
        *why = "symbol " + quoted(symbol) + " is not 1 to 6 letters, digits, '.' or '-' (or a '^' and those)";
        return false;
    }
    FeedRow r{};
    r.key = symbolKey(symbol);

    const QByteArrayView last = cell(Last);
    const std::optional<qint64> price = cents(last, false);
    if (last.isEmpty() || !price) {
        *why = last.isEmpty() ? QString("last is empty") : notANumber("last", last, format_.lenientNumbers);
        return false;
    }
    if (*price <= 0) {
        *why = "last " + quoted(last) + " is not above 0.00";
        return false;
    }
    r.priceCents = *price;

    if (!cell(Change).isEmpty()) {
        const std::optional<qint64> value = cents(cell(Change), true);
        if (!value) {
            *why = notANumber("change", cell(Change), format_.lenientNumbers);
            return false;
        }
        r.changeCents = *value;
    }
    if (r.priceCents - r.changeCents <= 0) {
        *why = "change " + quoted(cell(Change)) + " leaves no previous close above 0.00 for last " + quoted(last);
        return false;
    }

    if (!cell(Volume).isEmpty()) {
        QVarLengthArray<char, 40> digits;
        const std::optional<qint64> volume = !format_.lenientNumbers ? countOf(cell(Volume))
                                             : ungrouped(cell(Volume), &digits)
                                                 ? countOf(QByteArrayView(digits.data(), digits.size()))
                                                 : std::nullopt;
        if (!volume) {
            *why = "volume " + quoted(cell(Volume)) + " is not a whole number such as 1250000";
            return false;
        }
        r.volume = *volume;
    }

    if (!cell(Time).isEmpty()) {
        const std::optional<QTime> time = timeOf(cell(Time));
        if (!time) {
            *why = "time " + quoted(cell(Time)) + " is not a time such as 16:00 or 4:00PM";
            return false;
        }
        r.timeAndFlags = quint16(Traded | (time->hour() * 60 + time->minute()));
    }

    for (const Column column : {Bid, Ask}) {
        if (cell(column).isEmpty())
            continue;
        const std::optional<qint64> value = cents(cell(column), false);
        if (!value) {
            *why = notANumber(ColumnNames[column], cell(column), format_.lenientNumbers);
            return false;
        }
        r.timeAndFlags |= column == Bid ? HasBid : HasAsk;
        (column == Bid ? r.bidCents : r.askCents) = *value;
    }

    if (!cell(AfterHoursChange).isEmpty()) {
        const std::optional<qint64> value = cents(cell(AfterHoursChange), true);
        if (!value) {
            *why = notANumber("after_hours_change", cell(AfterHoursChange), format_.lenientNumbers);
            return false;
        }
        r.timeAndFlags |= HasAfterHours;
        r.afterHoursCents = *value;
    }

    r.nameOffset = quint32(content_.table.names_.size());
    appendName(cell(Name), &content_.table.names_);
    r.nameLength = quint16(std::min<qsizetype>(content_.table.names_.size() - r.nameOffset, 0xffff));
    content_.table.rows_.push_back(r);
    return true;
}

FeedContent FeedParser::finish() {
    if (!partial_.isEmpty() || partialLength_ > 0) { // the last line, without a line feed
        line(partial_, partialLength_);
        partial_.clear();
        partialLength_ = 0;
    }
    if (!headerSeen_)
        content_.fatal = "is empty: it has no header row";
    else if (content_.fatal.isEmpty() && dataLines_ > 0 && content_.table.rows_.empty())
        content_.fatal = QStringLiteral("not one of its %1 lines of quotes can be read").arg(dataLines_);

    // Rows by symbol; of a symbol's lines the later one counts.
    FeedTable& table = content_.table;
    std::vector<std::pair<quint64, quint32>> order;
    order.reserve(table.rows_.size());
    for (size_t i = 0; i < table.rows_.size(); ++i)
        order.emplace_back(table.rows_[i].key, quint32(i));
    std::sort(order.begin(), order.end());
    table.order_.reserve(order.size());
    for (size_t i = 0; i < order.size(); ++i) {
        if (i + 1 == order.size() || order[i + 1].first != order[i].first)
            table.order_.push_back(order[i].second);
    }
    table.order_.shrink_to_fit();
    table.names_.squeeze();
    return std::move(content_);
}

FeedContent parseQuoteFeed(QByteArrayView bytes, const FeedFormat& format) {
    FeedParser parser(format);
    parser.feed(bytes);
    return parser.finish();
}
