// What a delayed load's rows do to the Quotes tab: the table, the grid and the hidden mirror
// as each page arrives; the counts, the automatic sort and the final status at its end.
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>

#include "platform/mirror_text_edit.h"
#include "platform/quote_colours.h"
#include "platform/quote_grid.h"
#include "platform/status_line.h"
#include "quotes/core/delayed_load.h"
#include "quotes/core/orderings.h"
#include "quotes/quotes_tab.h"

void QuotesTab::portfolioOpened() {
    // A load that has read its portfolio stores its rows from row 0.
    rows_->count = 0;
    TabLoadView::portfolioOpened();
}

void QuotesTab::showPage(const ParsedPage& page) {
    QuoteRows& rows = *rows_;
    showRows(page, rows.count, [&rows](const ShownRow& row) {
        storeQuoteRow(rows, row.symbol.constData(), row.tableLine.constData(), row.change, row.tableWords.constData());
    });
    rows.searchStart = page.searchStart;
}

QColor QuotesTab::mirrorColour(float change) const {
    return changeColour(change);
}

void QuotesTab::refillFromTable(bool repaintWhileFilling) {
    // While filling, the grid is shown at most once a display frame.
    constexpr int FrameMs = 16;
    QElapsedTimer frame;
    frame.start();
    QList<MirrorTextEdit::Line> lines;
    QList<QStringList> cells;
    int written = 0;
    const QuoteRows& rows = *rows_;
    for (int i = 0; i < rows.count; ++i) {
        lines << MirrorTextEdit::Line{QString::fromLatin1(rows.lines[i]), changeColour(rows.pctChanges[i])};
        cells << delayedRowCells(rows.lines[i], rows.wordLines[i]);
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

void QuotesTab::sortRows(void (*order)(QuoteRows&, int, int), bool repaintWhileFilling) {
    mirror_->clear();
    window()->activateWindow();
    window()->setFocus();
    order(*rows_, 0, rows_->count - 1);
    refillFromTable(repaintWhileFilling);
    tellCurrentRow();
}

void QuotesTab::tellCurrentRow() {
    if (grid_->hasFocus()) {
        grid_->tellCurrentCell();
        return;
    }
    QStringList cells;
    for (int col = 0; col < grid_->colCount(); ++col)
        if (!grid_->isSpacerColumn(col))
            cells << grid_->cell(col, grid_->currentRow()).trimmed();
    status_->announce(cells.join(' '));
}

void QuotesTab::finished(const QString& doneText) {
    showCounts();
    enableControls();
    allRowsFresh();
    completeLoad(announceAlerts(doneText));
}

void QuotesTab::showCounts() {
    int advancers = 0, decliners = 0, unchanged = 0;
    for (int i = 0; i < rows_->count; ++i) {
        if (rows_->pctChanges[i] > 0)
            ++advancers;
        else if (rows_->pctChanges[i] < 0)
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
    void (*order)(QuoteRows&, int, int) = alphabeticalSortBox_->isChecked() ? sortAlphabetically
                                          : changeSortBox_->isChecked()     ? sortByChange
                                                                            : nullptr;
    if (order) {
        mirror_->clear();
        order(*rows_, 0, rows_->count - 1);
        refillFromTable(true);
    }
    status_->setSimpleText(doneText);
    grid_->setRowCount(std::max(1, rows_->count));
}
