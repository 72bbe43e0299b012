#pragma once
// Loads against tickwell-quoted in a scratch folder: write a portfolio, point the program at
// the server, click "Get Quotes", wait for the load to end.
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

void UseQuoteServer(int port);
// Clicks the tab's "Get Quotes" and waits (bounded) until its load has ended.
bool RunDelayedLoad(int timeoutMs = 30000);
bool RunRealTimeLoad(int timeoutMs = 30000);
bool WaitForLoadsToEnd(int timeoutMs = 30000);

enum class QuoteTab { Quotes, RealTime };
// Shows the tab and clicks its "Get Quotes" with the mouse, then waits (bounded) until the load
// has ended. Returns the milliseconds from the click to the end; -1 when the click started no
// load or the load did not end in time.
qint64 ClickGetQuotes(QuoteTab tab, int timeoutMs = 30000);
// A loopback port on which nothing listens.
int ClosedPort();
// Symbols the quote server knows: S0..S(n-1) from a fixed list of real-looking tickers.
QStringList KnownSymbols(int count);
