// Batch paths as the loaders build them from a portfolio, and the request bytes.
#include <QtTest>

#include <cstdio>
#include <cstring>

#include "load/core/portfolio_rules.h"
#include "net/core/http_request.h"
#include "net/core/server_address.h"
#include "parsing/batch_path.h"
#include "support/file_bytes.h"

namespace {

char Slots[QuoteTableCapacity][SymbolSlotSize];
int Lengths[QuoteTableCapacity];

// Fills the slots the way a load does: through the portfolio reader.
void loadPortfolio(const QByteArray& text) {
    const OwnedFile file = streamOf(text);
    QVERIFY(file);
    readPortfolioSymbols(file.get(), Slots, Lengths);
}

QByteArray numberedSymbols(int count) {
    QByteArray text;
    for (int i = 1; i <= count; ++i)
        text += "S" + QByteArray::number(i) + "\n";
    return text;
}

QByteArray numberedPath(int first, int last) {
    QByteArray path;
    for (int i = first; i <= last; ++i)
        path += (path.isEmpty() ? "S" : ",S") + QByteArray::number(i);
    return path;
}

} // namespace

Q_DECLARE_METATYPE(BatchPlan)

class TestQuoteRequest : public QObject {
    Q_OBJECT

private slots:
    void batchPath_data();
    void batchPath();
    void visitsEachIndexOnce_data();
    void visitsEachIndexOnce();
    void requestBytes_data();
    void requestBytes();
};

void TestQuoteRequest::batchPath_data() {
    QTest::addColumn<QByteArray>("portfolio");
    QTest::addColumn<int>("batch");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<BatchPlan>("plan");
    QTest::addColumn<QByteArray>("path");

    const QByteArray delayed = DelayedQueryKey;
    const QByteArray rt = RealTimeQueryKey;
    const QByteArray prefix = QuotePathPrefix;

    QTest::newRow("two symbols") << QByteArray("A\nB\n") << 0 << delayed << BatchPlan::Request
                                 << QByteArray("/q/cq?s=A,B&d=v1");
    QTest::newRow("three symbols") << QByteArray("A\nB\nC\n") << 0 << delayed << BatchPlan::Request
                                   << QByteArray("/q/cq?s=A,B,C&d=v1");
    QTest::newRow("one symbol gets the dummy")
        << QByteArray("IBM\n") << 0 << delayed << BatchPlan::Request << QByteArray("/q/cq?s=IBM,xxxx&d=v1");
    QTest::newRow("case kept") << QByteArray("aapl\nMsft\n") << 0 << delayed << BatchPlan::Request
                               << QByteArray("/q/cq?s=aapl,Msft&d=v1");
    QTest::newRow("real-time key") << QByteArray("IBM\nMSFT\n") << 0 << rt << BatchPlan::Request
                                   << QByteArray("/q/cq?s=IBM,MSFT&d=e");
    QTest::newRow("real-time single") << QByteArray("IBM\n") << 0 << rt << BatchPlan::Request
                                      << QByteArray("/q/cq?s=IBM,xxxx&d=e");
    QTest::newRow("41 symbols, batch 0") << numberedSymbols(41) << 0 << delayed << BatchPlan::Request
                                         << prefix + numberedPath(1, 20) + delayed;
    QTest::newRow("41 symbols, batch 1") << numberedSymbols(41) << 1 << delayed << BatchPlan::Request
                                         << prefix + numberedPath(21, 40) + delayed;
    QTest::newRow("41 symbols, batch 2") << numberedSymbols(41) << 2 << delayed << BatchPlan::Request
                                         << QByteArray("/q/cq?s=S41,xxxx&d=v1");
    QTest::newRow("40 symbols, batch 2") << numberedSymbols(40) << 2 << delayed << BatchPlan::EndOfList << prefix;
    QTest::newRow("20 symbols, batch 1") << numberedSymbols(20) << 1 << delayed << BatchPlan::EndOfList << prefix;
    QTest::newRow("empty portfolio") << QByteArray() << 0 << delayed << BatchPlan::EndOfList << prefix;
    QTest::newRow("empty first line") << QByteArray("\nIBM\n") << 0 << delayed << BatchPlan::EndOfList << prefix;
    QTest::newRow("empty line ends the batch")
        << QByteArray("IBM\n\nMSFT\n") << 0 << delayed << BatchPlan::Request << QByteArray("/q/cq?s=IBM,xxxx&d=v1");
    QTest::newRow("0xFF slot is a symbol") << QByteArray("IBM\n\xff\nMSFT\n") << 0 << delayed << BatchPlan::Request
                                           << QByteArray("/q/cq?s=IBM,%FF,MSFT&d=v1");
    // A portfolio line can never change the request: its bytes travel percent-encoded.
    QTest::newRow("lone comma is a symbol")
        << QByteArray(",\n") << 0 << delayed << BatchPlan::Request << QByteArray("/q/cq?s=%2C,xxxx&d=v1");
    QTest::newRow("comma among symbols") << QByteArray("A\n,\nB\n") << 0 << delayed << BatchPlan::Request
                                         << QByteArray("/q/cq?s=A,%2C,B&d=v1");
    QTest::newRow("query characters") << QByteArray("&d=e\nA B\n") << 0 << delayed << BatchPlan::Request
                                      << QByteArray("/q/cq?s=%26d%3De,A%20B&d=v1");
    QTest::newRow("percent, hash, tab, high bytes")
        << QByteArray("%\n#1\nIBM\t\n\xe9\xff\n") << 0 << delayed << BatchPlan::Request
        << QByteArray("/q/cq?s=%25,%231,IBM%09,%E9%FF&d=v1");
    QTest::newRow("index and class symbols stay as they are")
        << QByteArray("^DJI\nBRK.B\nRDS-A\nX_Y~\n") << 0 << delayed << BatchPlan::Request
        << QByteArray("/q/cq?s=^DJI,BRK.B,RDS-A,X_Y~&d=v1");
    QTest::newRow("six characters requested")
        << QByteArray("ABCDEF\nIBM\n") << 0 << delayed << BatchPlan::Request << QByteArray("/q/cq?s=ABCDEF,IBM&d=v1");
    QTest::newRow("overlong skipped") << QByteArray("IBM\nABCDEFG\nMSFT\n") << 0 << delayed << BatchPlan::Request
                                      << QByteArray("/q/cq?s=IBM,MSFT&d=v1");
    QTest::newRow("overlong leaves one") << QByteArray("ABCDEFGH\nIBM\n") << 0 << delayed << BatchPlan::Request
                                         << QByteArray("/q/cq?s=IBM,xxxx&d=v1");
    QTest::newRow("only overlong") << QByteArray("ABCDEFGH\nLONGSYMBOL\n") << 0 << delayed
                                   << BatchPlan::NothingToRequest << prefix;
}

