// What a delayed load's rows do to the Quotes tab: the grid, the hidden mirror and the data
// file as each page arrives; the counts, the automatic sort and the final status at its end.
#include <QCheckBox>
#include <QLineEdit>

#include "parsing/quote_page.h"
#include "parsing/quote_table.h"
#include "platform/rich_edit.h"
#include "platform/status_bar.h"
#include "platform/string_grid.h"
#include "quotes/quote_colours.h"
#include "quotes/quotes_tab.h"
#include "sort/core/orderings.h"

class QuotesTab::RowSink : public QuotePageSink {
public:
    RowSink(QuotesTab& tab, FILE* dataFile) : QuotePageSink(dataFile), tab_(tab) {}
    void appendRow(const char* line, double pct) override { tab_.appendRow(line, pct); }

private:
    QuotesTab& tab_;
};

bool QuotesTab::showPage(char* reply, int length, FILE* data) {
    RowSink sink(*this, data);
    return parseQuotePage(reply, length, sink) == PageEnd::EndOfList;
}

void QuotesTab::writeCells(int row, const char* line) {
    char cell[QuoteLineSize];
    for (int col = 0; col < 7; ++col) {
        if (QuoteCellCuts[col].length == 0)
            continue; // the narrow spacer column is never written
        cutCell(line, QuoteCellCuts[col], cell);
        grid_->setCell(col, row, QString::fromLatin1(cell));
    }
}

void QuotesTab::appendRow(const char* line, double pct) {
    // The row's place is its own index in this load, never the grid's current row, which a
    // click or a search may have moved; the current row only follows for display.
    const int row = QuoteTable.rowsLoaded;
    grid_->setRowCount(std::max(grid_->RowCount() + 1, row + 1));
    mirror_->AppendAtEnd(QString::fromLatin1(line), ChangeColour(pct));
    writeCells(row, line);
    grid_->setRow(row + 1);
}

void QuotesTab::refillFromTable(bool repaintEachRow) {
    for (int i = 0; i < QuoteTable.rowsLoaded; ++i) {
        mirror_->setSelColor(ChangeColour(QuotePctChanges[i]));
        mirror_->AddLine(QString::fromLatin1(QuoteLines[i]));
        writeCells(i, QuoteLines[i]);
        if (repaintEachRow)
            grid_->repaintNow();
    }
}

void QuotesTab::sortRows(void (*order)(int, int), bool repaintEachRow) {
    mirror_->clear();
    window()->activateWindow();
    window()->setFocus();
    order(0, QuoteTable.rowsLoaded - 1);
    refillFromTable(repaintEachRow);
}

void QuotesTab::finished(const QString& doneText) {
    showCounts();
    enableControls();
    completeLoad(doneText);
}

void QuotesTab::showCounts() {
    int advancers = 0, decliners = 0, unchanged = 0;
    for (int i = 0; i < QuoteTable.rowsLoaded; ++i) {
        if (QuotePctChanges[i] > 0)
            ++advancers;
        else if (QuotePctChanges[i] < 0)
            ++decliners;
        else
            ++unchanged;
    }
    advancing_->setText(QString::number(advancers));
    declining_->setText(QString::number(decliners));
    unchanged_->setText(QString::number(unchanged));
}

void QuotesTab::completeLoad(const QString& doneText) {
    // Alphabetical wins when both boxes are set.
    void (*order)(int, int) = alphabeticalSortBox_->isChecked() ? sortAlphabetically
                              : changeSortBox_->isChecked()     ? sortByChange
                                                                : nullptr;
    if (order) {
        mirror_->clear();
        order(0, QuoteTable.rowsLoaded - 1);
        refillFromTable(true);
    }
    status_->setSimpleText(doneText);
    grid_->setRowCount(std::max(1, QuoteTable.rowsLoaded));
}
