// Loads against servers that answer badly, or not at all: each ends as a lost connection
// within its time bound, says why, keeps the previous data file and stores no row. Good pages
// framed oddly load as the plain page does.
#include <QAccessible>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QtTest>

#include "gui_support/load_fixture.h"
#include "gui_support/tickwell_windows.h"
#include "platform/mirror_text_edit.h"
#include "platform/quote_grid.h"
#include "platform/status_line.h"
#include "support/file_bytes.h"
#include "support/misbehaving_server.h"

using Mode = MisbehavingServer::Mode;
Q_DECLARE_METATYPE(MisbehavingServer::Mode)
Q_DECLARE_METATYPE(QuoteTab)

namespace {
// The symbols of the recorded pages, so that a page parsed by mistake would fill rows.
const QStringList PageSymbols = {"MSFT", "INTC", "GE",  "F", "AAPL", "CSCO", "DELL", "ORCL", "IBM", "KO",
                                 "PEP",  "XOM",  "WMT", "T", "HD",   "MMM",  "JNJ",  "PFE",  "MRK", "BA"};
const QByteArray PreviousData = "MSFT 27.50 rows of the last good load\n";

QByteArray recorded(const char* name) {
    QFile file(QStringLiteral(TICKWELL_TEST_DATA) + "/" + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray bodyOf(const QByteArray& reply) {
    return reply.mid(reply.indexOf("\r\n\r\n") + 4);
}

QByteArray withStatus(const QByteArray& statusLine, const QByteArray& body) {
    return statusLine + "\r\nContent-Type: text/html\r\nContent-Length: " + QByteArray::number(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}

// The chunked page cut in the middle of the chunk that crosses its half.
QByteArray cutMidChunk(const QByteArray& reply) {
    qsizetype at = reply.indexOf("\r\n\r\n") + 4;
    while (at < reply.size()) {
        const qsizetype lineEnd = reply.indexOf("\r\n", at);
        const qsizetype size = reply.mid(at, lineEnd - at).toLongLong(nullptr, 16);
        const qsizetype data = lineEnd + 2;
        if (lineEnd < 0 || size <= 0 || data + size > reply.size() / 2)
            return reply.left(data + size / 2);
        at = data + size + 2;
    }
    return {};
}

// The page's body in chunks of size bytes, each size line with the extension; trailers after the last.
QByteArray chunkedAs(const QByteArray& page, int size, const QByteArray& extension, const QByteArray& trailers) {
    const QByteArray body = bodyOf(page);
    QByteArray reply = page.left(page.size() - body.size());
    const qsizetype length = reply.indexOf("Content-Length:");
    reply.replace(length, reply.indexOf("\r\n", length) + 2 - length, "Transfer-Encoding: chunked\r\n");
    for (qsizetype at = 0; at < body.size(); at += size)
        reply += QByteArray::number(body.mid(at, size).size(), 16) + extension + "\r\n" + body.mid(at, size) + "\r\n";
    return reply + "0" + extension + "\r\n" + trailers + "\r\n";
}

// The reply with its head's first `from` replaced; the body stays as it was.
QByteArray headReplaced(QByteArray reply, const QByteArray& from, const QByteArray& to) {
    const qsizetype at = reply.indexOf(from);
    return at >= 0 && at < reply.indexOf("\r\n\r\n") ? reply.replace(at, from.size(), to) : QByteArray();
}

// What a Quotes load of the page symbols from a server sending reply shows and writes: the
// status, every row's display line, the data file.
QStringList loadFrom(const QByteArray& reply) {
    MisbehavingServer server(MisbehavingServer::Mode::Reply, {reply});
    useQuoteServer(server.port());
    LoadFolder folder;
    folder.writePortfolio(PageSymbols);
    if (clickGetQuotes(QuoteTab::Quotes, 20000) < 0)
        return {};
    return QStringList(control<StatusLine>("StatusBar1")->simpleText()) + control<MirrorTextEdit>("DisplayQR")->lines()
           << QString::fromLatin1(fileBytes(folder.path("input_data_qt1.txt")));
}

QByteArray randomBytes(qsizetype size) {
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(20240501);
    generator.fillRange(reinterpret_cast<quint32*>(bytes.data()), size / 4);
    bytes[0] = '<'; // never the start of a status line
    return bytes;
}

} // namespace

class LoadFaultsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        tickwellWindow().show();
        QVERIFY(QTest::qWaitForWindowExposed(&tickwellWindow()));
    }
    void cleanup() { QVERIFY(waitForLoadsToEnd()); }

    void badServerLosesTheConnection_data() {
        QTest::addColumn<QuoteTab>("tab");
        QTest::addColumn<Mode>("mode");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("host"); // the server's when empty
        QTest::addColumn<QString>("reason");
        QTest::addColumn<int>("minMs");
        QTest::addColumn<int>("maxMs");
        const QByteArray page = recorded("delayed_20.html");
        const QByteArray body = bodyOf(page);
        QVERIFY(body.size() >= 1200);
        const QByteArray head = page.left(page.size() - body.size());

        const QuoteTab quotes = QuoteTab::Quotes;
        // Two connect attempts and the pause between them.
        QTest::newRow("refused port") << quotes << Mode::Refused << QByteArray() << ""
                                      << "connection refused" << 1400 << 4000;
        QTest::newRow("unresolvable name") << quotes << Mode::Refused << QByteArray() << "name.invalid"
                                           << "host not found" << 0 << 3000;
        QTest::newRow("400 page of quotes")
            << quotes << Mode::Reply << withStatus("HTTP/1.1 400 Bad Request", body) << ""
            << "answered 400 Bad Request" << 0 << 3000;
        QTest::newRow("10 MB of random bytes") << quotes << Mode::Reply << randomBytes(10 << 20) << ""
                                               << "not an HTTP reply" << 0 << 3000;
        QTest::newRow("chunked page cut mid-chunk")
            << quotes << Mode::Reply << cutMidChunk(recorded("delayed_20_chunked.html")) << ""
            << "reply cut short" << 0 << 3000;
        QTest::newRow("closed at once") << quotes << Mode::Reply << QByteArray() << ""
                                        << "closed without answering" << 0 << 3000;
        QTest::newRow("broken chunk size")
            << quotes << Mode::Reply << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n") + body
            << ""
            << "malformed reply: malformed chunk size" << 0 << 3000;
        // Heads that, read loosely, lose their framing and turn a real page into wrong rows.
        const QByteArray chunked47 = chunkedAs(page, 47, {}, {});
        const auto malformed = [&](const char* name, Mode mode, const QByteArray& reply, const char* what) {
            QVERIFY(!reply.isEmpty());
            QTest::newRow(name) << quotes << mode << reply << "" << QString("malformed reply: ") + what << 0 << 3000;
        };
        malformed("bare CR hides the coding", Mode::Reply,
                  headReplaced(chunked47, "Transfer-Encoding", "Foo: 1\rTransfer-Encoding"),
                  "bare CR in the header section");
        malformed("blank before a colon", Mode::Reply,
                  headReplaced(chunked47, "Transfer-Encoding:", "Transfer-Encoding :"), "malformed header line");
        malformed("bare CR in the status line", Mode::Reply, headReplaced(page, "OK\r\n", "OK\r"),
                  "bare CR in the header section");
        malformed("differing lengths", Mode::Reply, headReplaced(page, "12691", "12691, 12690"),
                  "conflicting Content-Length");
        malformed("gzip over chunked", Mode::Reply, headReplaced(chunked47, "chunked", "gzip, chunked"),
                  "unsupported transfer coding");
        malformed("words after a chunk size", Mode::Reply, chunkedAs(page, 47, " erf", {}), "malformed chunk size");
        // Held open: the deadline is for servers that say nothing, not for a broken head.
        malformed("blank before the first field, held open", Mode::ReplyHold,
                  headReplaced(page, "Content-Type", " Content-Type"), "whitespace before the first header");
        // One deadline of 10 s from the connect to the last byte.
        QTest::newRow("Content-Length not reached, held open")
            << quotes << Mode::ReplyHold << head + body.left(body.size() / 2) << ""
            << "reply not complete within 10 s" << 9500 << 12000;
        QTest::newRow("silent") << quotes << Mode::Silent << QByteArray() << ""
                                << "no answer within 10 s" << 9500 << 12000;
        QTest::newRow("one byte every 2 s") << quotes << Mode::Trickle << page << ""
                                            << "no answer within 10 s" << 9500 << 12000;
        // Always more waiting: the deadline (or the header block's bound) still ends the load.
        QTest::newRow("endless 1-byte chunks")
            << quotes << Mode::Flood << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n1\r\nx\r\n")
            << ""
            << "reply not complete within 10 s" << 9500 << 11000;
        QTest::newRow("endless header block")
            << quotes << Mode::Flood << QByteArray("HTTP/1.1 200 OK\r\nX-A: 1\r\n") << ""
            << "malformed reply: header section too long" << 0 << 3000;
        // 4 s attempt, 1.5 s pause, 4 s attempt.
        QTest::newRow("full accept queue") << quotes << Mode::FullQueue << QByteArray() << ""
                                           << "no answer within 10 s" << 9000 << 12000;
        QTest::newRow("RealTime, 404 page of quotes")
            << QuoteTab::RealTime << Mode::Reply << withStatus("HTTP/1.0 404 Not Found", bodyOf(recorded("rt_20.txt")))
            << ""
            << "answered 404 Not Found" << 0 << 3000;
    }
    void badServerLosesTheConnection() {
        QFETCH(QuoteTab, tab);
        QFETCH(Mode, mode);
        QFETCH(QByteArray, reply);
        QFETCH(QString, host);
        QFETCH(QString, reason);
        QFETCH(int, minMs);
        QFETCH(int, maxMs);
        MisbehavingServer server(mode, {reply});
        QVERIFY(server.isReady());
        if (mode == Mode::FullQueue)
            QVERIFY2(server.fillAcceptQueue(), "the accept queue did not fill: connects would not hang");
        const QString authority = useQuoteServer(server.port(), host.isEmpty() ? "127.0.0.1" : host);
        // An unresolved name is shown alone: no port was tried.
        const QString where = host.isEmpty() ? authority : host;

        const bool quotes = tab == QuoteTab::Quotes;
        LoadFolder folder;
        folder.writePortfolio(PageSymbols);
        const QString dataName = quotes ? "input_data_qt1.txt" : "input_data_qt2.txt";
        {
            QFile data(folder.path(dataName));
            QVERIFY(data.open(QIODevice::WriteOnly));
            data.write(PreviousData);
        }
        auto* grid = control<QuoteGrid>(quotes ? "QT1" : "RT1");
        grid->setCell(0, 0, "earlier");

        const qint64 ms = clickGetQuotes(tab, 20000);
        qInfo("%s: the load ended after %lld ms", QTest::currentDataTag(), ms);
        QVERIFY(ms >= 0);
        const QString status = control<StatusLine>(quotes ? "StatusBar1" : "StatusBar2")->simpleText();
        QCOMPARE(status, "Connection lost...Reload quotes (" + where + ": " + reason + ")");
        QVERIFY2(ms >= minMs && ms <= maxMs, qPrintable(QString("%1 ms").arg(ms)));

        QCOMPARE(fileBytes(folder.path(dataName)), PreviousData);
        QCOMPARE(QDir(folder.path(".")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList({"input.txt", dataName}));
        // No row stored: the mirror, which takes every row a load stores, stays empty.
        QVERIFY(control<MirrorTextEdit>(quotes ? "DisplayQR" : "DisplayQR1")->toPlainText().isEmpty());
        if (quotes)
            QCOMPARE(loadedQuoteRows().size(), 0);
        QCOMPARE(grid->cell(0, 0), QString("earlier"));
        if (mode != Mode::FullQueue && mode != Mode::Refused)
            QCOMPARE(server.connections(), 1); // asked once: nothing but a short 200 page is asked again
    }

    void oddlyFramedPagesLoadAsThePlainPage_data() {
        QTest::addColumn<QByteArray>("reply");
        const QByteArray page = recorded("delayed_20.html");
        QTest::newRow("7-byte chunks") << chunkedAs(page, 7, {}, {});
        QTest::newRow("chunk extensions, trailers") << chunkedAs(page, 10, ";probe=1;q=\"x\"", "X-Check: 1\r\n");
        QTest::newRow("100 Continue before the 200") << "HTTP/1.1 100 Continue\r\n\r\n" + page;
        QTest::newRow("folded field, equal lengths") << headReplaced(
            headReplaced(page, "12691", "12691, 12691"), "Connection:", "X-Folded: a\r\n\tb\r\nConnection:");
        QTest::newRow("blanks and empty extensions after chunk sizes") << chunkedAs(page, 47, " ;", {});
        const QByteArray head = page.left(page.indexOf("\r\n\r\n") + 4);
        QTest::newRow("bare LF head") << QByteArray(head).replace("\r\n", "\n") + bodyOf(page);
    }
    void oddlyFramedPagesLoadAsThePlainPage() {
        QFETCH(QByteArray, reply);
        const QStringList plain = loadFrom(recorded("delayed_20.html"));
        QVERIFY(plain.value(0) == "Done getting quotes" && !plain.join('\n').contains("not found"));
        QCOMPARE(loadFrom(reply), plain);
    }

    // A load cut in its second batch: the rows it did not reach, as the load before left them,
    // are set in italics, heard as such and counted in the status until a load completes.
    void rowsNotReachedAreMarked_data() {
        QTest::addColumn<QuoteTab>("tab");
        QTest::addColumn<int>("symbols");
        QTest::addColumn<bool>("malformed"); // the cut load's second page has a broken head; else it is cut mid-chunk
        QTest::addColumn<QString>("note");
        QTest::newRow("Quotes, 1 row") << QuoteTab::Quotes << 21 << false
                                       << "reply cut short; 1 row is from the load before";
        QTest::newRow("RealTime, 20 rows")
            << QuoteTab::RealTime << 40 << false << "reply cut short; 20 rows are from the load before";
        QTest::newRow("Quotes, broken head, 1 row")
            << QuoteTab::Quotes << 21 << true
            << "malformed reply: bare CR in the header section; 1 row is from the load before";
    }
    void rowsNotReachedAreMarked() {
        QFETCH(QuoteTab, tab);
        QFETCH(int, symbols);
        QFETCH(bool, malformed);
        QFETCH(QString, note);
        const bool quotes = tab == QuoteTab::Quotes;
        const QByteArray page = recorded(quotes ? "delayed_20_chunked.html" : "rt_20_chunked.txt");
        const QByteArray fault =
            malformed ? headReplaced(page, "Transfer-Encoding", "Foo: 1\rTransfer-Encoding") : cutMidChunk(page);
        MisbehavingServer server(Mode::Reply, {page, page, page, fault, page});
        const QString authority = useQuoteServer(server.port());
        LoadFolder folder;
        folder.writePortfolio((PageSymbols + PageSymbols).mid(0, symbols));
        auto* grid = control<QuoteGrid>(quotes ? "QT1" : "RT1");
        auto marks = [&, cells = QAccessible::queryAccessibleInterface(grid)->tableInterface()] {
            // The last row the cut load reached and those after it: their font, what is heard of them.
            QStringList marks;
            for (int row : {19, 20, symbols - 1})
                marks << (grid->model()->index(row, 4).data(Qt::FontRole).value<QFont>().italic() ? "italic " : "") +
                             cells->cellAt(row, 4)->text(QAccessible::Description);
            return marks;
        };
        const QString stale = "italic from the load before", done = "Done getting quotes";
        const QString lost = "Connection lost...Reload quotes (" + authority + ": " + note + ")";
        const QStringList fresh = {"", "", ""};
        for (const auto& [status, marked] : {std::pair{done, fresh}, {lost, {"", stale, stale}}, {done, fresh}}) {
            QVERIFY(clickGetQuotes(tab) >= 0);
            QCOMPARE(control<StatusLine>(quotes ? "StatusBar1" : "StatusBar2")->simpleText(), status);
            QCOMPARE(marks(), marked);
        }
    }
};

QTEST_MAIN(LoadFaultsTest)
#include "test_load_faults.moc"
