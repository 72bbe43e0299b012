#include "realtime/core/real_time_load.h"

#include "load/core/portfolio_rules.h"
#include "parsing/batch_path.h"
#include "parsing/rt_page.h"
#include "parsing/rt_table.h"

namespace {
// Collects a page's rows as the RealTime tab shows them; the tab stores them in its table.
class ShownRows : public RtPageSink {
public:
    ShownRows(FILE* dataFile, ParsedPage& page) : RtPageSink(dataFile), page_(page) {}
    // A row's squeezed text comes just before the row: its cells show the fields whole.
    void writeDataLine(const char* squeezed) override {
        RtPageSink::writeDataLine(squeezed);
        squeezed_ = QByteArray(squeezed);
    }
    void appendRow(const char* line, double tradeDirection, double afterHoursDirection) override {
        ShownRow row;
        char cells[7][RtCellTextSize];
        rtRowCells(line, squeezed_.constData(), tradeDirection, cells);
        for (const char* cell : cells)
            row.cells << QString::fromLatin1(cell);
        row.line = QString::fromLatin1(line);
        row.change = static_cast<float>(tradeDirection);
        row.afterHours = static_cast<float>(afterHoursDirection);
        page_.rows << row;
    }

    void symbolNotFound() override { ++page_.notFound; }

private:
    ParsedPage& page_;
    QByteArray squeezed_;
};

ParsedPage parseRealTimePage(char* reply, int length, SymbolTable& table, FILE* data) {
    ParsedPage page;
    ShownRows rows(data, page);
    page.endOfList = parseRtPage(reply, length, table, rows) == PageEnd::EndOfList;
    return page;
}
} // namespace

const QuoteLoadKind RealTimeLoad = {parseRealTimePage, RtBatchLimit - 1, RealTimeQueryKey, RealTimeDataSuffix};
