#include "quotes/quote_views.h"

#include <QCheckBox>
#include <QLineEdit>

#include "app/form_quote.h"
#include "app/quote_colours.h"
#include "parsing/quote_table.h"
#include "platform/rich_edit.h"
#include "platform/status_bar.h"
#include "platform/string_grid.h"
#include "sort/core/orderings.h"

void WriteQuoteCells(TFormQuote& form, int row, const char* line) {
    char cell[QuoteLineSize];
    for (int col = 0; col < 7; ++col) {
        if (QuoteCellCuts[col].length == 0)
            continue; // the narrow spacer column is never written
        cutCell(line, QuoteCellCuts[col], cell);
        form.QT1->setCell(col, row, QString::fromLatin1(cell));
    }
}

void QuoteViewSink::appendRow(const char* line, double pct) {
    // The row's place is its own index in this load, never the grid's current row, which a
    // click or a search may have moved; the current row only follows for display.
    const int row = QuoteTable.rowsLoaded;
    TStringGrid* grid = form_.QT1;
    grid->setRowCount(std::max(grid->RowCount() + 1, row + 1));
    form_.DisplayQR->AppendAtEnd(QString::fromLatin1(line), ChangeColour(pct));
    WriteQuoteCells(form_, row, line);
    grid->setRow(row + 1);
}

void RefillQuoteViews(TFormQuote& form, bool repaintEachRow) {
    for (int i = 0; i < QuoteTable.rowsLoaded; ++i) {
        form.DisplayQR->setSelColor(ChangeColour(QuotePctChanges[i]));
        form.DisplayQR->AddLine(QString::fromLatin1(QuoteLines[i]));
        WriteQuoteCells(form, i, QuoteLines[i]);
        if (repaintEachRow)
            form.QT1->repaintNow();
    }
}

void CompleteQuoteLoad(TFormQuote& form, const QString& doneText) {
    // Alphabetical wins when both boxes are set.
    void (*order)(int, int) = form.CheckBox1->isChecked()   ? sortAlphabetically
                              : form.CheckBox2->isChecked() ? sortByChange
                                                            : nullptr;
    if (order) {
        form.DisplayQR->clear();
        order(0, QuoteTable.rowsLoaded - 1);
        RefillQuoteViews(form, true);
    }
    form.StatusBar1->setSimpleText(doneText);
    form.QT1->setRowCount(std::max(1, QuoteTable.rowsLoaded));
}

QuotesLoadView::QuotesLoadView(TFormQuote& form)
    : TabLoadView({form.BtnQuote, form.DisplayQR, form.Portfolio, form.StatusBar1, &form.QuotesLoading}), form_(form) {}

bool QuotesLoadView::showPage(char* reply, int length, FILE* data) {
    QuoteViewSink sink(form_, data);
    return parseQuotePage(reply, length, sink) == PageEnd::EndOfList;
}

void QuotesLoadView::finished(const QString& doneText) {
    int advancers = 0, decliners = 0, unchanged = 0;
    for (int i = 0; i < QuoteTable.rowsLoaded; ++i) {
        if (QuotePctChanges[i] > 0)
            ++advancers;
        else if (QuotePctChanges[i] < 0)
            ++decliners;
        else
            ++unchanged;
    }
    form_.Adv->setText(QString::number(advancers));
    form_.Decl->setText(QString::number(decliners));
    form_.NoChg->setText(QString::number(unchanged));
    enableControls();
    CompleteQuoteLoad(form_, doneText);
}
