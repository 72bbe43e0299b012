#pragma once
// Where the rows of a parsed page go, as far as both parsers share it: each row's line in the
// data file, its text and a newline. Without a data file (it could not be made) nothing is
// written, and the rows still show.
#include <cstdio>

class DataLineSink {
public:
    explicit DataLineSink(FILE* dataFile = nullptr) : dataFile_(dataFile) {}
    virtual ~DataLineSink() = default;
    // The row's data-file line, without its newline.
    virtual void writeDataLine(const char* text);
    // Told before the data-file line of a "symbol not found" row: the page did not hold the
    // symbol, or it was never asked for.
    virtual void symbolNotFound() {}

private:
    FILE* dataFile_;
};
