#pragma once
// What both load kinds' page sinks do alike: collect a page's rows as the tab shows them, count
// its "symbol not found" rows and keep each row's data-file line, which the parsers write just
// before the row, for the row's cells and values.
#include <QByteArray>
#include <cstdio>
#include <utility>

#include "load/core/quote_load.h"
#include "parsing/page_scan.h"

template <class PageSink> class ShownRowSink : public PageSink {
public:
    ShownRowSink(FILE* dataFile, ParsedPage& page) : PageSink(dataFile), page_(page) {}

    void writeDataLine(const char* text) override {
        PageSink::writeDataLine(text);
        dataLine_ = QByteArray(text);
    }
    void symbolNotFound() override {
        ++page_.notFound;
        notFound_ = true;
    }

protected:
    // The data-file line written just before the row being appended.
    const QByteArray& dataLine() const { return dataLine_; }
    // Whether the row being appended is a "symbol not found" row.
    bool notFound() const { return notFound_; }
    // The row joins the page; the next row is found until told otherwise.
    void addRow(ShownRow row) {
        row.notFound = std::exchange(notFound_, false);
        page_.rows << row;
    }

private:
    ParsedPage& page_;
    QByteArray dataLine_;
    bool notFound_ = false;
};

// A page parsed with parse into the rows a Sink (a ShownRowSink) collects.
template <class Sink, class Parse>
ParsedPage parseShownRows(Parse parse, char* reply, int length, SymbolTable& table, FILE* data) {
    ParsedPage page;
    Sink rows(data, page);
    page.endOfList = parse(reply, length, table, rows) == PageEnd::EndOfList;
    return page;
}
