// The scanning rules both page parsers share: marker, text window, symbol patterns,
// row text, missing time and tag blanking.
#include <QtTest>

#include <climits>
#include <cstring>
#include <memory>

#include "parsing/byte_search.h"
#include "parsing/page_scan.h"

namespace {

// The bytes in a heap block of exactly their size, so that the sanitizer build catches
// any read or write past them.
std::unique_ptr<char[]> exactCopy(const QByteArray& bytes) {
    std::unique_ptr<char[]> copy(new char[std::max<qsizetype>(bytes.size(), 1)]);
    std::memcpy(copy.get(), bytes.constData(), static_cast<size_t>(bytes.size()));
    return copy;
}

QByteArray window(const QByteArray& reply, int start) {
    auto bytes = exactCopy(reply);
    std::unique_ptr<char[]> text(new char[TextWindowSize + 1]);
    const int n = buildTextWindow(bytes.get(), static_cast<int>(reply.size()), start, text.get());
    const QByteArray out(text.get());
    if (out.size() != n)
        qWarning("window length %d disagrees with its text (%lld)", n, static_cast<long long>(out.size()));
    return out;
}

// The text as tag blanking leaves it, rebuilt from its runs of blanks and its words.
QByteArray blankedByRuns(const QByteArray& text) {
    auto bytes = exactCopy(text);
    const int length = static_cast<int>(text.size());
    QByteArray out;
    for (int p = 0; p < length;) {
        const int blanksEnd = blankRunEnd(bytes.get(), length, p);
        out += QByteArray(blanksEnd - p, ' ');
        const int end = wordEnd(bytes.get(), length, blanksEnd);
        if (blanksEnd == p && end == p)
            return "no progress at " + QByteArray::number(p);
        out += text.mid(blanksEnd, end - blanksEnd);
        p = end;
    }
    return out;
}

QByteArray rowAfter(void (*rule)(char*), const QByteArray& text) {
    std::unique_ptr<char[]> row(new char[RowTextSize + 1]);
    std::memcpy(row.get(), text.constData(), static_cast<size_t>(text.size()) + 1);
    rule(row.get());
    return QByteArray(row.get());
}

} // namespace

class TestPageScan : public QObject {
    Q_OBJECT

private slots:
    void marker_data();
    void marker();
    void markerLowerCasesOnlyReceivedBytes();
    void textWindow_data();
    void textWindow();
    void textWindowStopsAt5000();
    void pageTextWindows_data();
    void pageTextWindows();
    void symbolPatterns_data();
    void symbolPatterns();
    void rowText_data();
    void rowText();
    void rowTextKeeps800();
    void notFoundText_data();
    void notFoundText();
    void missingTime_data();
    void missingTime();
    void missingTimeNearTheEnd();
    void tags_data();
    void tags();
    void symbolRow_data();
    void symbolRow();
    void endOfSymbols();
    void searchStartAdvance();
    void screenedSearchFindsEveryPlace();
};

void TestPageScan::marker_data() {
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("expected");
    QTest::newRow("symbol header") << QByteArray("<tr><th>Symbol</th>") << 8 + 100;
    QTest::newRow("upper-case header") << QByteArray("<TH>SYMBOL</TH>") << 4 + 100;
    QTest::newRow("column header") << QByteArray("ab<td>Columns:<b>") << 6 + 500;
    QTest::newRow("sym without '<' six later") << QByteArray("<th>Symbols</th>") << -1;
    QTest::newRow("first marker wins") << QByteArray("Sym123<Colum123<") << 100;
    QTest::newRow("colum checked after sym at each byte") << QByteArray("xcolum---<sym---<") << 1 + 500;
    QTest::newRow("no marker") << QByteArray("<html><body>quotes</body></html>") << -1;
    QTest::newRow("ends inside the marker") << QByteArray("<th>Sym") << -1;
    QTest::newRow("ends before the '<'") << QByteArray("<th>Symbol") << -1;
    QTest::newRow("ends right after the '<'") << QByteArray("<th>Symbol<") << 4 + 100;
    QTest::newRow("colum ends before its '<'") << QByteArray("<td>column:") << -1;
    QTest::newRow("ends after a '<'") << QByteArray("<") << -1;
    QTest::newRow("empty") << QByteArray() << -1;
}

