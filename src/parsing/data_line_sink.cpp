#include "parsing/data_line_sink.h"

void DataLineSink::writeDataLine(const char* text) {
    if (dataFile_)
        std::fprintf(dataFile_, "%s\n", text);
}
