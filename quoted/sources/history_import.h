#pragma once
// Daily history as users keep it in CSV: a header row naming Date and Close, and optionally
// Open, High, Low, Volume and Symbol, in any order and any case (other columns are ignored);
// ISO dates, numbers with a decimal point. A row whose Close is empty or "null" is skipped and
// counted; any other fault makes the whole file fail, naming the line.
#include "sources/history_thinning.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QByteArrayView>
#include <QString>

#include <optional>
#include <utility>
#include <vector>

struct DailyImport {
    std::vector<std::pair<QByteArray, DailyBar>> rows; // (symbol, day)
    QByteArrayList symbols;                            // in the order first met
    int skipped = 0;
    QString error; // "line 7: ...": nothing is to be stored
};

// symbol: --symbol, the symbol of every row of a file without a Symbol column (and of a row whose
// Symbol cell is empty).
DailyImport parseDailyCsv(QByteArrayView csv, const QByteArray& symbol);

// "stored 251 points for AAPL; skipped 2 rows without a price"
QString importSummary(const DailyImport& result);

// The day of an ISO date (2025-03-14) as a Julian day number; none for any other text.
std::optional<qint64> isoDay(QByteArrayView text);
// A price or volume with a decimal point, in hundredths (cents) or units; none for other text.
std::optional<qint64> decimalHundredths(QByteArrayView text);

// tickwell-quoted --import-history: reads csvPath, stores it in the history at historyPath in one
// transaction and prints what it stored (standard output) or why nothing (standard error).
// Returns the exit code: 0 stored, 1 not.
int importHistoryFile(const QString& historyPath, const QString& csvPath, const QByteArray& symbol);
