#include "gui_support/load_fixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTabWidget>
#include <QTcpServer>
#include <QTest>

#include "app/form_quote.h"
#include "gui_support/tickwell_windows.h"
#include "platform/core/quote_server.h"

LoadFolder::LoadFolder() : previous_(QDir::currentPath()) {
    QDir::setCurrent(dir_.path());
}

LoadFolder::~LoadFolder() {
    QDir::setCurrent(previous_);
}

QString LoadFolder::path(const QString& name) const {
    return dir_.filePath(name);
}

void LoadFolder::writePortfolio(const QStringList& lines, const QString& name, const char* newline) {
    QFile file(path(name));
    if (!file.open(QIODevice::WriteOnly))
        return;
    for (const QString& line : lines) {
        file.write(line.toLatin1());
        file.write(newline);
    }
}

QStringList LoadFolder::readLines(const QString& name) const {
    QFile file(path(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromLatin1(file.readAll()).split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

void UseQuoteServer(int port) {
    QuoteServerHost = "127.0.0.1";
    QuoteServerPort = port;
}

bool WaitForLoadsToEnd(int timeoutMs) {
    TFormQuote& form = TickwellWindows();
    return QTest::qWaitFor([&] { return !form.QuotesLoading && !form.RealTimeLoading; }, timeoutMs);
}

bool RunDelayedLoad(int timeoutMs) {
    TFormQuote& form = TickwellWindows();
    form.BtnQuoteClick();
    return QTest::qWaitFor([&] { return !form.QuotesLoading; }, timeoutMs);
}

bool RunRealTimeLoad(int timeoutMs) {
    TFormQuote& form = TickwellWindows();
    form.BtnQuote1Click();
    return QTest::qWaitFor([&] { return !form.RealTimeLoading; }, timeoutMs);
}

qint64 ClickGetQuotes(QuoteTab tab, int timeoutMs) {
    TFormQuote& form = TickwellWindows();
    const bool quotes = tab == QuoteTab::Quotes;
    bool& loading = quotes ? form.QuotesLoading : form.RealTimeLoading;
    form.PgC1->setCurrentWidget(quotes ? form.Quotes : form.RealTime);
    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(quotes ? form.BtnQuote : form.BtnQuote1, Qt::LeftButton);
    if (!loading || !QTest::qWaitFor([&] { return !loading; }, timeoutMs))
        return -1;
    return clock.elapsed();
}

int ClosedPort() {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    const int port = server.serverPort();
    server.close();
    return port;
}

QStringList KnownSymbols(int count) {
    static const char* const tickers[] = {"MSFT", "IBM",  "AAPL", "GOOG", "AMZN", "INTC", "CSCO", "ORCL", "T",   "GE",
                                          "F",    "KO",   "PEP",  "XOM",  "CVX",  "JPM",  "BAC",  "C",    "WMT", "HD",
                                          "DIS",  "MCD",  "NKE",  "BA",   "CAT",  "MMM",  "AXP",  "GS",   "MRK", "PFE",
                                          "JNJ",  "PG",   "UNH",  "VZ",   "TRV",  "HON",  "AMGN", "CRM",  "DOW", "WBA",
                                          "NVDA", "ADBE", "NFLX", "QCOM", "TXN",  "AVGO", "SBUX", "LOW"};
    QStringList symbols;
    for (int i = 0; i < count; ++i)
        symbols << QString(tickers[i % 48]) + (i >= 48 ? QString::number(i / 48) : QString());
    return symbols;
}
