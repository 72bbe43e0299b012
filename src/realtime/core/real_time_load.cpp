#include "realtime/core/real_time_load.h"

#include "load/core/portfolio_rules.h"
#include "load/core/row_values.h"
#include "load/core/shown_row_sink.h"
#include "parsing/batch_path.h"
#include "parsing/rt_page.h"
#include "parsing/rt_table.h"

namespace {
// symbol, time, trade, change, percent, after_hours_change, bid, ask from a squeezed text
// " MSFT   4:00PM ET   27.50   0.12 (0.44%)   0.05 (0.18%)   27.49   27.51 ", whose changes take
// their signs from the page's colour codes. A row without them (unknown) has no values.
QStringList realTimeValues(const QByteArray& squeezed, bool notFound, double trade, double afterHours) {
    QStringList f = QString::fromLatin1(squeezed).split("   ");
    for (QString& field : f)
        field = field.trimmed();
    QStringList values{f.value(0), {}, {}, {}, {}, {}, {}, {}};
    if (notFound || trade <= RtUnknown / 2)
        return values;
    const bool falling = trade < 0;
    const QString change = f.value(3);
    const qsizetype open = change.indexOf('('), close = change.indexOf(')', open);
    values[1] = tradeTime(f.value(1));
    values[2] = plainNumber(f.value(2).toLatin1());
    values[3] = plainNumber(change.section(' ', 0, 0).toLatin1(), falling);
    values[4] =
        open < 0 || close < 0 ? QString() : plainNumber(change.mid(open + 1, close - open - 1).toLatin1(), falling);
    if (afterHours > RtUnknown / 2)
        values[5] = plainNumber(f.value(4).section(' ', 0, 0).toLatin1(), afterHours < 0);
    values[6] = plainNumber(f.value(5).toLatin1());
    values[7] = plainNumber(f.value(6).toLatin1());
    return values;
}

// Collects a page's rows as the RealTime tab shows them; the tab stores them in its table.
class ShownRtRows : public ShownRowSink<RtPageSink> {
public:
    using ShownRowSink::ShownRowSink;
    // A row's squeezed text comes just before the row: its cells show the fields whole.
    void appendRow(const char* line, double tradeDirection, double afterHoursDirection) override {
        ShownRow row;
        char cells[7][RtCellTextSize];
        rtRowCells(line, dataLine().constData(), tradeDirection, cells);
        for (const char* cell : cells)
            row.cells << QString::fromLatin1(cell);
        row.line = QString::fromLatin1(line);
        row.change = static_cast<float>(tradeDirection);
        row.afterHours = static_cast<float>(afterHoursDirection);
        row.values = realTimeValues(dataLine(), notFound(), tradeDirection, afterHoursDirection);
        addRow(row);
    }
};

ParsedPage parseRealTimePage(char* reply, int length, SymbolTable& table, FILE* data) {
    return parseShownRows<ShownRtRows>(parseRtPage, reply, length, table, data);
}
} // namespace

const QuoteLoadKind RealTimeLoad = {parseRealTimePage, RtBatchLimit - 1, RealTimeQueryKey, RealTimeDataSuffix,
                                    "symbol,time,trade,change,percent,after_hours_change,bid,ask"};
