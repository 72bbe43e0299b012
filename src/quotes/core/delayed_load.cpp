#include "quotes/core/delayed_load.h"

#include <utility>

#include "load/core/portfolio_rules.h"
#include "load/core/row_values.h"
#include "parsing/batch_path.h"
#include "parsing/quote_page.h"
#include "parsing/quote_table.h"

namespace {
// symbol, time, price, change, percent, volume from a word line " MSFT 4:00PM ET 27.50 0.12
// -0.44% 45,123,456 ": the change word has no sign of its own, the percent's is the row's.
QStringList delayedValues(const QByteArray& wordLine, bool notFound) {
    const QList<QByteArray> words = wordLine.split(' ');
    QList<QByteArray> w;
    for (const QByteArray& word : words)
        if (!word.isEmpty())
            w << word;
    QStringList values{QString::fromLatin1(w.value(0)), {}, {}, {}, {}, {}};
    if (notFound)
        return values;
    const bool falling = w.value(5).startsWith('-');
    values[1] = TradeTime(QString::fromLatin1(w.value(1) + ' ' + w.value(2)).trimmed());
    values[2] = PlainNumber(w.value(3));
    values[3] = PlainNumber(w.value(4), falling);
    values[4] = PlainNumber(w.value(5));
    values[5] = PlainNumber(w.value(6));
    return values;
}

// Collects a page's rows as the Quotes tab shows them; the tab stores them in its table.
class ShownRows : public QuotePageSink {
public:
    ShownRows(FILE* dataFile, ParsedPage& page) : QuotePageSink(dataFile), page_(page) {}
    // A row's word line comes just before the row: its cells show the words whole.
    void writeDataLine(const char* wordLine) override {
        QuotePageSink::writeDataLine(wordLine);
        values_ = delayedValues(wordLine, notFound_);
        wordLine_ = QByteArray(wordLine).left(QuoteWordLineKept);
    }
    void appendRow(const char* line, double pct) override {
        ShownRow row;
        row.cells = DelayedRowCells(line, wordLine_.constData());
        row.line = QString::fromLatin1(line);
        row.tableLine = QByteArray(line);
        row.tableWords = wordLine_;
        row.change = static_cast<float>(pct);
        row.values = values_;
        row.notFound = std::exchange(notFound_, false);
        page_.rows << row;
    }

    void symbolNotFound() override {
        ++page_.notFound;
        notFound_ = true;
    }

private:
    ParsedPage& page_;
    QByteArray wordLine_;
    QStringList values_;
    bool notFound_ = false;
};

ParsedPage parseDelayedPage(char* reply, int length, SymbolTable& table, FILE* data) {
    ParsedPage page;
    ShownRows rows(data, page);
    page.endOfList = parseQuotePage(reply, length, table, rows) == PageEnd::EndOfList;
    return page;
}
} // namespace

QStringList DelayedRowCells(const char* line, const char* wordLine) {
    char texts[7][QuoteCellTextSize];
    quoteRowCells(line, wordLine, texts);
    QStringList cells;
    for (int c = 0; c < 7; ++c)
        cells << (QuoteCellCuts[c].length == 0 ? QString() : QString::fromLatin1(texts[c]));
    return cells;
}

const QuoteLoadKind DelayedLoad = {parseDelayedPage, LoadCapacity / SymbolsPerBatch - 1, DelayedQueryKey,
                                   DelayedDataSuffix, "symbol,time,price,change,percent,volume"};
