#include "quotes/menu_sort.h"

#include "platform/message_box.h"
#include "quotes/core/orderings.h"
#include "quotes/quotes_tab.h"

MenuSort::MenuSort(bool createSuspended, QuotesTab& tab, MenuOrder order)
    : WorkerThread(createSuspended), tab_(tab), order_(order) {}

void MenuSort::run() {
    // The refusal test and the sort are one step on the window thread, so that no load can
    // start between them. The alphabetical sort shows the grid as it fills.
    bool refused = false;
    synchronize([this, &refused] {
        if (tab_.loadRunning())
            refused = true;
        else if (order_ == MenuOrder::Alphabetical)
            tab_.sortRows(sortAlphabetically, true);
        else
            tab_.sortRows(sortByChange, false);
    });
    if (refused)
        synchronize([] { MessageBox("Sort functions are not available until all quotes are loaded", "Sort"); });
}
