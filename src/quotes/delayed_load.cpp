#include "quotes/delayed_load.h"

#include "parsing/batch_path.h"
#include "parsing/quote_page.h"
#include "parsing/quote_table.h"
#include "portfolio/core/portfolio_rules.h"
#include "quotes/quote_colours.h"

namespace {
// Collects a page's rows as the Quotes tab shows them; the tab stores them in its table.
class ShownRows : public QuotePageSink {
public:
    ShownRows(FILE* dataFile, ParsedPage& page) : QuotePageSink(dataFile), page_(page) {}
    void appendRow(const char* line, double pct) override {
        ShownRow row;
        row.cells = DelayedRowCells(line);
        row.line = QString::fromLatin1(line);
        row.colour = ChangeColour(pct);
        row.tableLine = QByteArray(line);
        row.change = static_cast<float>(pct);
        page_.rows << row;
    }

    void symbolNotFound() override { ++page_.notFound; }

private:
    ParsedPage& page_;
};

ParsedPage parseDelayedPage(char* reply, int length, FILE* data) {
    ParsedPage page;
    ShownRows rows(data, page);
    page.endOfList = parseQuotePage(reply, length, rows) == PageEnd::EndOfList;
    return page;
}
} // namespace

QStringList DelayedRowCells(const char* line) {
    QStringList cells;
    char cell[QuoteLineSize];
    for (const CellCut& cut : QuoteCellCuts) {
        if (cut.length == 0) {
            cells << QString();
            continue;
        }
        cutCell(line, cut, cell);
        cells << QString::fromLatin1(cell);
    }
    return cells;
}

const QuoteLoadKind DelayedLoad = {&QuoteTable, parseDelayedPage, LoadCapacity / SymbolsPerBatch - 1, DelayedQueryKey,
                                   DelayedDataSuffix};
