#include "sort/menu_sort.h"

#include "app/form_quote.h"
#include "app/quote_load_state.h"
#include "parsing/quote_table.h"
#include "platform/message_box.h"
#include "platform/rich_edit.h"
#include "quotes/quote_views.h"
#include "sort/core/orderings.h"

MenuSort::MenuSort(bool createSuspended, QAction* sender) : TThread(createSuspended), sender_(sender) {}

void SortAndRefillFromMenu(TFormQuote& form, void (*order)(int, int), bool repaintEachRow) {
    form.DisplayQR->clear();
    form.activateWindow();
    form.setFocus();
    order(0, QuoteTable.rowsLoaded - 1);
    RefillQuoteViews(form, repaintEachRow);
}

void MenuSort::Execute() {
    // The refusal test and the sort are one step on the window thread, so that no load can
    // start between them.
    bool refused = false;
    QAction* sender = sender_;
    Synchronize([&refused, sender] {
        if (DelayedLoadRunning(*FormQuote))
            refused = true;
        else if (sender == FormQuote->Alphabetically1)
            SortAndRefillFromMenu(*FormQuote, sortAlphabetically, true);
        else if (sender == FormQuote->byChange1)
            SortAndRefillFromMenu(*FormQuote, sortByChange, false);
    });
    if (refused)
        Synchronize([] { MessageBox("Sort functions are not available until all quotes are loaded", "Sort"); });
}

void TFormQuote::Alphabetically1Click(QAction* sender) {
    new MenuSort(false, sender);
}

void TFormQuote::byChange1Click(QAction* sender) {
    new MenuSort(false, sender);
}
