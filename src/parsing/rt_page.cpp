#include "parsing/rt_page.h"

#include <algorithm>
#include <cstring>

#include "parsing/byte_search.h"
#include "parsing/page_scan.h"

const CellCut RtCellCuts[7] = {{0, 9}, {10, 12}, {21, 10}, {35, 14}, {53, 14}, {70, 12}, {81, 12}};

namespace {

struct RtField {
    int first;
    int limit; // the field is cut before this position
};
constexpr RtField RtFields[7] = {{0, 10}, {10, 21}, {22, 34}, {36, 52}, {54, 70}, {70, 81}, {81, 92}};
constexpr int ChangeField = 3;
constexpr int AfterHoursField = 4;
constexpr int ChangeSignPosition = 35;
constexpr int AfterHoursSignPosition = 53;
constexpr int FieldReadLimit = 100; // the field search reads no further than this position
constexpr double KnownDirectionFloor = -50.0;

struct ColourCode {
    const char* text;
    double direction;
};
constexpr ColourCode ColourCodes[] = {{"008800", RtUp}, {"cc0000", RtDown}, {"#00000", RtUnchanged}};
constexpr int ColourCodeLength = 6;

// Index of the first colour code in block[from, length), or -1; its direction into direction.
// All three codes end in "00": places are screened for those two characters.
int findColourCode(const char* block, int length, int from, double* direction) {
    const char* text = block + from;
    const int at = firstPlace(text, length - from - (ColourCodeLength - 1), 4, '0', 5, '0', [&](int i) {
        for (const ColourCode& code : ColourCodes) {
            if (std::memcmp(text + i, code.text, ColourCodeLength) == 0) {
                *direction = code.direction;
                return true;
            }
        }
        return false;
    });
    return at < 0 ? -1 : from + at;
}

// Every "&nbsp;" of the block becomes six blanks.
void blankNbsp(char* block, int length) {
    constexpr int nbspLength = 6;
    for (int from = 0;;) {
        const int at = firstMatch(block + from, length - from, "&nbsp;", nbspLength);
        if (at < 0)
            return;
        std::memset(block + from + at, ' ', nbspLength);
        from += at + nbspLength;
    }
}

char tradeSign(double direction) {
    return direction > 0 ? '+' : direction < 0 ? '-' : ' ';
}

char afterHoursSign(double direction) {
    return direction > 0 ? '+' : (direction < 0 && direction > KnownDirectionFloor) ? '-' : ' ';
}

// The fields of a squeezed text, whole: runs of three blanks part them. Unlike the display
// line, which reads no further than FieldReadLimit, the cells see every field to its end.
void rtFields(const char* squeezed, CellItem fields[7]) {
    const int length = static_cast<int>(std::strlen(squeezed));
    int p = 0;
    for (int f = 0; f < 7; ++f) {
        while (p < length && squeezed[p] == ' ')
            ++p;
        const char* separator = p < length ? std::strstr(squeezed + p, "   ") : nullptr;
        const int end = separator ? static_cast<int>(separator - squeezed) : length;
        int last = end;
        while (last > p && squeezed[last - 1] == ' ')
            --last;
        fields[f] = {squeezed + p, last - p, RtFields[f].first};
        p = end;
    }
}

} // namespace

void readRtDirections(char* block, double* tradeDirection, double* afterHoursDirection) {
    *tradeDirection = RtUnknown;
    *afterHoursDirection = RtUnknown;
    const int length = static_cast<int>(std::strlen(block));
    // Neither a colour code nor "no long" can overlap an "&nbsp;", so blanking them first
    // changes nothing the searches below find.
    blankNbsp(block, length);

    double direction = RtUnknown;
    const int first = findColourCode(block, length, 0, &direction);
    // "Real-time data no longer available" before the first code: no code speaks for this row.
    const int noLongArea = first < 0 ? length : first + ColourCodeLength;
    if (first < 0 || firstMatch(block, noLongArea, "no long", 7) >= 0)
        return;
    *tradeDirection = direction;
    if (findColourCode(block, length, first + 1, &direction) >= 0)
        *afterHoursDirection = direction;
}

const char* squeezeRtBlock(const char* block, char* compact) {
    const int length = static_cast<int>(std::strlen(block));
    int n = 0;
    int p = blankRunEnd(block, length, 0);
    if (p == length) { // nothing but blanks
        compact[0] = '\0';
        return compact;
    }
    if (p > 0)
        compact[n++] = ' ';

    // Words as they are, and the runs of blanks after them squeezed to at most three, up to
    // the seventh separator.
    int separators = 0;
    while (p < length) {
        const int end = wordEnd(block, length, p);
        std::memcpy(compact + n, block + p, static_cast<size_t>(end - p));
        n += end - p;
        p = blankRunEnd(block, length, end);
        const int blanks = std::min(p - end, 3);
        if (blanks == 3 && ++separators == 7) {
            compact[n++] = ' ';
            break;
        }
        std::memset(compact + n, ' ', static_cast<size_t>(blanks));
        n += blanks;
    }
    compact[n] = '\0';
    return compact;
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
            cursor = p; // the text has ended: this field and the later ones stay empty
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
                if (f == AfterHoursField && !textStartsWith(squeezed + start, "N/A") &&
                    afterHoursSign(afterHoursDirection) != ' ')
                    line[AfterHoursSignPosition] = afterHoursSign(afterHoursDirection);
            }
            if (pos < field.limit)
                line[pos] = squeezed[q];
            ++pos;
            const bool fieldEnds = textStartsWith(squeezed + q + 1, "   ");
            ++q;
            if (fieldEnds)
                break;
        }
        cursor = q;
    }
}

void rtRowCells(const char* line, const char* squeezed, double tradeDirection, char cells[7][RtCellTextSize]) {
    CellItem fields[7];
    rtFields(squeezed, fields);
    auto lay = [&](int c) {
        const int signAt = c == ChangeField ? ChangeSignPosition : c == AfterHoursField ? AfterHoursSignPosition : -1;
        layCell(line, RtCellCuts[c], RtFields[c].first, signAt, &fields[c], fields[c].length > 0 ? 1 : 0, cells[c]);
    };
    if (tradeDirection > KnownDirectionFloor) {
        for (int c = 0; c < 7; ++c)
            lay(c);
        return;
    }
    lay(0);
    std::strcpy(cells[1], "     N/A");
    for (int c = 2; c < 7; ++c)
        cells[c][0] = '\0';
}

PageEnd parseRtPage(char* reply, int length, SymbolTable& table, RtPageSink& sink) {
    return forEachBatchRow(reply, length, table, [&sink](char* block, bool found) {
        if (!found)
            sink.symbolNotFound();
        double tradeDirection = RtUnknown;
        double afterHoursDirection = RtUnknown;
        readRtDirections(block, &tradeDirection, &afterHoursDirection);
        char compact[RowTextSize + 1];
        const char* squeezed = squeezeRtBlock(block, compact);
        sink.writeDataLine(squeezed);
        char line[RtLineSize];
        formatRtLine(squeezed, tradeDirection, afterHoursDirection, line);
        sink.appendRow(line, tradeDirection, afterHoursDirection);
    });
}
