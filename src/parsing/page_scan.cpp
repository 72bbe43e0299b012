#include "parsing/page_scan.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>

#include "parsing/byte_search.h"

namespace {

// ASCII only: the pages are ISO-8859-1 and the rules must not follow the process locale.
char upperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool printable(unsigned char c) {
    return c >= 32 && c <= 126;
}

// The first byte of reply[from, end) that is not printable, or end. Sixteen bytes are looked
// at together while all of them are printable.
int printableRunEnd(const char* reply, int from, int end) {
    using namespace byte_search;
    const Lanes space = splat(' ');
    const Lanes printableCount = splat(127 - ' '); // b is printable when b - 32 (mod 256) is below 95
    int p = from;
    while (end - p >= LaneCount && allLanes(load(reply + p) - space < printableCount))
        p += LaneCount;
    while (p < end && printable(static_cast<unsigned char>(reply[p])))
        ++p;
    return p;
}

// A byte past the received ones counts as non-printable, so the skip rules never read it.
bool printableAt(const char* reply, int length, int p) {
    return p < length && printable(static_cast<unsigned char>(reply[p]));
}

bool byteIs(const char* reply, int length, int p, char c) {
    return p < length && reply[p] == c;
}

// How many bytes the skip rules drop at a non-printable byte at p.
int skipCount(const char* reply, int length, int p) {
    if (!printableAt(reply, length, p + 2))
        return 4;
    if (byteIs(reply, length, p + 1, '1')) {
        // Chunk-size lines of two to four hex digits beginning with '1' go with the line break.
        for (int last = 3; last <= 5; ++last) {
            if (!printableAt(reply, length, p + last))
                return last + 2;
        }
    }
    return 1;
}

// The search start a marker at i gives: i + 100 for "sym" in any case with a '<' six bytes
// on, i + 500 for "colum" in any case with a '<' eight bytes on; -1 for no marker at i.
int markerStartAt(const char* reply, int length, int i) {
    auto lowerIs = [reply, i](const char* text) {
        for (int k = 0; text[k] != '\0'; ++k) {
            if (lowerAscii(reply[i + k]) != text[k])
                return false;
        }
        return true;
    };
    if (i + 6 < length && reply[i + 6] == '<' && lowerIs("sym"))
        return i + 100;
    if (i + 8 < length && reply[i + 8] == '<' && lowerIs("colum"))
        return i + 500;
    return -1;
}

// The first place holding the marker, or -1; the search start it gives into searchStart. Only
// a place with a '<' six or eight bytes on can hold it: sixteen places are screened at once.
int findMarkerPlace(const char* reply, int length, int* searchStart) {
    using namespace byte_search;
    const Lanes open = splat('<');
    auto check = [&](int i) { return (*searchStart = markerStartAt(reply, length, i)) >= 0; };
    int i = 0;
    for (; length - 8 - i >= LaneCount; i += LaneCount) {
        const auto passed = (load(reply + i + 6) == open) | (load(reply + i + 8) == open);
        if (!anyLane(passed))
            continue;
        for (int k = 0; k < LaneCount; ++k) {
            if (passed[k] && check(i + k))
                return i + k;
        }
    }
    for (; i < length; ++i) {
        if (check(i))
            return i;
    }
    return -1;
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

} // namespace

int findTableMarker(char* reply, int length) {
    int searchStart = -1;
    const int place = findMarkerPlace(reply, length, &searchStart);
    // The rule lower-cases the five bytes at each place it looks at, from the first to the
    // marker's (to the end when there is none).
    const int lowered = place < 0 ? length : std::min(place + 5, length);
    for (int q = 0; q < lowered; ++q)
        reply[q] = lowerAscii(reply[q]);
    return searchStart;
}

int buildTextWindow(const char* reply, int length, int start, char* window) {
    int n = 0;
    if (start >= 0 && start < length) {
        const int end = std::min(start, length - TextWindowSize) + TextWindowSize;
        int p = start;
        while (p < end) {
            // Copy a run of printable bytes at once, then apply the skip rule at the byte that ends it.
            const int runEnd = printableRunEnd(reply, p, end);
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

PageText::PageText(const char* reply, int length) : reply_(reply), length_(length) {}

TextWindow PageText::window(int start) {
    if (start < 0 || start >= length_)
        return {plain_, 0};
    const int end = std::min(start, length_ - TextWindowSize) + TextWindowSize;
    if (walked_ < 0) {
        // As far as a batch's windows can reach: each starts at most a window and a step on.
        constexpr int reach = SymbolsPerBatch * (TextWindowSize + SearchStep) + TextWindowSize;
        text_.reserve(static_cast<size_t>(std::min(length_ - start, reach)));
        runs_.reserve(64);
        runs_.push_back({start, 0});
        walked_ = start;
    }
    if (start >= runs_.front().from) {
        walkTo(end);
        if (reached(start)) {
            const int first = keptBefore(start);
            return {text_.data() + first, keptBefore(end) - first};
        }
    }
    return {plain_, buildTextWindow(reply_, length_, start, plain_)};
}

void PageText::walkTo(int end) {
    while (walked_ < end) {
        const int runEnd = printableRunEnd(reply_, walked_, end);
        text_.insert(text_.end(), reply_ + walked_, reply_ + runEnd);
        walked_ = runEnd;
        if (walked_ < end) {
            // A byte the skip rules drop: the walk jumps, and a new run starts where it lands.
            const int skip = skipCount(reply_, length_, walked_);
            walked_ = skip < length_ - walked_ ? walked_ + skip : length_;
            runs_.push_back({walked_, static_cast<int>(text_.size())});
        }
    }
}

const PageText::Run& PageText::runAt(int p) const {
    const auto after =
        std::upper_bound(runs_.begin(), runs_.end(), p, [](int q, const Run& run) { return q < run.from; });
    return *(after - 1);
}

int PageText::keptIn(const Run& run) const {
    const int next = &run == &runs_.back() ? static_cast<int>(text_.size()) : (&run + 1)->text;
    return next - run.text;
}

int PageText::keptBefore(int p) const {
    const Run& run = runAt(p);
    return run.text + std::min(p - run.from, keptIn(run));
}

bool PageText::reached(int p) const {
    // One of a run's kept bytes, or the byte after them that the walk jumped from. (p is short
    // of where the walk stands, so in the last run, which has not ended, only kept bytes do.)
    const Run& run = runAt(p);
    return p - run.from <= keptIn(run);
}

int findSymbol(const char* text, int textLength, const char* symbol, int symbolLength, SymbolMatch* match) {
    if (match)
        *match = SymbolMatch::None;
    if (symbolLength < 1 || symbolLength > SymbolLengthMax)
        return -1;
    char upper[SymbolLengthMax];
    for (int i = 0; i < symbolLength; ++i)
        upper[i] = upperAscii(symbol[i]);

    // A link tail ends a link whose query ends in the symbol; an exact text is a text that is the symbol.
    char linkTail[2 * SymbolLengthMax + 4];
    char exactText[SymbolLengthMax + 2];
    int linkTailLength = 0;
    int exactTextLength = 0;
    if (symbolLength <= 2) {
        linkTail[linkTailLength++] = '=';
        std::memcpy(linkTail + linkTailLength, upper, symbolLength);
        linkTailLength += symbolLength;
        linkTail[linkTailLength++] = '"';
        linkTail[linkTailLength++] = '>';
        std::memcpy(linkTail + linkTailLength, upper, symbolLength);
        linkTailLength += symbolLength;
        if (symbolLength == 1)
            linkTail[linkTailLength++] = '<';
    } else {
        std::memcpy(linkTail, upper, symbolLength);
        linkTailLength = symbolLength;
        linkTail[linkTailLength++] = '"';
        linkTail[linkTailLength++] = '>';
    }
    if (symbolLength >= 2) {
        exactText[exactTextLength++] = '>';
        std::memcpy(exactText + exactTextLength, upper, symbolLength);
        exactTextLength += symbolLength;
        exactText[exactTextLength++] = '<';
    }

    // Both patterns hold the symbol: a link tail from its character symbolInLinkTail on, an exact
    // text from its second. So each place where the symbol's first and last letters are in place
    // is looked at for an exact text starting at place - 1 and a link tail starting at
    // place - symbolInLinkTail, in the order of those starts and the link tail first when they
    // start together; the places come in order, so the first match found is the first one.
    const int symbolInLinkTail = symbolLength <= 2 ? 1 : 0;
    auto matchesAt = [text, textLength](const char* pattern, int patternLength, int at) {
        return at >= 0 && textLength - at >= patternLength &&
               std::memcmp(text + at, pattern, static_cast<size_t>(patternLength)) == 0;
    };
    int first = -1;
    SymbolMatch found = SymbolMatch::None;
    auto take = [&](int at, SymbolMatch which) {
        first = at;
        found = which;
        return true;
    };
    firstPlace(text, textLength - symbolLength + 1, 0, upper[0], symbolLength - 1, upper[symbolLength - 1],
               [&](int place) {
                   const int linkTailStart = place - symbolInLinkTail;
                   const int exactTextStart = place - 1;
                   const bool exactTextFirst = exactTextStart < linkTailStart;
                   if (exactTextFirst && exactTextLength > 0 && matchesAt(exactText, exactTextLength, exactTextStart))
                       return take(exactTextStart, SymbolMatch::ExactText);
                   if (matchesAt(linkTail, linkTailLength, linkTailStart))
                       return take(linkTailStart, SymbolMatch::LinkTail);
                   if (!exactTextFirst && exactTextLength > 0 && matchesAt(exactText, exactTextLength, exactTextStart))
                       return take(exactTextStart, SymbolMatch::ExactText);
                   return false;
               });
    if (match)
        *match = found;
    return first;
}

void takeRowText(const char* window, int n, int j, SymbolMatch kind, char* row) {
    const int count = std::clamp(n - j, 0, RowTextSize);
    if (count > 0)
        std::memcpy(row, window + j, static_cast<size_t>(count));
    row[count] = '\0';
    if (kind == SymbolMatch::LinkTail) {
        // The link tag up to its '>' goes, leaving the symbol as the page shows it.
        for (int i = 0; i < count; ++i) {
            const bool closing = row[i] == '>';
            row[i] = ' ';
            if (closing)
                break;
        }
    } else if (kind == SymbolMatch::ExactText && count > 0) {
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

void fixMissingTime(char* row) {
    // The first place, up to the last (792) at which nine characters fit in a row text, where
    // either cell starts; places are screened for the 't' and the '>' the two share.
    constexpr int lastStart = RowTextSize - 8;
    const int area = static_cast<int>(strnlen(row, lastStart + 9));
    const int at = firstPlace(row, area - 8, 0, 't', 4, '>', [row](int i) {
        return std::memcmp(row + i, "ter\">", 5) == 0 &&
               (std::memcmp(row + i + 5, "</td", 4) == 0 || std::memcmp(row + i + 5, "ET</", 4) == 0);
    });
    if (at >= 0) {
        const bool onlyEt = row[at + 5] == 'E';
        replaceInRow(row, at + 5, onlyEt ? 2 : 0, "Unknown ET");
    }
}

int blankRunEnd(const char* text, int length, int p) {
    while (p < length) {
        if (text[p] == ' ') {
            ++p;
        } else if (text[p] == '<') {
            const void* close = std::memchr(text + p + 1, '>', static_cast<size_t>(length - p - 1));
            p = close ? static_cast<int>(static_cast<const char*>(close) - text) + 1 : length;
        } else {
            break;
        }
    }
    return p;
}

int wordEnd(const char* text, int length, int p) {
    while (p < length && text[p] != ' ' && text[p] != '<')
        ++p;
    return p;
}

int advanceSearchStart(int start, int j) {
    const int step = j + SearchStep;
    return start > INT_MAX - step ? INT_MAX : start + step;
}

int takeSymbolRow(PageText& page, int start, const char* slot, int symbolLength, char* row, bool* found) {
    const TextWindow window = page.window(start);
    const int slotChars = static_cast<int>(strnlen(slot, SymbolShownMax));
    const bool searchable = isPlaceableSymbol(slot, symbolLength);

    int j = -1;
    SymbolMatch kind = SymbolMatch::None;
    if (searchable)
        j = findSymbol(window.text, window.n, slot, symbolLength, &kind);
    if (j >= 0) {
        takeRowText(window.text, window.n, j, kind, row);
    } else {
        // A symbol the page lacks, or one no pattern can find, still gets its row.
        notFoundRowText(slot, searchable ? symbolLength : slotChars, row);
        j = 0;
    }
    if (found)
        *found = kind != SymbolMatch::None;
    fixMissingTime(row);
    return j;
}
