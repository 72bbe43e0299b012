#pragma once
// A Sort menu request: refuses while a delayed load runs, otherwise sorts the quote table
// on the window thread and rewrites the Quotes grid and mirror in the new order.
#include "platform/t_thread.h"

class QAction;

class MenuSort : public TThread {
public:
    MenuSort(bool createSuspended, QAction* sender);

protected:
    void Execute() override;

private:
    QAction* sender_;
};

class TFormQuote;
// The menu path's sort and refill, on the window thread.
void SortAndRefillFromMenu(TFormQuote& form, void (*order)(int, int), bool repaintEachRow);
