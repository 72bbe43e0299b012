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
// The cells read a kept word line far enough: the words the display line takes start by index
// 80, and a word is known to be too long once it has CellValueMax + 1 characters.
static_assert(QuoteWordLineKept >= WordLineLastRead + CellValueMax + 1);

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

// A word longer than CellValueMax: a cell shows "###" rather than part of it.
bool holdsOverlongWord(const CellItem& item) {
    int run = 0;
    for (int i = 0; i < item.length; ++i) {
        run = item.text[i] == ' ' ? 0 : run + 1;
        if (run > CellValueMax)
            return true;
    }
    return false;
}

// The words of a word line that the display line takes (each starting by index 80), whole.
int lineWords(const char* wordLine, CellItem words[7]) {
    int count = 0;
    int idx = wordLine[0] == '\0' ? WordLineLastRead + 1 : 1;
    while (count < 7 && idx <= WordLineLastRead && wordLine[idx] != '\0') {
        int end = idx;
        while (wordLine[end] != '\0' && wordLine[end] != ' ')
            ++end;
        words[count] = {wordLine + idx, end - idx, WordFields[count].first};
        ++count;
        idx = wordLine[end] == ' ' ? end + 1 : end;
    }
    return count;
}

} // namespace

void layCell(const char* line, CellCut cut, int first, int signAt, const CellItem* items, int count, char* out) {
    for (int i = 0; i < count; ++i) {
        if (holdsOverlongWord(items[i])) {
            std::strcpy(out, "###");
            return;
        }
    }
    const int from = std::max(cut.start, 1) - 1;
    const int lineLength = static_cast<int>(std::strlen(line));
    int n = 0;
    for (int p = from; p < first; ++p)
        out[n++] = p == signAt && p < lineLength && (line[p] == '+' || line[p] == '-') ? line[p] : ' ';

    bool fit = true;
    for (int i = 0; i < count; ++i) {
        const int room = i + 1 < count ? items[i + 1].first - 1 : from + cut.length;
        fit = fit && items[i].first + items[i].length <= room;
    }
    for (int i = 0; i < count; ++i) {
        if (fit) {
            while (n < items[i].first - from)
                out[n++] = ' ';
        } else if (i > 0) {
            out[n++] = ' ';
        }
        std::memcpy(out + n, items[i].text, static_cast<size_t>(items[i].length));
        n += items[i].length;
    }
    while (fit && n < cut.length)
        out[n++] = ' ';
    out[n] = '\0';
}

void quoteRowCells(const char* line, const char* wordLine, char cells[7][QuoteCellTextSize]) {
    if (wordLine[0] == '\0') { // only the line is known
        for (int c = 0; c < 7; ++c)
            cutCell(line, QuoteCellCuts[c], cells[c]);
        return;
    }
    CellItem words[7];
    const int count = lineWords(wordLine, words);
    // Word w shows in its column, the time with its zone (whole: "symbol not" of a row not
    // found, never "symbol no"); the change after its sign.
    constexpr int ColumnWord[7] = {0, 1, 3, -1, 4, 5, 6};
    constexpr int TimeWord = 1;
    for (int c = 0; c < 7; ++c) {
        const int w = ColumnWord[c];
        if (w < 0) {
            cells[c][0] = '\0';
            continue;
        }
        CellItem items[2];
        int shown = w < count ? 1 : 0;
        if (shown)
            items[0] = words[w];
        if (shown && w == TimeWord && count > TimeWord + 1) {
            items[1] = words[TimeWord + 1];
            shown = items[1].length > 0 ? 2 : 1;
        }
        layCell(line, QuoteCellCuts[c], WordFields[w].first, w == 4 ? SignPosition : -1, items, shown, cells[c]);
    }
}

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

PageEnd parseQuotePage(char* reply, int length, SymbolTable& table, QuotePageSink& sink) {
    return forEachBatchRow(reply, length, table, [&sink](char* row, bool found) {
        if (!found)
            sink.symbolNotFound();
        char wordLine[RowTextSize + 1];
        makeWordLine(row, wordLine);
        sink.writeDataLine(wordLine);
        char line[QuoteLineSize];
        const double pct = formatQuoteLine(wordLine, line);
        sink.appendRow(line, pct);
    });
}
