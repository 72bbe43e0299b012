#include "quotes/core/delayed_load.h"

#include "load/core/portfolio_rules.h"
#include "parsing/batch_path.h"
#include "parsing/quote_page.h"
#include "parsing/quote_table.h"

namespace {
// Collects a page's rows as the Quotes tab shows them; the tab stores them in its table.
class ShownRows : public QuotePageSink {
public:
    ShownRows(FILE* dataFile, ParsedPage& page) : QuotePageSink(dataFile), page_(page) {}
    // A row's word line comes just before the row: its cells show the words whole.
    void writeDataLine(const char* wordLine) override {
        QuotePageSink::writeDataLine(wordLine);
        wordLine_ = QByteArray(wordLine).left(QuoteWordLineKept);
    }
    void appendRow(const char* line, double pct) override {
        ShownRow row;
        row.cells = DelayedRowCells(line, wordLine_.constData());
        row.line = QString::fromLatin1(line);
        row.tableLine = QByteArray(line);
        row.tableWords = wordLine_;
        row.change = static_cast<float>(pct);
        page_.rows << row;
    }

    void symbolNotFound() override { ++page_.notFound; }

private:
    ParsedPage& page_;
    QByteArray wordLine_;
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
                                   DelayedDataSuffix};