void TestPageScan::marker() {
    QFETCH(QByteArray, reply);
    QFETCH(int, expected);
    auto bytes = exactCopy(reply);
    QCOMPARE(findTableMarker(bytes.get(), static_cast<int>(reply.size())), expected);
}

void TestPageScan::markerLowerCasesOnlyReceivedBytes() {
    // Lower-casing runs up to the marker and never touches a byte past the reply.
    QByteArray buffer("HEAD <TH>SYMBOL</TH> ROWS");
    const int found = findTableMarker(buffer.data(), static_cast<int>(buffer.size()));
    QCOMPARE(found, 9 + 100);
    QCOMPARE(buffer, QByteArray("head <th>symboL</TH> ROWS"));

    QByteArray cut("ABCSYMBOL<");
    QCOMPARE(findTableMarker(cut.data(), 5), -1);
    QCOMPARE(cut, QByteArray("abcsyMBOL<"));
}

void TestPageScan::textWindow_data() {
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("start");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("printable kept") << QByteArray("<td>27.50</td>") << 0 << QByteArray("<td>27.50</td>");
    QTest::newRow("from start") << QByteArray("0123456789") << 4 << QByteArray("456789");
    QTest::newRow("LF between tags") << QByteArray("</tr>\n<tr>") << 0 << QByteArray("</tr><tr>");
    QTest::newRow("CR LF between tags") << QByteArray("</tr>\r\n<tr>") << 0 << QByteArray("</tr><tr>");
    QTest::newRow("blank line") << QByteArray("close\r\n\r\n<html>") << 0 << QByteArray("close<html>");
    QTest::newRow("one-digit chunk line") << QByteArray("ab\r\n5\r\ncd") << 0 << QByteArray("abcd");
    QTest::newRow("two-digit chunk line") << QByteArray("ab\r\n1f\r\ncd") << 0 << QByteArray("abcd");
    QTest::newRow("three-digit chunk line") << QByteArray("ab\r\n1a3\r\ncd") << 0 << QByteArray("abcd");
    QTest::newRow("four-digit chunk line") << QByteArray("ab\r\n1abc\r\ncd") << 0 << QByteArray("abcd");
    QTest::newRow("chunk line not starting with 1") << QByteArray("ab\r\n2a3\r\ncd") << 0 << QByteArray("ab2a3cd");
    QTest::newRow("single character between breaks") << QByteArray("ab\nX\nYcd") << 0 << QByteArray("abcd");
    QTest::newRow("high bytes") << QByteArray("ab\xe9xyz") << 0 << QByteArray("abxyz");
    QTest::newRow("tab") << QByteArray("a\tbcd") << 0 << QByteArray("abcd");
    QTest::newRow("break at the very end") << QByteArray("abc\n") << 0 << QByteArray("abc");
    QTest::newRow("break one before the end") << QByteArray("abc\nd") << 0 << QByteArray("abc");
    QTest::newRow("'1' after a break at the end") << QByteArray("abc\n1") << 0 << QByteArray("abc");
    QTest::newRow("'1' and two more at the end") << QByteArray("abc\n1ab") << 0 << QByteArray("abc");
    QTest::newRow("start at the end") << QByteArray("abc") << 3 << QByteArray();
    QTest::newRow("start past the end") << QByteArray("abc") << 500 << QByteArray();
    QTest::newRow("start far past the end") << QByteArray("abc") << INT_MAX << QByteArray();
    QTest::newRow("negative start") << QByteArray("abc") << -4 << QByteArray();
    QTest::newRow("empty reply") << QByteArray() << 0 << QByteArray();
}

void TestPageScan::textWindow() {
    QFETCH(QByteArray, reply);
    QFETCH(int, start);
    QFETCH(QByteArray, expected);
    QCOMPARE(window(reply, start), expected);
}

void TestPageScan::textWindowStopsAt5000() {
    QByteArray reply(TextWindowSize + 300, 'a');
    reply[10] = 'B';
    reply[10 + TextWindowSize - 1] = 'Z';
    reply[10 + TextWindowSize] = 'Q';
    const QByteArray text = window(reply, 10);
    QCOMPARE(text.size(), TextWindowSize);
    QCOMPARE(text.front(), 'B');
    QCOMPARE(text.back(), 'Z');
    QVERIFY(!text.contains('Q'));

    // Line breaks inside the window make it shorter, never longer.
    QByteArray broken = reply;
    broken[20] = '\n';
    QCOMPARE(window(broken, 10).size(), TextWindowSize - 1);
}

