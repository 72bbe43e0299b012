#include "reference_page_parsers.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstring>

#include "parsing/quote_table.h"
#include "parsing/rt_table.h"

namespace reference {
namespace {

// The rules' own numbers, kept here so that a change to the parsers' constants shows up.
constexpr int TextWindowSize = 5000;
constexpr int RowTextSize = 800;
constexpr int SymbolShownMax = 6;
constexpr int SymbolLengthMax = 6;
constexpr int SearchStep = 100;

// ---- Shared scanning rules -------------------------------------------------------------

char upperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool printable(unsigned char c) {
    return c >= 32 && c <= 126;
}

bool printableAt(const char* reply, int length, int p) {
    return p < length && printable(static_cast<unsigned char>(reply[p]));
}

bool byteIs(const char* reply, int length, int p, char c) {
    return p < length && reply[p] == c;
}

bool startsWith(const char* text, const char* prefix) {
    for (; *prefix != '\0'; ++text, ++prefix) {
        if (*text != *prefix)
            return false;
    }
    return true;
}

bool endOfSymbols(const char* slot) {
    return slot[0] == '\0';
}

// Lower-cases five bytes at every position it looks at, as the marker rule says.
int findTableMarker(char* reply, int length) {
    for (int i = 0; i < length; ++i) {
        const int lowerEnd = std::min(i + 5, length);
        for (int q = i; q < lowerEnd; ++q)
            reply[q] = lowerAscii(reply[q]);
        if (i + 6 < length && reply[i] == 's' && reply[i + 1] == 'y' && reply[i + 2] == 'm' && reply[i + 6] == '<')
            return i + 100;
        if (i + 8 < length && std::memcmp(reply + i, "colum", 5) == 0 && reply[i + 8] == '<')
            return i + 500;
    }
    return -1;
}

int skipCount(const char* reply, int length, int p) {
    if (!printableAt(reply, length, p + 2))
        return 4;
    if (byteIs(reply, length, p + 1, '1')) {
        for (int last = 3; last <= 5; ++last) {
            if (!printableAt(reply, length, p + last))
                return last + 2;
        }
    }
    return 1;
}

// Printable bytes from start: runs of them copied at once, the skip rule at the byte that ends a run.
int buildTextWindow(const char* reply, int length, int start, char* window) {
    int n = 0;
    if (start >= 0 && start < length) {
        const int end = std::min(start, length - TextWindowSize) + TextWindowSize;
        int p = start;
        while (p < end) {
            int runEnd = p;
            while (runEnd < end && printable(static_cast<unsigned char>(reply[runEnd])))
                ++runEnd;
            std::memcpy(window + n, reply + p, static_cast<size_t>(runEnd - p));
            n += runEnd - p;
            p = runEnd;
            if (p < end)
                p += skipCount(reply, length, p);
        }
    }
    window[n] = '\0';
    return n;
}

enum class Match { None, A, B };

// Both patterns compared in full at every position of the window, A first.
int findSymbol(const char* window, int n, const char* symbol, int L, Match* kind) {
    *kind = Match::None;
    if (L < 1 || L > SymbolLengthMax)
        return -1;
    char upper[SymbolLengthMax];
    for (int i = 0; i < L; ++i)
        upper[i] = upperAscii(symbol[i]);

    char a[16];
    char b[SymbolLengthMax + 2];
    int aLen = 0;
    int bLen = 0;
    if (L <= 2) {
        a[aLen++] = '=';
        std::memcpy(a + aLen, upper, static_cast<size_t>(L));
        aLen += L;
        a[aLen++] = '"';
        a[aLen++] = '>';
        std::memcpy(a + aLen, upper, static_cast<size_t>(L));
        aLen += L;
        if (L == 1)
            a[aLen++] = '<';
    } else {
        std::memcpy(a, upper, static_cast<size_t>(L));
        aLen = L;
        a[aLen++] = '"';
        a[aLen++] = '>';
    }
    if (L >= 2) {
        b[bLen++] = '>';
        std::memcpy(b + bLen, upper, static_cast<size_t>(L));
        bLen += L;
        b[bLen++] = '<';
    }

    for (int j = 0; j < n; ++j) {
        if (j + aLen <= n && window[j] == a[0] && std::memcmp(window + j, a, static_cast<size_t>(aLen)) == 0) {
            *kind = Match::A;
            return j;
        }
        if (bLen > 0 && j + bLen <= n && window[j] == '>' &&
            std::memcmp(window + j, b, static_cast<size_t>(bLen)) == 0) {
            *kind = Match::B;
            return j;
        }
    }
    return -1;
}

void takeRowText(const char* window, int n, int j, Match kind, char* row) {
    const int count = std::clamp(n - j, 0, RowTextSize);
    if (count > 0)
        std::memcpy(row, window + j, static_cast<size_t>(count));
    row[count] = '\0';
    if (kind == Match::A) {
        for (int i = 0; i < count; ++i) {
            const bool closing = row[i] == '>';
            row[i] = ' ';
            if (closing)
                break;
        }
    } else if (kind == Match::B && count > 0) {
        row[0] = ' ';
    }
}

void notFoundRowText(const char* symbol, int count, char* row) {
    static const char words[] = "   symbol not found   0.00    +0.00%       0                  ";
    count = std::clamp(count, 0, SymbolShownMax);
    int n = 0;
    row[n++] = ' ';
    row[n++] = ' ';
    for (int i = 0; i < count; ++i)
        row[n++] = upperAscii(symbol[i]);
    std::memcpy(row + n, words, sizeof words);
}

// Replaces oldCount characters at pos by the replacement; the text keeps at most 800 characters.
void replaceInRow(char* row, int pos, int oldCount, const char* replacement) {
    const int len = static_cast<int>(std::strlen(row));
    const int addCount = static_cast<int>(std::strlen(replacement));
    const int newLen = std::min(len - oldCount + addCount, RowTextSize);
    const int tailFrom = pos + oldCount;
    const int tailTo = pos + addCount;
    const int tailCount = newLen - tailTo;
    if (tailCount > 0)
        std::memmove(row + tailTo, row + tailFrom, static_cast<size_t>(tailCount));
    std::memcpy(row + pos, replacement, static_cast<size_t>(std::min(addCount, newLen - pos)));
    row[newLen] = '\0';
}

void fixMissingTime(char* row) {
    constexpr int lastStart = RowTextSize - 8;
    for (int i = 0; i <= lastStart && row[i] != '\0'; ++i) {
        if (startsWith(row + i, "ter\"></td")) {
            replaceInRow(row, i + 5, 0, "Unknown ET");
            return;
        }
        if (startsWith(row + i, "ter\">ET</")) {
            replaceInRow(row, i + 5, 2, "Unknown ET");
            return;
        }
    }
}

void blankTags(char* row) {
    bool inTag = false;
    for (char* c = row; *c != '\0'; ++c) {
        if (*c == '<')
            inTag = true;
        if (inTag) {
            inTag = *c != '>';
            *c = ' ';
        }
    }
}

int advanceSearchStart(int start, int j) {
    const int step = j + SearchStep;
    return start > INT_MAX - step ? INT_MAX : start + step;
}

int takeSymbolRow(const char* reply, int length, int start, const char* slot, int symbolLength, char* row,
                  bool* found) {
    char window[TextWindowSize + 1];
    const int n = buildTextWindow(reply, length, start, window);
    const int slotChars = static_cast<int>(strnlen(slot, SymbolShownMax));
    const bool searchable = symbolLength >= 1 && symbolLength <= SymbolLengthMax && symbolLength <= slotChars;

    int j = -1;
    Match kind = Match::None;
    if (searchable)
        j = findSymbol(window, n, slot, symbolLength, &kind);
    *found = j >= 0;
    if (j >= 0) {
        takeRowText(window, n, j, kind, row);
    } else {
        notFoundRowText(slot, searchable ? symbolLength : slotChars, row);
        j = 0;
    }
    fixMissingTime(row);
    return j;
}

template <typename RowStep> PageEnd eachBatchRow(char* reply, int length, SymbolTable& table, RowStep&& rowStep) {
    length = std::max(length, 0);
    const int marker = findTableMarker(reply, length);
    if (marker >= 0)
        table.searchStart = marker;
    if (table.batch < 0 || table.batch >= QuoteTableCapacity / SymbolsPerBatch)
        return PageEnd::EndOfList;
    const int first = table.batch * SymbolsPerBatch;
    for (int k = first; k < first + SymbolsPerBatch; ++k) {
        if (endOfSymbols(table.symbols[k]))
            return PageEnd::EndOfList;
        char row[RowTextSize + 1];
        bool found = false;
        const int j = takeSymbolRow(reply, length, table.searchStart, table.symbols[k], table.lengths[k], row, &found);
        rowStep(row, found);
        table.searchStart = advanceSearchStart(table.searchStart, j);
    }
    return PageEnd::BatchDone;
}

// ---- Delayed page rows -----------------------------------------------------------------

struct Field {
    int first;
    int last;
};
constexpr Field WordFields[7] = {{0, 7}, {8, 14}, {15, 20}, {21, 34}, {36, 43}, {45, 54}, {55, 67}};
constexpr int WordLineLastRead = 80;
constexpr int SignPosition = 35;
constexpr int PctFirst = 45;
constexpr int PctLast = 50;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

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

void makeWordLine(const char* row, char* wordLine) {
    int n = 0;
    int spaces = 0;
    for (const char* c = row; *c != '\0'; ++c) {
        if (*c == ' ' && c[1] == ' ')
            continue;
        wordLine[n++] = *c;
        if (*c == ' ' && ++spaces == 8)
            break;
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
            if (pos < QuoteLineLength)
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

// ---- Real-time page rows ---------------------------------------------------------------

constexpr double Up = 1.0;
constexpr double Down = -1.0;
constexpr double Unchanged = 0.0;
constexpr double Unknown = -100.0;

struct RtField {
    int first;
    int limit;
};
constexpr RtField RtFields[7] = {{0, 10}, {10, 21}, {22, 34}, {36, 52}, {54, 70}, {70, 81}, {81, 92}};
constexpr int ChangeField = 3;
constexpr int AfterHoursField = 4;
constexpr int ChangeSignPosition = 35;
constexpr int AfterHoursSignPosition = 53;
constexpr int FieldReadLimit = 100;
constexpr double KnownDirectionFloor = -50.0;

bool colourCodeAt(const char* text, double* direction) {
    if (startsWith(text, "008800"))
        *direction = Up;
    else if (startsWith(text, "cc0000"))
        *direction = Down;
    else if (startsWith(text, "#00000"))
        *direction = Unchanged;
    else
        return false;
    return true;
}

char tradeSign(double direction) {
    return direction > 0 ? '+' : direction < 0 ? '-' : ' ';
}

char afterHoursSign(double direction) {
    return direction > 0 ? '+' : (direction < 0 && direction > KnownDirectionFloor) ? '-' : ' ';
}

void readRtDirections(char* block, double* tradeDirection, double* afterHoursDirection) {
    *tradeDirection = Unknown;
    *afterHoursDirection = Unknown;
    int codesSeen = 0;
    for (char* p = block; *p != '\0'; ++p) {
        if (startsWith(p, "&nbsp;"))
            std::memset(p, ' ', 6);
        double direction = 0.0;
        if (codesSeen == 0) {
            if (colourCodeAt(p, &direction)) {
                *tradeDirection = direction;
                codesSeen = 1;
            }
        } else if (codesSeen == 1) {
            if (colourCodeAt(p, &direction)) {
                *afterHoursDirection = direction;
                codesSeen = 2;
            }
        }
        if (codesSeen == 0 && startsWith(p, "no long")) {
            *tradeDirection = Unknown;
            *afterHoursDirection = Unknown;
            codesSeen = 2;
        }
    }
}

const char* squeezeRtBlock(const char* block, char* compact) {
    std::memset(compact, ' ', RowTextSize);
    compact[RowTextSize] = '\0';
    int n = 0;
    for (const char* c = block; *c != '\0'; ++c) {
        if (startsWith(c, "    "))
            continue;
        compact[n++] = *c;
    }
    compact[n] = '\0';

    int first = 0;
    while (compact[first] == ' ')
        ++first;
    if (compact[first] == '\0')
        return compact + n;
    char* text = compact + std::max(first - 1, 0);

    int separators = 0;
    for (char* c = text; *c != '\0';) {
        if (*c != ' ') {
            ++c;
            continue;
        }
        char* run = c;
        while (*c == ' ')
            ++c;
        if (c - run == 3 && ++separators == 7) {
            run[1] = '\0';
            break;
        }
    }
    return text;
}

void formatRtLine(const char* squeezed, double tradeDirection, double afterHoursDirection, char* line) {
    std::memset(line, ' ', RtLineSize - 1);
    line[RtLineLength] = '\0';

    const int len = static_cast<int>(std::strlen(squeezed));
    int cursor = 0;
    for (int f = 0; f < 7; ++f) {
        int p = cursor;
        while (p <= FieldReadLimit && p < len && squeezed[p] == ' ')
            ++p;
        if (p >= len) {
            cursor = p;
            continue;
        }
        const int start = p <= FieldReadLimit ? p : 0;

        const RtField field = RtFields[f];
        int pos = field.first;
        int q = start;
        while (q <= FieldReadLimit && q < len) {
            if (q == start) {
                if (f == ChangeField && tradeSign(tradeDirection) != ' ')
                    line[ChangeSignPosition] = tradeSign(tradeDirection);
                if (f == AfterHoursField && !startsWith(squeezed + start, "N/A") &&
                    afterHoursSign(afterHoursDirection) != ' ')
                    line[AfterHoursSignPosition] = afterHoursSign(afterHoursDirection);
            }
            if (pos < field.limit)
                line[pos] = squeezed[q];
            ++pos;
            const bool fieldEnds = startsWith(squeezed + q + 1, "   ");
            ++q;
            if (fieldEnds)
                break;
        }
        cursor = q;
    }
}

} // namespace

PageEnd parseQuotePage(char* reply, int length, SymbolTable& table, QuotePageSink& sink) {
    return eachBatchRow(reply, length, table, [&sink](char* row, bool found) {
        if (!found)
            sink.symbolNotFound();
        blankTags(row);
        char wordLine[RowTextSize + 1];
        makeWordLine(row, wordLine);
        sink.writeDataLine(wordLine);
        char line[QuoteLineSize];
        const double pct = formatQuoteLine(wordLine, line);
        sink.appendRow(line, pct);
    });
}

PageEnd parseRtPage(char* reply, int length, SymbolTable& table, RtPageSink& sink) {
    return eachBatchRow(reply, length, table, [&sink](char* block, bool found) {
        if (!found)
            sink.symbolNotFound();
        double tradeDirection = Unknown;
        double afterHoursDirection = Unknown;
        readRtDirections(block, &tradeDirection, &afterHoursDirection);
        blankTags(block);
        char compact[RowTextSize + 1];
        const char* squeezed = squeezeRtBlock(block, compact);
        sink.writeDataLine(squeezed);
        char line[RtLineSize];
        formatRtLine(squeezed, tradeDirection, afterHoursDirection, line);
        sink.appendRow(line, tradeDirection, afterHoursDirection);
    });
}

} // namespace reference
