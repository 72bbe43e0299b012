// What a delayed load's rows do to the Quotes tab: the table, the grid and the hidden mirror
// as each page arrives; the counts, the automatic sort and the final status at its end.
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>

#include "load/quote_colours.h"
#include "parsing/quote_table.h"
#include "platform/mirror_text_edit.h"
#include "platform/quote_grid.h"
#include "platform/status_line.h"
#include "quotes/core/orderings.h"
#include "quotes/delayed_load.h"
#include "quotes/quotes_tab.h"

void QuotesTab::showPage(const ParsedPage& page) {
    showRows(page, QuoteTable.rowsLoaded, [](const ShownRow& row) {
        storeQuoteRow(row.tableLine.constData(), row.change, row.tableWords.constData());
    });
}

void QuotesTab::refillFromTable(bool repaintWhileFilling) {
    // While filling, the grid is shown at most once a display frame.
    constexpr int FrameMs = 16;
    QElapsedTimer frame;
    frame.start();
    QList<MirrorTextEdit::Line> lines;
    QList<QStringList> cells;
    int written = 0;
    for (int i = 0; i < QuoteTable.rowsLoaded; ++i) {
        lines << MirrorTextEdit::Line{QString::fromLatin1(QuoteLines[i]), ChangeColour(QuotePctChanges[i])};
        cells << DelayedRowCells(QuoteLines[i], QuoteWordLines[i]);
        if (repaintWhileFilling && frame.elapsed() >= FrameMs) {
            grid_->setCells(written, cells);
            written += int(cells.size());
            cells.clear();
            grid_->repaintNow();
            frame.restart();
        }
    }
    grid_->setCells(written, cells);
    mirror_->appendLines(lines);
    if (repaintWhileFilling)
        grid_->repaintNow();
}

void QuotesTab::sortRows(void (*order)(int, int), bool repaintWhileFilling) {
    mirror_->clear();
    window()->activateWindow();
    window()->setFocus();
    order(0, QuoteTable.rowsLoaded - 1);
    refillFromTable(repaintWhileFilling);
}

void QuotesTab::finished(const QString& doneText) {
    showCounts();
    enableControls();
    allRowsFresh();
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
