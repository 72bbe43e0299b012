#pragma once
// The load both quote tabs run on their worker thread: read the tab's portfolio, request
// its symbols 20 a batch, parse every page into finished rows and hand them to the tab's view
// on the window thread, and end normally or on a lost connection. The load never touches a
// control: it tells the tab's view, and each view call runs on the window thread.
#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <string>
#include <utility>

#include "net/core/server_address.h"
#include "parsing/symbol_table.h"
#include "platform/worker_thread.h"

// One parsed row as its tab shows it, made on the load's worker.
struct ShownRow {
    QStringList cells;     // the grid's cells; a null text is a cell the row leaves as it is
    QString line;          // the mirror's line
    QColor colour;         // the mirror line's colour
    QByteArray tableLine;  // the display line the tab's table keeps (delayed rows)
    QByteArray tableWords; // and the start of its word line
    float change = 0;      // the percent change (delayed) or the trade's direction (real-time)
    float afterHours = 0;  // the after-hours direction (real-time)
};

// The rows of one page, in order, how many of them are "symbol not found" rows, and whether
// the parser met the end of the symbol list.
struct ParsedPage {
    QList<ShownRow> rows;
    int notFound = 0;
    bool endOfList = false;
};

// What a load tells its tab. Every call runs on the window thread, in the order the load
// makes them; the view outlives every load.
class QuoteLoadView {
public:
    virtual ~QuoteLoadView() = default;
    // Busy: "Get Quotes" disabled, the mirror emptied.
    virtual void loadStarting() = 0;
    // The portfolio could not be opened: the box that says why; "Get Quotes" enabled again.
    virtual void portfolioUnreadable(const QString& why) = 0;
    // The portfolio is open: the keyboard goes to the tab's Portfolio box.
    virtual void portfolioOpened() = 0;
    virtual void showStatus(const QString& text) = 0;
    // The rows of one page, in one step: into the tab's table, its grid and its mirror.
    virtual void showPage(const ParsedPage& page) = 0;
    // A load that ended normally: counts, controls enabled, completion; doneText is the final
    // status ("Done getting quotes", with what the user should know in brackets).
    virtual void finished(const QString& doneText) = 0;
    // A load that lost its connection ("server: what went wrong"): the status that says why;
    // controls enabled.
    virtual void connectionLost(const QString& why) = 0;
    // Idle: the next "Get Quotes" (a click or the timer) may start a load.
    virtual void idle() = 0;
};

// What a load is handed at the click: the portfolio, the server it asks and where it reports.
struct QuoteLoadRequest {
    QString portfolioPath; // absolute
    ServerAddress server;
    QuoteLoadView* view = nullptr;
};

// How the tabs' loads differ, besides their views.
struct QuoteLoadKind {
    SymbolTable* table;
    // Parses a reply on the worker: the rows' data-file lines into data (none when it could
    // not be made), the rows as the tab shows them into the page.
    ParsedPage (*parsePage)(char* reply, int length, FILE* data);
    int lastBatch;
    const char* queryKey;
    const char* dataSuffix;
};

// The worker of one load, created running at the click; it frees itself when the load ends.
class QuoteLoadThread : public WorkerThread {
public:
    QuoteLoadThread(const QuoteLoadKind& kind, QuoteLoadRequest request)
        : WorkerThread(false), kind_(kind), request_(std::move(request)) {}

protected:
    void run() override;

private:
    const QuoteLoadKind& kind_;
    const QuoteLoadRequest request_;
};
