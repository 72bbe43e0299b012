#pragma once
// The quote feed's file format: CSV with a header row naming the columns
//   symbol,name,last,change,volume,time,bid,ask,after_hours_change
// in any order; symbol and last are required, the others may be left out or left empty, and
// columns of other names are ignored. docs/quote-feed.md states the rules.
#include "market/market.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QVarLengthArray>

#include <array>
#include <deque>
#include <optional>
#include <utility>
#include <vector>

struct FeedLineProblem {
    int line = 0;         // 1-based
    quint64 textHash = 0; // of the line as it stands in the file, to tell it again
    QString reason;
};

// A symbol of up to seven characters as one number, and back.
quint64 symbolKey(QByteArrayView symbol);
QByteArray symbolOfKey(quint64 key);

// One quote as the feed keeps it: 64 bytes and nothing of its own on the heap, so that a
// million of them stay small and go away at once.
struct FeedRow {
    quint64 key; // the symbol, upper case
    qint64 priceCents;
    qint64 changeCents; // signed
    qint64 volume;
    qint64 bidCents;
    qint64 askCents;
    qint64 afterHoursCents; // signed
    quint32 nameOffset;     // in the table's names
    quint16 nameLength;
    quint16 timeAndFlags; // minutes since midnight, and which of the optional cells are there
};

class FeedTable {
public:
    std::optional<Quote> quote(QByteArrayView symbol) const;
    qsizetype size() const { return qsizetype(order_.size()); }
    // The row of the symbol's key, or none.
    const FeedRow* find(quint64 key) const;
    // Row i in the order of the symbols' keys.
    const FeedRow& byKey(qsizetype i) const { return rows_[order_[i]]; }

private:
    friend class FeedParser;
    std::deque<FeedRow> rows_;   // in file order; grows without copying what it holds
    std::vector<quint32> order_; // rows_ by key, one per symbol (its last line)
    QByteArray names_;           // UTF-8, one after the other
};

struct FeedContent {
    // Non-empty when the file cannot be used at all: no header row, one without symbol or
    // last, or lines of quotes of which not one can be read (skipped then says why).
    QString fatal;
    FeedTable table;
    QList<FeedLineProblem> skipped;
};

// The feed's column names, in the order of the header row above.
QByteArrayList feedColumnNames();

// How a source writes its feed, where it is not the plain --quotes file.
struct FeedFormat {
    // (feed column, the source's own header), as a sources file maps them; a source's header named
    // here stands for that feed column, and a header with the feed column's own name is ignored.
    QList<std::pair<QByteArray, QByteArray>> columns;
    // Numbers as spreadsheets print them: "$1,234.50", "-$3.10", "€12", volumes "1,250,000".
    bool lenientNumbers = false;
};

// Reads a feed piece by piece as it comes, never holding more than a line of it.
class FeedParser {
public:
    // A longer line is skipped (a header that long makes the file unusable).
    static constexpr qsizetype MaxLineBytes = 4096;

    FeedParser() = default;
    explicit FeedParser(FeedFormat format);

    void feed(QByteArrayView bytes);
    FeedContent finish();

private:
    void line(QByteArrayView text, qsizetype length);
    void header(QByteArrayView text);
    bool row(QString* why);
    void skip(quint64 textHash, const QString& reason);

    std::optional<qint64> cents(QByteArrayView text, bool signAllowed) const;

    FeedFormat format_;
    FeedContent content_;
    QByteArray partial_; // the first bytes of a line not yet ended
    qsizetype partialLength_ = 0;
    int lineNumber_ = 0;
    int dataLines_ = 0;
    bool headerSeen_ = false;
    std::array<qsizetype, 9> columns_{}; // where each known column is, -1 when absent
    qsizetype columnCount_ = 0;          // cells in the header row
    QVarLengthArray<QByteArrayView, 16> cells_;
    QByteArray scratch_; // quoted cells, unescaped
};

FeedContent parseQuoteFeed(QByteArrayView bytes, const FeedFormat& format = {});
