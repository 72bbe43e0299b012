#pragma once
// A Sort menu request: refuses while a delayed load runs, otherwise sorts the quote table
// on the window thread and rewrites the Quotes grid and mirror in the new order.
#include "platform/worker_thread.h"

class QuotesTab;

enum class MenuOrder { Alphabetical, ByChange };

class MenuSort : public WorkerThread {
public:
    MenuSort(bool createSuspended, QuotesTab& tab, MenuOrder order);

protected:
    void run() override;

private:
    QuotesTab& tab_;
    const MenuOrder order_;
};
