#include "gui_support/load_fixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTcpServer>
#include <QTest>

#include "app/main_window.h"
#include "gui_support/tickwell_windows.h"
#include "parsing/quote_table.h"
#include "parsing/rt_table.h"
#include "quotes/quotes_tab.h"
#include "realtime/real_time_tab.h"

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

QString useQuoteServer(int port, const QString& host) {
    const ServerAddress server{host.toStdString(), port};
    dynamic_cast<MainWindow&>(tickwellWindow()).useServer(server);
    return QString::fromStdString(server.authority());
}

namespace {
TabLoadView& loadView(QuoteTab tab) {
    if (tab == QuoteTab::Quotes)
        return *control<QuotesTab>("Quotes");
    return *control<RealTimeTab>("RealTime");
}
} // namespace

bool loadRunning(QuoteTab tab) {
    return loadView(tab).loadFlagged();
}

void setLoadRunning(QuoteTab tab, bool running) {
    loadView(tab).setLoadFlagged(running);
}

bool waitForLoadsToEnd(int timeoutMs) {
    return QTest::qWaitFor([] { return !loadRunning(QuoteTab::Quotes) && !loadRunning(QuoteTab::RealTime); },
                           timeoutMs);
}

qint64 clickGetQuotes(QuoteTab tab, int timeoutMs) {
    const bool quotes = tab == QuoteTab::Quotes;
    if (!showTab(quotes ? "Quotes" : "RealTime"))
        return -1;
    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(control<QPushButton>(quotes ? "BtnQuote" : "BtnQuote1"), Qt::LeftButton);
    if (!loadRunning(tab) || !QTest::qWaitFor([tab] { return !loadRunning(tab); }, timeoutMs))
        return -1;
    return clock.elapsed();
}

bool runDelayedLoad(int timeoutMs) {
    return clickGetQuotes(QuoteTab::Quotes, timeoutMs) >= 0;
}

bool runRealTimeLoad(int timeoutMs) {
    return clickGetQuotes(QuoteTab::RealTime, timeoutMs) >= 0;
}

namespace {
QuoteRows& quoteRows() {
    return control<QuotesTab>("Quotes")->rows();
}

RtRows& realTimeRows() {
    return control<RealTimeTab>("RealTime")->rows();
}
} // namespace

QList<QuoteRow> loadedQuoteRows() {
    const QuoteRows& table = quoteRows();
    QList<QuoteRow> rows;
    for (int i = 0; i < table.count; ++i)
        rows.append({QString::fromLatin1(table.symbols[i], qstrnlen(table.symbols[i], SymbolSlotSize)),
                     QString::fromLatin1(table.lines[i]), table.pctChanges[i]});
    return rows;
}

void setQuoteTableRow(int row, const QuoteRow& quote) {
    QuoteRows& table = quoteRows();
    const int count = table.count;
    table.count = row;
    // No word line: the cells are the line's cuts.
    storeQuoteRow(table, quote.symbol.toLatin1().constData(), quote.line.toLatin1().constData(), quote.change);
    table.count = count;
}

void setQuoteTable(const QList<QuoteRow>& rows) {
    for (int i = 0; i < rows.size(); ++i)
        setQuoteTableRow(i, rows[i]);
    quoteRows().count = int(rows.size());
}

float realTimeTradeDirection(int row) {
    return realTimeRows().tradeDirections[row];
}

void setRealTimeDirections(int row, float trade, float afterHours) {
    realTimeRows().tradeDirections[row] = trade;
    realTimeRows().afterHoursDirections[row] = afterHours;
}

namespace {
// The tab's portfolio becomes name in the folder of the portfolio in.
template <typename Tab> void namePortfolio(Tab* tab, const PortfolioPath& in, const QString& name) {
    tab->usePortfolio(in.named(name));
}
} // namespace

void forgetChosenFolders() {
    auto* quotes = control<QuotesTab>("Quotes");
    auto* realTime = control<RealTimeTab>("RealTime");
    namePortfolio(quotes, PortfolioPath(), quotes->portfolio().fileName());
    namePortfolio(realTime, PortfolioPath(), realTime->portfolio().fileName());
}

void namePortfolio(QuoteTab tab, const QString& name) {
    auto* quotes = control<QuotesTab>("Quotes");
    auto* realTime = control<RealTimeTab>("RealTime");
    if (tab == QuoteTab::Quotes)
        namePortfolio(quotes, quotes->portfolio(), name);
    else
        namePortfolio(realTime, realTime->portfolio(), name);
}

QStringList openTextFiles() {
    QStringList files;
    const QDir descriptors("/proc/self/fd");
    for (const QFileInfo& descriptor : descriptors.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot)) {
        const QString target = descriptor.symLinkTarget();
        if (target.endsWith(".txt") || target.endsWith(".txt (deleted)"))
            files << target;
    }
    return files;
}

int closedPort() {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    const int port = server.serverPort();
    server.close();
    return port;
}

QStringList knownSymbols(int count) {
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