void TestPageScan::pageTextWindows_data() {
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("firstStart");
    const QByteArray row = "<tr><td><a href=\"/q?s=IBM\">IBM</a></td><td>81.20</td></tr>";
    QByteArray lines;
    QByteArray chunked;
    QByteArray broken;
    for (int i = 0; i < 150; ++i) {
        lines += row + (i % 3 == 0 ? "\r\n" : "\n");
        chunked += row + "\r\n1" + QByteArray::number(i % 16, 16) + (i % 2 ? "a" : "") + "\r\n";
        broken += row.left(i % 40) + QByteArray(1 + i % 5, char(i % 2 ? '\n' : '\xe9')) + "1" + row.mid(i % 40);
    }
    QTest::newRow("line ends") << lines << 0;
    QTest::newRow("chunk-size lines") << chunked << 0;
    QTest::newRow("chunk-size lines, first start on one") << chunked << int(chunked.indexOf("\r\n1") + 2);
    QTest::newRow("runs of dropped bytes") << broken << 0;
    QTest::newRow("first start mid-page") << broken << 3001;
    QTest::newRow("no line ends") << QByteArray(12000, 'x') << 17;
    QTest::newRow("only dropped bytes") << QByteArray(9000, '\n') << 0;
    QTest::newRow("ends in a break") << QByteArray("abc\r\n1a") << 0;
    QTest::newRow("empty") << QByteArray() << 0;
}

void TestPageScan::pageTextWindows() {
    // Every window the page text gives, from starts moving forward over the whole reply, is
    // the window built the plain way; so are windows before the first start.
    QFETCH(QByteArray, reply);
    QFETCH(int, firstStart);
    auto bytes = exactCopy(reply);
    const int length = static_cast<int>(reply.size());
    PageText page(bytes.get(), length);
    std::unique_ptr<char[]> plain(new char[TextWindowSize + 1]);
    QList<int> starts;
    for (int start = firstStart; start <= length + 1; ++start)
        starts << start;
    starts << INT_MAX << 0 << firstStart / 2;
    for (int start : starts) {
        const int n = buildTextWindow(bytes.get(), length, start, plain.get());
        const TextWindow window = page.window(start);
        if (QByteArray(window.text, window.n) != QByteArray(plain.get(), n))
            QFAIL(qPrintable(QStringLiteral("window from %1 differs").arg(start)));
    }
}

void TestPageScan::symbolPatterns_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("symbol");
    QTest::addColumn<int>("j");
    QTest::addColumn<int>("kind");
    const int A = int(SymbolMatch::LinkTail);
    const int B = int(SymbolMatch::ExactText);
    const int none = int(SymbolMatch::None);
    QTest::newRow("1 A") << QByteArray("<a href=\"/q?s=F\">F</a>") << QByteArray("F") << 13 << A;
    QTest::newRow("1 has no B") << QByteArray("<td>F</td>") << QByteArray("F") << -1 << none;
    QTest::newRow("1 A needs the text") << QByteArray("s=F\">G</a>") << QByteArray("F") << -1 << none;
    QTest::newRow("2 A") << QByteArray("s=GE\">GE</a>") << QByteArray("GE") << 1 << A;
    QTest::newRow("2 B") << QByteArray("<td>GE</td>") << QByteArray("GE") << 3 << B;
    QTest::newRow("3 A") << QByteArray("s=IBM\">IBM") << QByteArray("IBM") << 2 << A;
    QTest::newRow("3 B") << QByteArray("<b>IBM</b>") << QByteArray("IBM") << 2 << B;
    QTest::newRow("3 A also ends a longer link") << QByteArray("s=XIBM\">") << QByteArray("IBM") << 3 << A;
    QTest::newRow("4 A") << QByteArray("<a href=\"/q?s=MSFT\">MSFT</a>") << QByteArray("MSFT") << 14 << A;
    QTest::newRow("4 B") << QByteArray("<td>MSFT</td>") << QByteArray("MSFT") << 3 << B;
    QTest::newRow("5 A") << QByteArray("s=GOOGL\">") << QByteArray("GOOGL") << 2 << A;
    QTest::newRow("5 B") << QByteArray("x>GOOGL<") << QByteArray("GOOGL") << 1 << B;
    QTest::newRow("earlier B beats later A") << QByteArray(">MSFT< s=MSFT\">") << QByteArray("MSFT") << 0 << B;
    QTest::newRow("lower-case symbol finds upper case") << QByteArray("s=MSFT\">") << QByteArray("msft") << 2 << A;
    QTest::newRow("lower-case page not found") << QByteArray("s=msft\">msft<") << QByteArray("MSFT") << -1 << none;
    QTest::newRow("B needs the closing '<'") << QByteArray(">MSFTX<") << QByteArray("MSFT") << -1 << none;
    QTest::newRow("match ending at the window's end") << QByteArray("ab>IBM<") << QByteArray("IBM") << 2 << B;
    QTest::newRow("match cut by the window's end") << QByteArray("ab>IBM") << QByteArray("IBM") << -1 << none;
    QTest::newRow("empty window") << QByteArray() << QByteArray("IBM") << -1 << none;
    QTest::newRow("length 0") << QByteArray(">IBM<") << QByteArray("") << -1 << none;
    QTest::newRow("6 A") << QByteArray("s=GOOGLE\">") << QByteArray("GOOGLE") << 2 << A;
    QTest::newRow("6 B") << QByteArray("x>NASDAQ<") << QByteArray("NASDAQ") << 1 << B;
    QTest::newRow("6 is not its first 5") << QByteArray("s=GOOGL\">GOOGL<") << QByteArray("GOOGLE") << -1 << none;
    QTest::newRow("length 7") << QByteArray("GOOGLEX\">") << QByteArray("GOOGLEX") << -1 << none;
}

