#include "sources/history_import.h"

#include "sources/history_store.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>

#include <array>
#include <cmath>
#include <cstdio>
#include <optional>

namespace {

enum Column { Date, Open, High, Low, Close, Volume, Symbol, ColumnCount };
constexpr std::array<const char*, ColumnCount> ColumnNames{"date", "open", "high", "low", "close", "volume", "symbol"};

// The cells of a line; a cell in double quotes may hold commas and doubled quotes.
QByteArrayList cellsOf(QByteArrayView line) {
    QByteArrayList cells;
    QByteArray cell;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"')
                cell += '"', ++i;
            else if (c == '"')
                quoted = false;
            else
                cell += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            cells.append(cell.trimmed());
            cell.clear();
        } else {
            cell += c;
        }
    }
    cells.append(cell.trimmed());
    return cells;
}

bool isMissing(const QByteArray& cell) {
    return cell.isEmpty() || cell.compare("null", Qt::CaseInsensitive) == 0;
}

bool isSymbol(const QByteArray& text) {
    if (text.isEmpty() || text.size() > 12)
        return false;
    for (const char c : text) {
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '^'))
            return false;
    }
    return true;
}

} // namespace

std::optional<qint64> isoDay(QByteArrayView text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return std::nullopt;
    const QDate date = QDate::fromString(QString::fromLatin1(text), Qt::ISODate);
    return date.isValid() ? std::optional<qint64>(date.toJulianDay()) : std::nullopt;
}

std::optional<qint64> decimalHundredths(QByteArrayView text) {
    // Whole units, then the decimals: two kept, the third rounds them.
    qint64 units = 0;
    qsizetype i = 0, digits = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) {
        if (digits >= 15)
            return std::nullopt;
        units = units * 10 + (text[i] - '0');
    }
    qint64 hundredths = units * 100;
    if (i < text.size() && text[i] == '.') {
        int place = 0;
        for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++digits, ++place) {
            const int digit = text[i] - '0';
            if (place == 0)
                hundredths += 10 * digit;
            else if (place == 1)
                hundredths += digit;
            else if (place == 2 && digit >= 5)
                hundredths += 1;
        }
    }
    if (digits == 0 || i != text.size())
        return std::nullopt;
    return hundredths;
}

DailyImport parseDailyCsv(QByteArrayView csv, const QByteArray& symbol) {
    DailyImport result;
    std::array<qsizetype, ColumnCount> at;
    at.fill(-1);
    bool headerSeen = false;
    int lineNumber = 0;
    auto fail = [&](const QString& why) {
        result.rows.clear();
        result.symbols.clear();
        result.error = QStringLiteral("line %1: %2").arg(lineNumber).arg(why);
        return std::move(result);
    };
    if (csv.startsWith("\xEF\xBB\xBF"))
        csv = csv.sliced(3);
    for (const QByteArrayView raw : QByteArray::fromRawData(csv.data(), csv.size()).split('\n')) {
        ++lineNumber;
        QByteArrayView line = raw;
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        const QByteArrayList cells = cellsOf(line);
        if (!headerSeen) {
            headerSeen = true;
            for (qsizetype i = 0; i < cells.size(); ++i) {
                for (int c = 0; c < ColumnCount; ++c) {
                    if (cells[i].compare(ColumnNames[c], Qt::CaseInsensitive) != 0)
                        continue;
                    if (at[c] >= 0)
                        return fail(QStringLiteral("the header names %1 twice").arg(ColumnNames[c]));
                    at[c] = i;
                }
            }
            if (at[Date] < 0 || at[Close] < 0)
                return fail("the header must name Date and Close (and may name Open, High, Low, Volume, Symbol)");
            if (at[Symbol] < 0 && symbol.isEmpty())
                return fail("the header names no Symbol column: give the file's symbol with --symbol SYM");
            continue;
        }
        auto cell = [&](Column c) { return at[c] >= 0 ? cells.value(at[c]) : QByteArray(); };
        const qsizetype needed = *std::max_element(at.cbegin(), at.cend()) + 1;
        if (cells.size() < needed)
            return fail(QStringLiteral("%1 cells where the header has %2").arg(cells.size()).arg(needed));
        const std::optional<qint64> day = isoDay(cell(Date));
        if (!day)
            return fail("\"" + QString::fromUtf8(cell(Date)) + "\" is not a date like 2025-03-14");
        QByteArray rowSymbol = cell(Symbol).toUpper();
        if (rowSymbol.isEmpty())
            rowSymbol = symbol.toUpper();
        if (!isSymbol(rowSymbol))
            return fail("\"" + QString::fromUtf8(rowSymbol) + "\" is not a symbol");
        if (isMissing(cell(Close))) {
            ++result.skipped;
            continue;
        }
        DailyBar bar{*day, 0, 0, 0, 0, 0};
        const std::array<std::pair<Column, qint64*>, 4> prices{
            {{Close, &bar.close}, {Open, &bar.open}, {High, &bar.high}, {Low, &bar.low}}};
        for (const auto& [column, value] : prices) {
            if (isMissing(cell(column))) { // a day with its close only: the close stands for them
                *value = bar.close;
                continue;
            }
            const std::optional<qint64> cents = decimalHundredths(cell(column));
            if (!cents)
                return fail(QStringLiteral("%1 \"%2\" is not a number like 12.34")
                                .arg(ColumnNames[column], QString::fromUtf8(cell(column))));
            *value = *cents;
        }
        if (!isMissing(cell(Volume))) {
            const std::optional<qint64> volume = decimalHundredths(cell(Volume));
            if (!volume)
                return fail("volume \"" + QString::fromUtf8(cell(Volume)) + "\" is not a number");
            bar.volume = (*volume + 50) / 100;
        }
        if (!result.symbols.contains(rowSymbol))
            result.symbols.append(rowSymbol);
        result.rows.emplace_back(rowSymbol, bar);
    }
    if (!headerSeen)
        return fail("the file is empty: it needs a header naming Date and Close");
    return result;
}

QString importSummary(const DailyImport& result) {
    QString text = QStringLiteral("stored %1 point%2").arg(result.rows.size()).arg(result.rows.size() == 1 ? "" : "s");
    if (!result.symbols.isEmpty())
        text += " for " + QString::fromUtf8(result.symbols.join(", "));
    return text +
           QStringLiteral("; skipped %1 row%2 without a price").arg(result.skipped).arg(result.skipped == 1 ? "" : "s");
}

int importHistoryFile(const QString& historyPath, const QString& csvPath, const QByteArray& symbol) {
    auto complain = [](const QString& text) {
        std::fprintf(stderr, "tickwell-quoted: %s\n", text.toUtf8().constData());
        return 1;
    };
    QFile file(csvPath);
    if (!file.open(QIODevice::ReadOnly))
        return complain(csvPath + ": cannot be read (" + file.errorString() + "); nothing imported");
    const DailyImport parsed = parseDailyCsv(file.readAll(), symbol);
    if (!parsed.error.isEmpty())
        return complain(csvPath + ": " + parsed.error + "; nothing imported");
    HistoryStore::Opened opened = HistoryStore::open(historyPath);
    if (!opened.store)
        return complain(opened.problem.section(';', 0, 0) + "; nothing imported");
    const QString failed =
        opened.store->importDaily("import of " + QFileInfo(csvPath).fileName().toUtf8(), parsed.rows);
    if (!failed.isEmpty())
        return complain(historyPath + ": " + failed + "; nothing imported");
    std::printf("%s: %s\n", QFile::encodeName(csvPath).constData(), importSummary(parsed).toUtf8().constData());
    return 0;
}
