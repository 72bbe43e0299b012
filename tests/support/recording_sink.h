#pragma once
// Keeps what a page parser hands its sink, and in which order. A test's sink adds how it
// records a row, since each parser appends rows of its own shape.
#include <QByteArray>
#include <QList>

template <class PageSink, class Row> class RecordingSink : public PageSink {
public:
    QList<QByteArray> dataLines;
    QList<Row> rows;
    QByteArray order; // 'D' for a data line, 'R' for an appended row

    void writeDataLine(const char* text) override {
        dataLines << QByteArray(text);
        order += 'D';
    }

protected:
    void record(const Row& row) {
        rows << row;
        order += 'R';
    }
};
