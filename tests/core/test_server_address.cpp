// The quote server's address as --server and TICKWELL_QUOTE_SERVER name it: "host", "host:port"
// or "[v6]:port"; a malformed variable leaves the default alone and says so.
#include <QtTest>

#include "net/core/server_address.h"

class ServerAddressTest : public QObject {
    Q_OBJECT
private slots:
    // Started by hand, Tickwell and tickwell-quoted meet: the default is where the server listens.
    void defaultIsTheBundledServer() { QCOMPARE(ServerAddress().authority(), std::string("localhost:8080")); }

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
        QTest::newRow("dash and digits") << "q-1.example:81" << true << "q-1.example" << 81;
        QTest::newRow("empty") << "" << false << "" << 0;
        QTest::newRow("port zero") << "localhost:0" << false << "" << 0;
        QTest::newRow("port too big") << "localhost:65536" << false << "" << 0;
        QTest::newRow("port not a number") << "localhost:http" << false << "" << 0;
        QTest::newRow("empty port") << "localhost:" << false << "" << 0;
        QTest::newRow("no host") << ":8080" << false << "" << 0;
        QTest::newRow("blank in host") << "local host" << false << "" << 0;
        QTest::newRow("path") << "localhost/q" << false << "" << 0;
        QTest::newRow("bare ipv6") << "::1" << false << "" << 0;
        // Nothing of a URL's other parts may pass for a host name.
        QTest::newRow("user info") << "user@quotes.example:80" << false << "" << 0;
        QTest::newRow("query") << "quotes.example?s=IBM" << false << "" << 0;
        QTest::newRow("fragment") << "quotes.example#top" << false << "" << 0;
        QTest::newRow("name in brackets") << "[quotes.example]:8080" << false << "" << 0;
    }
    void parse() {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(QString, host);
        QFETCH(int, port);
        const std::optional<ServerAddress> parsed = ServerAddress::parse(text.toStdString());
        QCOMPARE(parsed.has_value(), valid);
        if (valid) {
            QCOMPARE(QString::fromStdString(parsed->host), host);
            QCOMPARE(parsed->port, port);
        }
    }

    void authorityCarriesPortUnlessEighty() {
        QCOMPARE((ServerAddress{"localhost", 80}.authority()), std::string("localhost"));
        QCOMPARE((ServerAddress{"localhost", 8080}.authority()), std::string("localhost:8080"));
        QCOMPARE((ServerAddress{"::1", 8080}.authority()), std::string("[::1]:8080"));
    }

    void variableOverridesDefault() {
        std::string complaint;
        QCOMPARE(serverFromVariable("bad:port", &complaint).authority(), std::string("localhost:8080"));
        QVERIFY2(complaint.find("TICKWELL_QUOTE_SERVER=\"bad:port\"") != std::string::npos, complaint.c_str());
        QVERIFY2(complaint.find("localhost:8080") != std::string::npos, complaint.c_str());

        for (const char* text : {"[::1]:9099", static_cast<const char*>(nullptr)}) {
            complaint.clear();
            QCOMPARE(serverFromVariable(text, &complaint).authority(),
                     std::string(text ? "[::1]:9099" : "localhost:8080"));
            QCOMPARE(complaint, std::string());
        }
    }
};

QTEST_GUILESS_MAIN(ServerAddressTest)
#include "test_server_address.moc"
