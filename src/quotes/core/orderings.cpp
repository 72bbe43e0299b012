#include "quotes/core/orderings.h"

#include <QCollator>
#include <QLocale>
#include <QStringView>
#include <QVarLengthArray>
#include <cstring>
#include <utility>

#include "parsing/quote_table.h"

namespace {

// The locale is fixed: under LANG=C a default QCollator compares code points and puts 3M
// before ^DJI. One collator per thread, since QCollator sets itself up lazily on first use.
const QCollator& symbolCollator() {
    thread_local const QCollator collator = [] {
        QCollator made(QLocale(QLocale::English, QLocale::UnitedStates));
        made.setCaseSensitivity(Qt::CaseInsensitive);
        made.setIgnorePunctuation(false);
        made.setNumericMode(false);
        return made;
    }();
    return collator;
}

// Symbols are single-byte text; each byte is its Latin-1 character.
using WideText = QVarLengthArray<char16_t, 16>;

void widen(const char* text, WideText& wide) {
    for (; *text; ++text)
        wide.append(static_cast<unsigned char>(*text));
}

void exchangeRows(QuoteRows& rows, int i, int j) {
    std::swap(rows.symbols[i], rows.symbols[j]);
    std::swap(rows.lines[i], rows.lines[j]);
    std::swap(rows.wordLines[i], rows.wordLines[j]);
    std::swap(rows.pctChanges[i], rows.pctChanges[j]);
}

// Quicksort with the middle element as pivot, taken by value before the two scans start so
// that the exchanges never move it. compare(row, pivot) is <0, 0 or >0.
template <typename Pivot, typename TakePivot, typename Compare>
void quickSort(QuoteRows& rows, int low, int high, const TakePivot& takePivot, const Compare& compare) {
    if (high < low || low < 0 || high >= QuoteTableCapacity)
        return;
    const Pivot pivot = takePivot((low + high) / 2);
    int i = low;
    int j = high;
    do {
        while (compare(i, pivot) < 0)
            ++i;
        while (compare(j, pivot) > 0)
            --j;
        if (i <= j) {
            exchangeRows(rows, i, j);
            ++i;
            --j;
        }
    } while (i <= j);
    if (low < j)
        quickSort<Pivot>(rows, low, j, takePivot, compare);
    if (i < high)
        quickSort<Pivot>(rows, i, high, takePivot, compare);
}

struct SymbolPivot {
    char text[SymbolSlotSize + 1];
};

} // namespace

int compareSymbols(const char* a, const char* b) {
    WideText wideA;
    WideText wideB;
    widen(a, wideA);
    widen(b, wideB);
    const int order =
        symbolCollator().compare(QStringView(wideA.data(), wideA.size()), QStringView(wideB.data(), wideB.size()));
    return order < 0 ? -1 : order > 0 ? 1 : 0;
}

void sortAlphabetically(QuoteRows& rows, int low, int high) {
    const auto takePivot = [&rows](int mid) {
        SymbolPivot pivot{};
        std::memcpy(pivot.text, rows.symbols[mid], SymbolSlotSize);
        return pivot;
    };
    const auto compare = [&rows](int row, const SymbolPivot& pivot) {
        return compareSymbols(rows.symbols[row], pivot.text);
    };
    quickSort<SymbolPivot>(rows, low, high, takePivot, compare);
}

void sortByChange(QuoteRows& rows, int low, int high) {
    const auto takePivot = [&rows](int mid) { return rows.pctChanges[mid]; };
    const auto compare = [&rows](int row, float pivot) {
        const float key = rows.pctChanges[row];
        return key < pivot ? -1 : key > pivot ? 1 : 0;
    };
    quickSort<float>(rows, low, high, takePivot, compare);
}
