#include "parsing/quote_page.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "parsing/page_scan.h"
#include "parsing/quote_table.h"

const CellCut QuoteCellCuts[7] = {{0, 7}, {8, 10}, {21, 12}, {0, 0}, {33, 10}, {44, 10}, {55, 14}};

namespace {

struct Field {
    int first;
    int last;
};
// Fields of the seven words in the 79-character display line.
constexpr Field WordFields[7] = {{0, 7}, {8, 14}, {15, 20}, {21, 34}, {36, 43}, {45, 54}, {55, 67}};
constexpr int WordLineLastRead = 80;
constexpr int SignPosition = 35;
constexpr int PctFirst = 45;
constexpr int PctLast = 50;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The number at the start of text as atof reads the page's values (blanks, sign, digits,
// point, digits), but independent of the process locale's decimal point.
double leadingDecimal(const char* text) {
    const char* c = text;
    while (*c == ' ' || (*c >= '\t' && *c <= '\r'))
        ++c;
    bool negative = false;
    if (*c == '+' || *c == '-')
        negative = *c++ == '-';
    const char* digits = c;
    while (isDigit(*c))
        ++c;
    if (*c == '.') {
        ++c;
        while (isDigit(*c))
            ++c;
    }
    double value = 0.0;
    if (c - digits > 1 || (c - digits == 1 && isDigit(*digits))) {
        if (std::from_chars(digits, c, value).ec != std::errc())
            value = 0.0;
    }
    return negative ? -value : value;
}

} // namespace

void cutCell(const char* line, CellCut cut, char* out) {
    const int from = std::max(cut.start, 1) - 1;
    const int lineLength = static_cast<int>(std::strlen(line));
    int n = 0;
    for (int p = from; n < cut.length && p < lineLength; ++p)
        out[n++] = line[p];
    out[n] = '\0';
}

void makeWordLine(const char* row, char* wordLine) {
    const int length = static_cast<int>(std::strlen(row));
    int n = 0;
    int spaces = 0;
    for (int p = 0; p < length;) {
        const int blanksEnd = blankRunEnd(row, length, p);
        if (blanksEnd > p) {
            wordLine[n++] = ' ';
            p = blanksEnd;
            if (++spaces == 8)
                break;
        }
        const int end = wordEnd(row, length, p);
        std::memcpy(wordLine + n, row + p, static_cast<size_t>(end - p));
        n += end - p;
        p = end;
    }
    wordLine[n] = '\0';
}

double formatQuoteLine(const char* wordLine, char* line) {
    std::memset(line, ' ', QuoteLineLength);
    line[QuoteLineLength] = '\0';

    int words = 0;
    int idx = wordLine[0] == '\0' ? WordLineLastRead + 1 : 1;
    for (const Field& field : WordFields) {
        if (idx > WordLineLastRead || wordLine[idx] == '\0')
            break;
        int pos = field.first;
        for (; idx <= WordLineLastRead && wordLine[idx] != '\0' && wordLine[idx] != ' '; ++idx, ++pos) {
            if (pos < QuoteLineLength) // a long word never makes the line longer
                line[pos] = wordLine[idx];
        }
        for (; pos <= field.last; ++pos)
            line[pos] = ' ';
        ++words;
        if (idx <= WordLineLastRead && wordLine[idx] == ' ')
            ++idx;
    }

    double pct = 0.0;
    if (words >= 6) {
        char collected[PctLast - PctFirst + 2];
        int n = 0;
        for (int p = PctFirst; p <= PctLast && line[p] != '%'; ++p)
            collected[n++] = line[p];
        collected[n] = '\0';
        pct = leadingDecimal(collected);
    }
    if (line[0] != ' ')
        line[SignPosition] = pct >= 0 ? '+' : '-';
    return pct;
}

PageEnd parseQuotePage(char* reply, int length, QuotePageSink& sink) {
    return forEachBatchRow(reply, length, QuoteTable, [&sink](char* row, bool found) {
        if (!found)
            sink.symbolNotFound();
        char wordLine[RowTextSize + 1];
        makeWordLine(row, wordLine);
        sink.writeDataLine(wordLine);
        CurrentPct = formatQuoteLine(wordLine, CurrentLine);
        sink.appendRow(CurrentLine, CurrentPct);
    });
}
