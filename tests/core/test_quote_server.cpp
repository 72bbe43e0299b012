// TICKWELL_QUOTE_SERVER: "host", "host:port" or "[v6]:port"; anything else leaves the default alone and says so.
#include <QtTest>

#include "net/core/quote_server.h"

class QuoteServerTest : public QObject {
    Q_OBJECT
private slots:
    // Started by hand, Tickwell and tickwell-quoted meet: the default is where the server listens.
    void defaultIsTheBundledServer() { QCOMPARE(quoteServerAuthority(), std::string("localhost:8080")); }

    void parse_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("port");
        QTest::newRow("host only") << "quotes.example" << true << "quotes.example" << 80;
        QTest::newRow("host and port") << "127.0.0.1:8080" << true << "127.0.0.1" << 8080;
        QTest::newRow("localhost port") << "localhost:1" << true << "localhost" << 1;
        QTest::newRow("highest port") << "localhost:65535" << true << "localhost" << 65535;
        QTest::newRow("ipv6 bracketed") << "[::1]:8081" << true << "::1" << 8081;
        QTest::newRow("ipv6 no port") << "[::1]" << true << "::1" << 80;
        QTest::newRow("empty") << "" << false << "" << 0;
        QTest::newRow("port zero") << "localhost:0" << false << "" << 0;
        QTest::newRow("port too big") << "localhost:65536" << false << "" << 0;
        QTest::newRow("port not a number") << "localhost:http" << false << "" << 0;
        QTest::newRow("empty port") << "localhost:" << false << "" << 0;
        QTest::newRow("no host") << ":8080" << false << "" << 0;
        QTest::newRow("blank in host") << "local host" << false << "" << 0;
        QTest::newRow("path") << "localhost/q" << false << "" << 0;
        QTest::newRow("bare ipv6") << "::1" << false << "" << 0;
    }
    void parse() {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(QString, host);
        QFETCH(int, port);
        std::string parsedHost = "unchanged";
        int parsedPort = -1;
        QCOMPARE(parseQuoteServer(text.toStdString(), parsedHost, parsedPort), valid);
        if (valid) {
            QCOMPARE(QString::fromStdString(parsedHost), host);
            QCOMPARE(parsedPort, port);
        } else {
            QCOMPARE(parsedHost, std::string("unchanged"));
            QCOMPARE(parsedPort, -1);
        }
    }

    void authorityCarriesPortUnlessEighty() {
        QuoteServerHost = "localhost";
        QuoteServerPort = 80;
        QCOMPARE(quoteServerAuthority(), std::string("localhost"));
        QuoteServerPort = 8080;
        QCOMPARE(quoteServerAuthority(), std::string("localhost:8080"));
        QuoteServerHost = "::1";
        QCOMPARE(quoteServerAuthority(), std::string("[::1]:8080"));
    }

    void environmentOverridesDefault() {
        QuoteServerHost = "localhost";
        QuoteServerPort = 8080;
        qputenv("TICKWELL_QUOTE_SERVER", "bad:port");
        const std::string complaint = loadQuoteServerFromEnvironment();
        QCOMPARE(quoteServerAuthority(), std::string("localhost:8080"));
        QVERIFY2(complaint.find("TICKWELL_QUOTE_SERVER=\"bad:port\"") != std::string::npos, complaint.c_str());
        QVERIFY2(complaint.find("localhost:8080") != std::string::npos, complaint.c_str());

        qputenv("TICKWELL_QUOTE_SERVER", "[::1]:9099");
        QCOMPARE(loadQuoteServerFromEnvironment(), std::string());
        QCOMPARE(quoteServerAuthority(), std::string("[::1]:9099"));
        qunsetenv("TICKWELL_QUOTE_SERVER");
        QCOMPARE(loadQuoteServerFromEnvironment(), std::string());
        QCOMPARE(quoteServerAuthority(), std::string("[::1]:9099"));
    }
};

QTEST_GUILESS_MAIN(QuoteServerTest)
#include "test_quote_server.moc"
