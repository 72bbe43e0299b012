#pragma once
// A Sort menu request: refuses while a delayed load runs, otherwise sorts the Quotes tab's rows
// and rewrites its grid and mirror in the new order.
class QuotesTab;

enum class MenuOrder { Alphabetical, ByChange };

// Runs on the window thread, as the menu's step: no load can start between the refusal test
// and the sort.
void sortFromMenu(QuotesTab& tab, MenuOrder order);
