#include "quotes/core/delayed_load.h"

#include "load/core/portfolio_rules.h"
#include "load/core/row_values.h"
#include "load/core/shown_row_sink.h"
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
    values[1] = tradeTime(QString::fromLatin1(w.value(1) + ' ' + w.value(2)).trimmed());
    values[2] = plainNumber(w.value(3));
    values[3] = plainNumber(w.value(4), falling);
    values[4] = plainNumber(w.value(5));
    values[5] = plainNumber(w.value(6));
    return values;
}

// Collects a page's rows as the Quotes tab shows them; the tab stores them in its table.
class ShownQuoteRows : public ShownRowSink<QuotePageSink> {
public:
    using ShownRowSink::ShownRowSink;
    // A row's word line comes just before the row: its cells show the words whole.
    void appendRow(const char* line, double pct) override {
        const QByteArray words = dataLine().left(QuoteWordLineKept);
        ShownRow row;
        row.cells = delayedRowCells(line, words.constData());
        row.line = QString::fromLatin1(line);
        row.tableLine = QByteArray(line);
        row.tableWords = words;
        row.change = static_cast<float>(pct);
        row.values = delayedValues(dataLine(), notFound());
        addRow(row);
    }
};

ParsedPage parseDelayedPage(char* reply, int length, SymbolTable& table, FILE* data) {
    return parseShownRows<ShownQuoteRows>(parseQuotePage, reply, length, table, data);
}
} // namespace

QStringList delayedRowCells(const char* line, const char* wordLine) {
    char texts[7][QuoteCellTextSize];
    quoteRowCells(line, wordLine, texts);
    QStringList cells;
    for (int c = 0; c < 7; ++c)
        cells << (QuoteCellCuts[c].length == 0 ? QString() : QString::fromLatin1(texts[c]));
    return cells;
}

const QuoteLoadKind DelayedLoad = {parseDelayedPage, LoadCapacity / SymbolsPerBatch - 1, DelayedQueryKey,
                                   DelayedDataSuffix, "symbol,time,price,change,percent,volume"};
