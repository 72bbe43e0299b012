#pragma once
// Loads against tickwell-quoted in a scratch folder: write a portfolio, point the program at
// the server, click "Get Quotes", wait for the load to end. Also the one place that knows the
// program's inner state behind the screen: whether a load runs, the quote tables, the tabs'
// portfolio folders.
#include <QList>
#include <QStringList>
#include <QTemporaryDir>

class LoadFolder {
public:
    LoadFolder();  // a new scratch folder, made the current folder
    ~LoadFolder(); // the previous current folder back
    QString path(const QString& name) const;
    void writePortfolio(const QStringList& lines, const QString& name = "input.txt", const char* newline = "\n");
    QStringList readLines(const QString& name) const;

private:
    QTemporaryDir dir_;
    QString previous_;
};

enum class QuoteTab { Quotes, RealTime };

// Both quote tabs' loads and Display Details ask the server at host:port from now on. Returns
// its address as the program shows it ("127.0.0.1:8080").
QString useQuoteServer(int port, const QString& host = "127.0.0.1");
// Shows the tab and clicks its "Get Quotes" with the mouse, then waits (bounded) until the load
// has ended. Returns the milliseconds from the click to the end; -1 when the click started no
// load or the load did not end in time.
qint64 clickGetQuotes(QuoteTab tab, int timeoutMs = 30000);
// The same, true when a load started and ended in time.
bool runDelayedLoad(int timeoutMs = 30000);
bool runRealTimeLoad(int timeoutMs = 30000);

// True from a tab's "Get Quotes" (a click or a refresh tick) until its load has ended; while it
// is, another "Get Quotes" on that tab starts nothing.
bool loadRunning(QuoteTab tab);
bool waitForLoadsToEnd(int timeoutMs = 30000);
// The tab counts as loading (or not) without any load: the moment between a click on
// "Get Quotes" and the loader's first step.
void setLoadRunning(QuoteTab tab, bool running);

// A row of the delayed-quote table, which Find symbol searches, the sorts reorder and the
// Quotes grid is drawn from: the portfolio's symbol, the display line and the change in percent.
struct QuoteRow {
    QString symbol;
    QString line;
    float change = 0;
};
// The rows the last delayed load stored, in the table's present order.
QList<QuoteRow> loadedQuoteRows();
// The table holds these rows, as a load that stored them leaves it; the screen is not touched.
void setQuoteTable(const QList<QuoteRow>& rows);
// One row of the table; the number of rows stored stays.
void setQuoteTableRow(int row, const QuoteRow& quote);
// The real-time table's directions of a row (1 up, -1 down, 0 unchanged, -100 unknown) for the
// trade and after hours, which colour the RealTime grid.
float realTimeTradeDirection(int row);
void setRealTimeDirections(int row, float trade, float afterHours);

// Both quote tabs forget the folder of the portfolio last chosen on them: their portfolio's name
// is looked for in the current folder again, as at start.
void forgetChosenFolders();
// The tab's portfolio becomes another name in its folder, as the program would name it (the
// Portfolio box is read-only to the user).
void namePortfolio(QuoteTab tab, const QString& name);
// The files ending in ".txt" this process has open (portfolios are never left open).
QStringList openTextFiles();

// A loopback port on which nothing listens.
int closedPort();
// Symbols the quote server knows: S0..S(n-1) from a fixed list of real-looking tickers.
QStringList knownSymbols(int count);
