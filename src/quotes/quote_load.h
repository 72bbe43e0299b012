#pragma once
// The load both quote tabs run on their worker thread: read the tab's portfolio, request
// its symbols 20 a batch, hand every page to the tab's parser on the window thread, and
// end normally or on a lost connection. The tabs differ only in what is described here.
#include <QString>
#include <cstdio>
#include <functional>
#include <string>

#include "parsing/symbol_table.h"

class QLineEdit;
class QPushButton;
class TFormQuote;
class TRichEdit;
class TStatusBar;

// What a load is handed at the click: the portfolio and the server it asks.
struct QuoteLoadRequest {
    QString portfolioPath; // absolute
    std::string host;
    int port = 0;
};

struct QuoteLoadTab {
    // The tab's controls (touched on the window thread only).
    QPushButton* TFormQuote::*button;
    TRichEdit* TFormQuote::*mirror;
    QLineEdit* TFormQuote::*portfolio;
    TStatusBar* TFormQuote::*status;
    bool TFormQuote::*loading;

    // The tab's table and request.
    SymbolTable* table;
    int lastBatch;
    const char* queryKey;
    const char* dataSuffix;

    // Window thread: parse one reply; true when the parser met the end of the symbol list.
    std::function<bool(char* reply, int length, FILE* data)> parse;
    // Worker thread, at the normal end once the files are closed, before the button is enabled.
    std::function<void()> count;
    // Window thread: the completion of a load that ended normally; doneText is the final
    // status ("Done getting quotes", with what the user should know in brackets).
    std::function<void(const QString& doneText)> complete;
};

void RunQuoteLoad(const QuoteLoadTab& tab, const QuoteLoadRequest& request);
