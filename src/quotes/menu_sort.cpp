#include "quotes/menu_sort.h"

#include "platform/message_box.h"
#include "quotes/core/orderings.h"
#include "quotes/quotes_tab.h"

void sortFromMenu(QuotesTab& tab, MenuOrder order) {
    if (tab.loadRunning())
        messageBox("Sort functions are not available until all quotes are loaded", "Sort");
    else if (order == MenuOrder::Alphabetical)
        tab.sortRows(sortAlphabetically, true); // shows the grid as it fills
    else
        tab.sortRows(sortByChange, false);
}