void TestPageScan::symbolPatterns() {
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, symbol);
    QFETCH(int, j);
    QFETCH(int, kind);
    auto bytes = exactCopy(text);
    SymbolMatch found = SymbolMatch::LinkTail;
    QCOMPARE(findSymbol(bytes.get(), static_cast<int>(text.size()), symbol.constData(), static_cast<int>(symbol.size()),
                        &found),
             j);
    QCOMPARE(int(found), kind);
}

void TestPageScan::rowText_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("j");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("pattern A") << QByteArray("s=MSFT\">MSFT</a></td>") << 2 << int(SymbolMatch::LinkTail)
                               << QByteArray("      MSFT</a></td>");
    QTest::newRow("pattern A of a one-letter symbol")
        << QByteArray("=F\">F</a>") << 0 << int(SymbolMatch::LinkTail) << QByteArray("    F</a>");
    QTest::newRow("pattern B") << QByteArray("<td>MSFT</td>") << 3 << int(SymbolMatch::ExactText)
                               << QByteArray(" MSFT</td>");
}

void TestPageScan::rowText() {
    QFETCH(QByteArray, text);
    QFETCH(int, j);
    QFETCH(int, kind);
    QFETCH(QByteArray, expected);
    auto bytes = exactCopy(text + '\0');
    std::unique_ptr<char[]> row(new char[RowTextSize + 1]);
    takeRowText(bytes.get(), static_cast<int>(text.size()), j, SymbolMatch(kind), row.get());
    QCOMPARE(QByteArray(row.get()), expected);
}

void TestPageScan::rowTextKeeps800() {
    QByteArray text = ">IBM<" + QByteArray(2000, 'x');
    std::unique_ptr<char[]> row(new char[RowTextSize + 1]);
    takeRowText(text.constData(), static_cast<int>(text.size()), 0, SymbolMatch::ExactText, row.get());
    QCOMPARE(QByteArray(row.get()), " IBM<" + QByteArray(RowTextSize - 5, 'x'));
}

void TestPageScan::notFoundText_data() {
    QTest::addColumn<QByteArray>("symbol");
    QTest::addColumn<int>("count");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray words("   symbol not found   0.00    +0.00%       0                  ");
    QTest::newRow("IBM") << QByteArray("IBM") << 3 << "  IBM" + words;
    QTest::newRow("lower case") << QByteArray("msft") << 4 << "  MSFT" + words;
    QTest::newRow("five letters") << QByteArray("QWXYZ") << 5 << "  QWXYZ" + words;
    QTest::newRow("at most six") << QByteArray("abcde~") << 9 << "  ABCDE~" + words;
}

void TestPageScan::notFoundText() {
    QFETCH(QByteArray, symbol);
    QFETCH(int, count);
    QFETCH(QByteArray, expected);
    std::unique_ptr<char[]> row(new char[RowTextSize + 1]);
    notFoundRowText(symbol.constData(), count, row.get());
    QCOMPARE(QByteArray(row.get()), expected);
}

