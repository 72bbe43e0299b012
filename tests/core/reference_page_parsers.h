#pragma once
// Plain, unoptimised versions of both page parsers, for tests only: every rule written
// out the simplest way (a fresh 5000-byte text window per symbol, the patterns compared at
// every position, the whole row tag-blanked), so that the parsers in src/parsing can be
// checked against them byte for byte. They read and write the same tables and call the
// same sinks as parseQuotePage and parseRtPage.
#include "parsing/page_scan.h"
#include "parsing/quote_page.h"
#include "parsing/rt_page.h"

namespace reference {

PageEnd parseQuotePage(char* reply, int length, SymbolTable& table, QuotePageSink& sink);
PageEnd parseRtPage(char* reply, int length, SymbolTable& table, RtPageSink& sink);

} // namespace reference
