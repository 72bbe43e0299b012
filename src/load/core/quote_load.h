#pragma once
// The load both quote tabs run on their worker thread: read the tab's portfolio, request
// its symbols 20 a batch, parse every page into finished rows and hand them to the tab's view
// on the window thread, and end normally or on a lost connection. The load never touches a
// control: it tells the tab's view, and each view call runs on the window thread. It owns its
// symbols and where its parse stands; the rows it hands over are the tab's.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <string>
#include <utility>

#include "net/core/server_address.h"
#include "parsing/symbol_table.h"
#include "platform/core/live_count.h"
#include "platform/core/worker_thread.h"

// One parsed row as its tab shows it, made on the load's worker. The tab colours the mirror's
// line by the row's change.
struct ShownRow {
    QByteArray symbol;     // the portfolio's symbol of the row, as the load's table holds it
    QStringList cells;     // the grid's cells; a null text is a cell the row leaves as it is
    QString line;          // the mirror's line
    QByteArray tableLine;  // the display line the tab's table keeps (delayed rows)
    QByteArray tableWords; // and the start of its word line
    float change = 0;      // the percent change (delayed) or the trade's direction (real-time)
    float afterHours = 0;  // the after-hours direction (real-time)
    QStringList values;    // the kind's columns, as row_values.h reads them
    bool notFound = false; // a "symbol not found" row
};

// The rows of one page, in order, how many of them are "symbol not found" rows, whether the
// parser met the end of the symbol list, and where the search stands after the page.
struct ParsedPage : LiveCount<ParsedPage> {
    QList<ShownRow> rows;
    int notFound = 0;
    bool endOfList = false;
    int searchStart = 0;
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
    // The rows of one page, in one step: into the tab's table, its grid and its mirror; the
    // tab keeps the search start for its next load.
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

// What a load is handed at the click: the portfolio, the server it asks, where it reports and
// where the tab's last load left the search (a page without the table marker goes on from there).
struct QuoteLoadRequest {
    QString portfolioPath; // absolute
    ServerAddress server;
    QuoteLoadView* view = nullptr;
    int searchStart = 0;
};

// How the tabs' loads differ, besides their views.
struct QuoteLoadKind {
    // Parses a reply of the table's current batch on the worker: the rows' data-file lines into
    // data (none when it could not be made), the rows as the tab shows them into the page.
    ParsedPage (*parsePage)(char* reply, int length, SymbolTable& table, FILE* data);
    int lastBatch;
    const char* queryKey;
    const char* dataSuffix;
    const char* columns; // the names of a row's values, comma-separated
};

// The worker of one load, created running at the click; it frees itself when the load ends.
class QuoteLoadThread : public WorkerThread, public LiveCount<QuoteLoadThread> {
public:
    QuoteLoadThread(const QuoteLoadKind& kind, QuoteLoadRequest request)
        : WorkerThread(false), kind_(kind), request_(std::move(request)) {}

protected:
    void run() override;

private:
    const QuoteLoadKind& kind_;
    const QuoteLoadRequest request_;
};