void TestPageScan::missingTime_data() {
    QTest::addColumn<QByteArray>("row");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("time present") << QByteArray(" MSFT</a></td><td align=\"center\">4:00PM ET</td><td>")
                                  << QByteArray(" MSFT</a></td><td align=\"center\">4:00PM ET</td><td>");
    QTest::newRow("empty cell") << QByteArray(" CSCO</a></td><td align=\"center\"></td><td>19.80")
                                << QByteArray(" CSCO</a></td><td align=\"center\">Unknown ET</td><td>19.80");
    QTest::newRow("only ET") << QByteArray(" AAPL</a></td><td align=\"center\">ET</td><td>88.20")
                             << QByteArray(" AAPL</a></td><td align=\"center\">Unknown ET</td><td>88.20");
    QTest::newRow("first place only") << QByteArray("<td a=\"center\">ET</td><td a=\"center\"></td>")
                                      << QByteArray("<td a=\"center\">Unknown ET</td><td a=\"center\"></td>");
    QTest::newRow("case matters") << QByteArray("<td align=\"CENTER\"></td>")
                                  << QByteArray("<td align=\"CENTER\"></td>");
}

void TestPageScan::missingTime() {
    QFETCH(QByteArray, row);
    QFETCH(QByteArray, expected);
    QCOMPARE(rowAfter(fixMissingTime, row), expected);
}

void TestPageScan::missingTimeNearTheEnd() {
    // The row keeps at most 800 characters: what the insertion pushes past them is lost.
    const QByteArray cell("ter\"></td");
    QByteArray row = QByteArray(RowTextSize - 20, '.') + cell + QByteArray(11, '#');
    QCOMPARE(row.size(), RowTextSize);
    QCOMPARE(rowAfter(fixMissingTime, row), QByteArray(RowTextSize - 20, '.') + "ter\">Unknown ET</td#");

    // A cell at the very end: the inserted text itself is cut at 800.
    row = QByteArray(RowTextSize - 9, '.') + QByteArray("ter\">ET</");
    QCOMPARE(row.size(), RowTextSize);
    QCOMPARE(rowAfter(fixMissingTime, row), QByteArray(RowTextSize - 9, '.') + "ter\">Unkn");

    // Eight of the nine characters at the end are no match.
    row = QByteArray(RowTextSize - 8, '.') + QByteArray("ter\"></td").left(8);
    QCOMPARE(rowAfter(fixMissingTime, row), row);

    // A short row grows by the insertion.
    QCOMPARE(rowAfter(fixMissingTime, QByteArray("ter\"></td>")), QByteArray("ter\">Unknown ET</td>"));
}

void TestPageScan::tags_data() {
    QTest::addColumn<QByteArray>("row");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("cells") << QByteArray(" MSFT</a></td><td>27.50</td>") << QByteArray(" MSFT             27.50     ");
    QTest::newRow("no tags") << QByteArray(" symbol not found") << QByteArray(" symbol not found");
    QTest::newRow("unclosed tag blanks to the end") << QByteArray(" 27.50 <td cla") << QByteArray(" 27.50        ");
    QTest::newRow("'>' outside a tag stays") << QByteArray("a>b<c>d") << QByteArray("a>b   d");
    QTest::newRow("'<' inside a tag") << QByteArray("a<b<c>d>e") << QByteArray("a     d>e");
    QTest::newRow("tags and spaces make one run") << QByteArray("x <a> <b>y") << QByteArray("x        y");
    QTest::newRow("tag at the very end") << QByteArray("x<>") << QByteArray("x  ");
    QTest::newRow("lone '<' at the end") << QByteArray("x<") << QByteArray("x ");
    QTest::newRow("empty") << QByteArray() << QByteArray();
}

void TestPageScan::tags() {
    QFETCH(QByteArray, row);
    QFETCH(QByteArray, expected);
    QCOMPARE(blankedByRuns(row), expected);
}