void TestQuoteRequest::batchPath() {
    QFETCH(QByteArray, portfolio);
    QFETCH(int, batch);
    QFETCH(QByteArray, key);
    QFETCH(BatchPlan, plan);
    QFETCH(QByteArray, path);

    loadPortfolio(portfolio);
    std::string built = "left over from the last batch";
    QCOMPARE(buildBatchPath(Slots, Lengths, batch, key.constData(), built), plan);
    if (plan == BatchPlan::Request)
        QCOMPARE(QByteArray::fromStdString(built), path);
}

void TestQuoteRequest::visitsEachIndexOnce_data() {
    QTest::addColumn<QByteArray>("portfolio");
    QTest::addColumn<int>("batch");
    QTest::addColumn<int>("visits");

    QTest::newRow("empty list") << QByteArray() << 0 << 1;
    QTest::newRow("three symbols") << QByteArray("A\nB\nC\n") << 0 << 4;
    QTest::newRow("full batch") << numberedSymbols(25) << 0 << 20;
    QTest::newRow("second batch of 25") << numberedSymbols(25) << 1 << 6;
    QTest::newRow("overlong slots count too") << QByteArray("ABCDEFGH\nABCDEFGH\n") << 0 << 3;
}

void TestQuoteRequest::visitsEachIndexOnce() {
    QFETCH(QByteArray, portfolio);
    QFETCH(int, batch);
    QFETCH(int, visits);

    loadPortfolio(portfolio);
    int seen = 0;
    std::string path;
    buildBatchPath(Slots, Lengths, batch, DelayedQueryKey, path, [&seen] { ++seen; });
    QCOMPARE(seen, visits);
}

void TestQuoteRequest::requestBytes_data() {
    QTest::addColumn<QByteArray>("host");
    QTest::addColumn<int>("port");
    QTest::addColumn<QByteArray>("request");
    QTest::newRow("port 80 is not named") << QByteArray("quotes.local") << 80
                                          << QByteArray("GET /q/cq?s=A,B&d=v1 HTTP/1.1\r\nHost: quotes.local\r\n\r\n");
    QTest::newRow("other ports are") << QByteArray("localhost") << 8080
                                     << QByteArray("GET /q/cq?s=A,B&d=v1 HTTP/1.1\r\nHost: localhost:8080\r\n\r\n");
    QTest::newRow("IPv6 in brackets") << QByteArray("::1") << 8080
                                      << QByteArray("GET /q/cq?s=A,B&d=v1 HTTP/1.1\r\nHost: [::1]:8080\r\n\r\n");
}

void TestQuoteRequest::requestBytes() {
    QFETCH(QByteArray, host);
    QFETCH(int, port);
    QFETCH(QByteArray, request);
    const std::string text = requestText("/q/cq?s=A,B&d=v1", ServerAddress{host.toStdString(), port}.authority());
    QCOMPARE(QByteArray::fromStdString(text), request);
}

QTEST_GUILESS_MAIN(TestQuoteRequest)
#include "test_quote_request.moc"