void TestPageScan::symbolRow_data() {
    QTest::addColumn<QByteArray>("slot");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("j");
    QTest::addColumn<QByteArray>("row");
    const QByteArray words("   symbol not found   0.00    +0.00%       0                  ");
    const QByteArray found("     IBM</a></td><td align=\"center\">Unknown ET</td></tr>");
    // The blank line after the headers is dropped from the window.
    const int inWindow = int(QByteArray("HTTP/1.1 200 OK<tr><td><a href=\"/q?s=").size());
    const int afterHeaders = int(QByteArray("HTTP/1.1 200 OK\r\n\r\n").size());
    QTest::newRow("found") << QByteArray("IBM") << 3 << 0 << inWindow << found;
    QTest::newRow("found from a later start")
        << QByteArray("ibm") << 3 << afterHeaders << inWindow - int(QByteArray("HTTP/1.1 200 OK").size()) << found;
    QTest::newRow("start past the match") << QByteArray("IBM") << 3 << 60 << 0 << "  IBM" + words;
    QTest::newRow("start past the reply") << QByteArray("IBM") << 3 << 5000 << 0 << "  IBM" + words;
    QTest::newRow("six letters") << QByteArray("GOOGLE") << 6 << 0 << 0 << "  GOOGLE" + words;
    QTest::newRow("overlong line") << QByteArray("ibmxy~") << 12 << 0 << 0 << "  IBMXY~" + words;
    QTest::newRow("length 0") << QByteArray("IBM") << 0 << 0 << 0 << "  IBM" + words;
    QTest::newRow("length longer than the slot") << QByteArray("IB") << 3 << 0 << 0 << "  IB" + words;
}

void TestPageScan::symbolRow() {
    QFETCH(QByteArray, slot);
    QFETCH(int, length);
    QFETCH(int, start);
    QFETCH(int, j);
    QFETCH(QByteArray, row);
    const QByteArray reply("HTTP/1.1 200 OK\r\n\r\n<tr><td><a href=\"/q?s=IBM\">IBM</a></td>"
                           "<td align=\"center\">ET</td></tr>\n");
    auto bytes = exactCopy(reply);
    char slotBytes[7] = {};
    std::memcpy(slotBytes, slot.constData(), static_cast<size_t>(std::min<qsizetype>(slot.size(), 6)));
    std::unique_ptr<char[]> text(new char[RowTextSize + 1]);
    PageText page(bytes.get(), static_cast<int>(reply.size()));
    QCOMPARE(takeSymbolRow(page, start, slotBytes, length, text.get()), j);
    QCOMPARE(QByteArray(text.get()), row);
}

void TestPageScan::endOfSymbols() {
    QVERIFY(isEndOfSymbols(""));
    QVERIFY(!isEndOfSymbols("\xff"
                            "ABC"));
    QVERIFY(!isEndOfSymbols("IBM"));
    QVERIFY(!isEndOfSymbols(" "));
}

void TestPageScan::searchStartAdvance() {
    QCOMPARE(advanceSearchStart(250, 40), 390);
    QCOMPARE(advanceSearchStart(250, 0), 350);
    QCOMPARE(advanceSearchStart(INT_MAX - 50, 0), INT_MAX);
    QVERIFY(textStartsWith("008800\">", "008800"));
    QVERIFY(!textStartsWith("0088", "008800"));
    QVERIFY(textStartsWith("abc", ""));
}

void TestPageScan::screenedSearchFindsEveryPlace() {
    // Patterns of one to seven characters at every place of texts up to three screens long,
    // among decoys holding only their first or last character or all but one: the screened
    // search finds what a plain search finds, also at a text's very end.
    const QList<QByteArray> patterns = {"T", ">F<", "ter\">", "MSFT\">", ">GOOGL<", "=GE\">GE", "&nbsp;"};
    for (const QByteArray& pattern : patterns) {
        const QByteArray decoys =
            pattern.left(1) + "......" + pattern.right(1) + pattern.left(pattern.size() - 1) + ".";
        for (int n = 0; n <= 3 * byte_search::LaneCount; ++n) {
            QByteArray base(n, '.');
            for (int i = 0; i < n; ++i)
                base[i] = decoys[i % decoys.size()];
            for (int at = -1; at + pattern.size() <= n; ++at) {
                QByteArray text = base;
                if (at >= 0)
                    text.replace(at, pattern.size(), pattern);
                auto bytes = exactCopy(text);
                const int found = firstMatch(bytes.get(), n, pattern.constData(), static_cast<int>(pattern.size()));
                if (found != text.indexOf(pattern))
                    QFAIL(qPrintable(QStringLiteral("%1 in %2: %3")
                                         .arg(QString::fromLatin1(pattern), QString::fromLatin1(text))
                                         .arg(found)));
            }
        }
    }
}

QTEST_GUILESS_MAIN(TestPageScan)
#include "test_page_scan.moc"
