// The real-time page parser, from raw replies (headers included) to the directions it
// stores, the data-file lines and the 92-character rows it hands to the window.
#include <QtTest>

#include <cstring>
#include <initializer_list>
#include <memory>
#include <utility>

#include "parsing/page_scan.h"
#include "parsing/rt_page.h"
#include "parsing/rt_table.h"
#include "support/page_fixtures.h"
#include "support/recording_sink.h"

namespace {

SymbolTable loadTable; // the load's symbols and scan state the parser works on
RtRows tabRows;        // the rows a tab keeps

struct RecordedRow {
    QByteArray line;
    double trade;
    double afterHours;
    int rowsLoadedWhenAppended;
};

// Records each row as the RealTime tab keeps it, and what its table held before.
class RtRecorder : public RecordingSink<RtPageSink, RecordedRow> {
public:
    void appendRow(const char* line, double tradeDirection, double afterHoursDirection) override {
        record({QByteArray(line), tradeDirection, afterHoursDirection, tabRows.count});
        storeRtRow(tabRows, "", tradeDirection, afterHoursDirection); // as the RealTime tab keeps them
    }
};

// Parses a copy of the reply held in a block of exactly its size, so that the sanitizer
// build catches any access past it.
PageEnd parse(const QByteArray& reply, RtRecorder& sink) {
    std::unique_ptr<char[]> bytes(new char[std::max<qsizetype>(reply.size(), 1)]);
    std::memcpy(bytes.get(), reply.constData(), static_cast<size_t>(reply.size()));
    return parseRtPage(bytes.get(), static_cast<int>(reply.size()), loadTable, sink);
}

QByteArray notFoundLine(const char* symbol) {
    return placed(RtLineLength, {{0, symbol}, {10, "symbol not"}, {22, "0.00"}, {35, "-"}, {36, "+0.00%"}, {54, "0"}});
}

QByteArray notFoundData(const char* symbol) {
    return QByteArray(" ") + symbol + "   symbol not found   0.00   +0.00%   0   ";
}

QByteArray formatted(const QByteArray& squeezed, double trade, double afterHours) {
    char line[RtLineSize];
    formatRtLine(squeezed.constData(), trade, afterHours, line);
    return QByteArray(line);
}

// The cells of a row: its display line and the squeezed text the line was made from.
QList<QByteArray> cells(const QByteArray& line, const QByteArray& squeezed, double trade) {
    char out[7][RtCellTextSize];
    rtRowCells(line.constData(), squeezed.constData(), trade, out);
    QList<QByteArray> list;
    for (const auto& c : out)
        list << QByteArray(c);
    return list;
}

const QByteArray msftSqueezed = " MSFT   4:00PM ET   27.50   0.12 (0.44%)   0.05 (0.18%)   27.49   27.51 ";
const QByteArray msftLine = placed(RtLineLength, {{0, "MSFT"},
                                                  {10, "4:00PM ET"},
                                                  {22, "27.50"},
                                                  {35, "+0.12 (0.44%)"},
                                                  {53, "-0.05 (0.18%)"},
                                                  {70, "27.49"},
                                                  {81, "27.51"}});

} // namespace

class TestRtPage : public QObject {
    Q_OBJECT

private slots:
    void init();
    void directions_data();
    void directions();
    void nbspBecomesBlanks();
    void squeeze_data();
    void squeeze();
    void format_data();
    void format();
    void rowCells();
    void edgePage();
    void chunkedBodyGivesTheSameRows();
    void badLengthsStillGiveOneRowEach_data();
    void badLengthsStillGiveOneRowEach();
    void searchStartPastTheEnd();
    void pageWithoutMarker();
    void endOfList();
    void truncatedReplies();
};

void TestRtPage::init() {
    tabRows.count = 0;
    loadTable.searchStart = 0;
    loadTable.batch = 0;
}

void TestRtPage::directions_data() {
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<double>("trade");
    QTest::addColumn<double>("afterHours");
    QTest::newRow("up then down") << QByteArray("<font color=\"#008800\">0.12</font><font color=\"#cc0000\">") << RtUp
                                  << RtDown;
    QTest::newRow("down then up") << QByteArray("color=\"#cc0000\"> color=\"#008800\">") << RtDown << RtUp;
    QTest::newRow("black codes") << QByteArray("color=\"#000000\"> color=\"#000000\">N/A") << RtUnchanged
                                 << RtUnchanged;
    QTest::newRow("black then up") << QByteArray("#000000 #008800") << RtUnchanged << RtUp;
    QTest::newRow("third code ignored") << QByteArray("cc0000 008800 cc0000") << RtDown << RtUp;
    QTest::newRow("second code starts inside the first") << QByteArray("cc00008800") << RtDown << RtUp;
    QTest::newRow("one code") << QByteArray("<font color=\"#008800\">") << RtUp << RtUnknown;
    QTest::newRow("no codes") << QByteArray(" XYZ   symbol not found   0.00") << RtUnknown << RtUnknown;
    QTest::newRow("no long before the codes")
        << QByteArray("Real-time data no longer available</td><font color=\"#008800\"><font color=\"#cc0000\">")
        << RtUnknown << RtUnknown;
    QTest::newRow("no long after the first code") << QByteArray("#008800 no longer #cc0000") << RtUp << RtDown;
    QTest::newRow("codes compare case-sensitively") << QByteArray("#CC0000 #00880O") << RtUnknown << RtUnknown;
    QTest::newRow("empty") << QByteArray() << RtUnknown << RtUnknown;
}

void TestRtPage::directions() {
    QFETCH(QByteArray, block);
    QFETCH(double, trade);
    QFETCH(double, afterHours);
    double t = 5;
    double a = 5;
    readRtDirections(block.data(), &t, &a);
    QCOMPARE(t, trade);
    QCOMPARE(a, afterHours);
}

void TestRtPage::nbspBecomesBlanks() {
    QByteArray block("27.49&nbsp;27.51&nbsp&nbsp;");
    double t = 0;
    double a = 0;
    readRtDirections(block.data(), &t, &a);
    QCOMPARE(block, QByteArray("27.49      27.51&nbsp      "));
}

void TestRtPage::squeeze_data() {
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<QByteArray>("squeezed");
    QTest::newRow("long runs become three")
        << QByteArray("      MSFT        4:00PM ET      27.50 ") << QByteArray(" MSFT   4:00PM ET   27.50 ");
    QTest::newRow("short runs stay") << QByteArray("  a b  c   d    e") << QByteArray(" a b  c   d   e");
    QTest::newRow("ends in the seventh separator")
        << QByteArray(" 1    2   3   4   5   6   7      8   9") << QByteArray(" 1   2   3   4   5   6   7 ");
    QTest::newRow("fewer separators end at the end") << QByteArray("   XYZ   0   ") << QByteArray(" XYZ   0   ");
    QTest::newRow("no leading blank") << QByteArray("XYZ     0") << QByteArray("XYZ   0");
    QTest::newRow("only blanks") << QByteArray("      ") << QByteArray();
    QTest::newRow("tags read as blanks") << QByteArray("<td>MSFT</td><td>4:00PM ET</td><td><b>27.50</b></td>")
                                         << QByteArray(" MSFT   4:00PM ET   27.50   ");
    QTest::newRow("short runs with tags") << QByteArray("a<>b <i>c<b>d") << QByteArray("a  b   c   d");
    QTest::newRow("only tags") << QByteArray("<td></td>") << QByteArray();
    QTest::newRow("empty") << QByteArray() << QByteArray();
}

void TestRtPage::squeeze() {
    QFETCH(QByteArray, block);
    QFETCH(QByteArray, squeezed);
    char compact[RowTextSize + 1];
    QCOMPARE(QByteArray(squeezeRtBlock(block.constData(), compact)), squeezed);
}

void TestRtPage::format_data() {
    QTest::addColumn<QByteArray>("squeezed");
    QTest::addColumn<double>("trade");
    QTest::addColumn<double>("afterHours");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("MSFT") << msftSqueezed << RtUp << RtDown << msftLine;
    QTest::newRow("not found") << notFoundData("XYZ") << RtUnknown << RtUnknown << notFoundLine("XYZ");
    QTest::newRow("unchanged has no signs")
        << QByteArray(" KO   4:00PM ET   44.10   0.00 (0.00%)   N/A   44.09   44.11 ") << RtUnchanged << RtUnchanged
        << placed(RtLineLength, {{0, "KO"},
                                 {10, "4:00PM ET"},
                                 {22, "44.10"},
                                 {36, "0.00 (0.00%)"},
                                 {54, "N/A"},
                                 {70, "44.09"},
                                 {81, "44.11"}});
    QTest::newRow("after-hours N/A takes no sign")
        << QByteArray(" A   T   P   0.10   N/A   B   C ") << RtDown << RtUp
        << placed(RtLineLength, {{0, "A"}, {10, "T"}, {22, "P"}, {35, "-0.10"}, {54, "N/A"}, {70, "B"}, {81, "C"}});
    QTest::newRow("after-hours sign ignores text position 54")
        << " A   " + QByteArray(40, 'B') + "   C   DDNDD   0.05   F   G " << RtUp << RtUp
        << placed(RtLineLength,
                  {{0, "A"}, {10, "BBBBBBBBBBB"}, {22, "C"}, {35, "+DDNDD"}, {53, "+0.05"}, {70, "F"}, {81, "G"}});
    QTest::newRow("unknown after-hours takes no sign")
        << QByteArray(" A   T   P   0.10   0.02   B   C ") << RtUp << RtUnknown
        << placed(RtLineLength, {{0, "A"}, {10, "T"}, {22, "P"}, {35, "+0.10"}, {54, "0.02"}, {70, "B"}, {81, "C"}});
    QTest::newRow("fields cut before their limits")
        << QByteArray(" ABCDEFGHIJKL   0123456789AB   0123456789ABC   0123456789ABCDEFG   0123456789ABCDEFG   X   Y ")
        << RtUp << RtUp
        << placed(RtLineLength, {{0, "ABCDEFGHIJ"},
                                 {10, "0123456789A"},
                                 {22, "0123456789AB"},
                                 {35, "+0123456789ABCDEF"},
                                 {53, "+0123456789ABCDEF"},
                                 {70, "X"},
                                 {81, "Y"}});
    QTest::newRow("bid and ask cut before their limits")
        << QByteArray(" A   B   C   D   E   0123456789AB   0123456789AB ") << RtUp << RtUp
        << placed(RtLineLength,
                  {{0, "A"}, {10, "B"}, {22, "C"}, {35, "+D"}, {53, "+E"}, {70, "0123456789A"}, {81, "0123456789A"}});
    QTest::newRow("text ends: later fields empty, no sign")
        << QByteArray(" A   B ") << RtDown << RtDown << placed(RtLineLength, {{0, "A"}, {10, "B"}});
    QTest::newRow("nothing past position 100 is read, then the start again")
        << " A   " + QByteArray(90, 'B') + "   C   D   E   F   G " << RtUp << RtUnchanged
        << placed(RtLineLength, {{0, "A"},
                                 {10, "BBBBBBBBBBB"},
                                 {22, "C"},
                                 {35, "+ A"},
                                 {54, "BBBBBBBBBBBBBBBB"},
                                 {70, "C"},
                                 {81, " A"}});
    QTest::newRow("empty text") << QByteArray() << RtUp << RtUp << placed(RtLineLength, {});
}

void TestRtPage::format() {
    QFETCH(QByteArray, squeezed);
    QFETCH(double, trade);
    QFETCH(double, afterHours);
    QFETCH(QByteArray, line);
    QCOMPARE(formatted(squeezed, trade, afterHours), line);
}

void TestRtPage::rowCells() {
    QCOMPARE(cells(msftLine, msftSqueezed, RtUp),
             QList<QByteArray>({"MSFT     ", " 4:00PM ET  ", "  27.50   ", " +0.12 (0.44%)", " -0.05 (0.18%)",
                                " 27.49      ", " 27.51      "}));
    // any known direction: the same cuts
    QCOMPARE(cells(msftLine, msftSqueezed, RtUnchanged), cells(msftLine, msftSqueezed, RtDown));
    // A field past its cut shows whole after the indent; a value of more than 14 characters as "###".
    const QByteArray big = " K   11:30AM ET   712,345.67   12.34 (0.23%)   N/A   " + QByteArray(15, '9') + "   1.00 ";
    QCOMPARE(cells(formatted(big, RtDown, RtUnknown), big, RtDown),
             QList<QByteArray>({"K        ", " 11:30AM ET ", "  712,345.67", " -12.34 (0.23%)", "  N/A         ", "###",
                                " 1.00       "}));
    QCOMPARE(cells(notFoundLine("XYZ"), notFoundData("XYZ"), RtUnknown),
             QList<QByteArray>({"XYZ      ", "     N/A", "", "", "", "", ""}));
}

void TestRtPage::edgePage() {
    // The page holds MSFT, INTC (down, after hours up), KO (black codes), YHOO (no longer
    // available), GE (bid and ask separated by &nbsp;) and DELL; XYZ and QWXYZ are unknown.
    setBatch(loadTable, 0, {"MSFT", "XYZ", "INTC", "KO", "YHOO", "GE", "QWXYZ", "dell"});
    RtRecorder sink;
    QCOMPARE(int(parse(samplePage("rt_edge.txt"), sink)), int(PageEnd::EndOfList));
    QCOMPARE(sink.order, QByteArray("DRDRDRDRDRDRDRDR"));

    QCOMPARE(sink.dataLines[0], QByteArray(" MSFT   4:00PM ET   27.50   0.12 (0.44%)   0.05 (0.18%)   27.49   27.51 "));
    QCOMPARE(sink.dataLines[1], notFoundData("XYZ"));
    QCOMPARE(sink.dataLines[2], QByteArray(" INTC   4:00PM ET   21.35   0.33 (1.52%)   0.04 (0.19%)   21.34   21.36 "));
    QCOMPARE(sink.dataLines[3], QByteArray(" KO   4:00PM ET   44.10   0.00 (0.00%)   N/A   44.09   44.11 "));
    QVERIFY(sink.dataLines[4].startsWith(" YHOO   Real-time data no longer available for this symbol   "));
    QCOMPARE(sink.dataLines[5], QByteArray(" GE   3:59PM ET   35.10   0.10 (0.29%)   N/A   35.09   35.11 "));
    QCOMPARE(sink.dataLines[6], notFoundData("QWXYZ"));
    QCOMPARE(sink.dataLines[7], QByteArray(" DELL   4:00PM ET   14.75   0.05 (0.34%)   0.02 (0.14%)   14.74   14.76 "));

    const QList<QByteArray> lines = {
        msftLine,
        notFoundLine("XYZ"),
        placed(RtLineLength, {{0, "INTC"},
                              {10, "4:00PM ET"},
                              {22, "21.35"},
                              {35, "-0.33 (1.52%)"},
                              {53, "+0.04 (0.19%)"},
                              {70, "21.34"},
                              {81, "21.36"}}),
        placed(RtLineLength, {{0, "KO"},
                              {10, "4:00PM ET"},
                              {22, "44.10"},
                              {36, "0.00 (0.00%)"},
                              {54, "N/A"},
                              {70, "44.09"},
                              {81, "44.11"}}),
        QByteArray(), // checked below
        placed(RtLineLength, {{0, "GE"},
                              {10, "3:59PM ET"},
                              {22, "35.10"},
                              {35, "+0.10 (0.29%)"},
                              {54, "N/A"},
                              {70, "35.09"},
                              {81, "35.11"}}),
        notFoundLine("QWXYZ"),
        placed(RtLineLength, {{0, "DELL"},
                              {10, "4:00PM ET"},
                              {22, "14.75"},
                              {35, "+0.05 (0.34%)"},
                              {53, "-0.02 (0.14%)"},
                              {70, "14.74"},
                              {81, "14.76"}}),
    };
    const QList<std::pair<double, double>> directions = {
        {RtUp, RtDown},         {RtUnknown, RtUnknown}, {RtDown, RtUp},         {RtUnchanged, RtUnchanged},
        {RtUnknown, RtUnknown}, {RtUp, RtUnchanged},    {RtUnknown, RtUnknown}, {RtUp, RtDown}};
    QCOMPARE(sink.rows.size(), lines.size());
    for (int i = 0; i < lines.size(); ++i) {
        if (!lines[i].isEmpty())
            QCOMPARE(sink.rows[i].line, lines[i]);
        QCOMPARE(sink.rows[i].line.size(), RtLineLength);
        QCOMPARE(sink.rows[i].trade, directions[i].first);
        QCOMPARE(sink.rows[i].afterHours, directions[i].second);
        QCOMPARE(sink.rows[i].rowsLoadedWhenAppended, i);
        QCOMPARE(tabRows.tradeDirections[i], float(directions[i].first));
        QCOMPARE(tabRows.afterHoursDirections[i], float(directions[i].second));
    }
    QCOMPARE(tabRows.count, 8);

    // No colour code counts after "no longer": both directions unknown, the change field
    // takes '-' and the row shows the symbol and the start of the notice.
    const QByteArray yhoo = sink.rows[4].line;
    QCOMPARE(yhoo.left(22), QByteArray("YHOO      Real-time d "));
    QCOMPARE(yhoo.mid(35, 1), QByteArray("-"));
    QCOMPARE(yhoo.mid(53, 1), QByteArray(" "));
    QCOMPARE(cells(yhoo, sink.dataLines[4], RtUnknown),
             QList<QByteArray>({"YHOO     ", "     N/A", "", "", "", "", ""}));
}

void TestRtPage::chunkedBodyGivesTheSameRows() {
    const QList<QByteArray> symbols = {"MSFT", "INTC", "GE",  "F", "AAPL", "CSCO", "DELL", "ORCL", "IBM", "KO",
                                       "PEP",  "XOM",  "WMT", "T", "HD",   "MMM",  "JNJ",  "PFE",  "MRK", "BA"};
    setBatch(loadTable, 0, symbols);
    RtRecorder plain;
    QCOMPARE(int(parse(samplePage("rt_20.txt"), plain)), int(PageEnd::BatchDone));
    const QByteArray chunkedPage = samplePage("rt_20_chunked.txt");
    QVERIFY(chunkedPage.contains("Transfer-Encoding: chunked"));
    tabRows.count = 0;
    RtRecorder chunked;
    parse(chunkedPage, chunked);

    QCOMPARE(plain.rows.size(), 20);
    QCOMPARE(chunked.dataLines, plain.dataLines);
    for (int i = 0; i < 20; ++i) {
        QVERIFY2(plain.dataLines[i].startsWith(" " + symbols[i] + "   "), plain.dataLines[i].constData());
        QVERIFY(plain.rows[i].trade > -50);
        QCOMPARE(chunked.rows[i].line, plain.rows[i].line);
        QCOMPARE(chunked.rows[i].trade, plain.rows[i].trade);
        QCOMPARE(chunked.rows[i].afterHours, plain.rows[i].afterHours);
    }
    QCOMPARE(plain.dataLines[19], QByteArray(" BA   4:00PM ET   66.60   1.60 (2.35%)   N/A   66.59   66.61 "));
    QCOMPARE(plain.rows[19].trade, RtDown);
}

void TestRtPage::badLengthsStillGiveOneRowEach_data() {
    QTest::addColumn<QByteArray>("second");
    QTest::addColumn<int>("length");
    QTest::addColumn<QByteArray>("shown");
    QTest::newRow("six letters") << QByteArray("GOOGLE") << 6 << QByteArray("GOOGLE");
    QTest::newRow("overlong portfolio line") << QByteArray("abcde~") << 12 << QByteArray("ABCDE~");
}

void TestRtPage::badLengthsStillGiveOneRowEach() {
    QFETCH(QByteArray, second);
    QFETCH(int, length);
    QFETCH(QByteArray, shown);
    setBatch(loadTable, 0, {"MSFT", second, "INTC"}, {4, length, 4});
    RtRecorder sink;
    parse(samplePage("rt_edge.txt"), sink);
    QCOMPARE(sink.rows.size(), 3);
    QCOMPARE(sink.dataLines[1], notFoundData(shown.constData()));
    QCOMPARE(sink.rows[1].line, notFoundLine(shown.constData()));
    QVERIFY(sink.rows[2].line.startsWith("INTC "));
    QCOMPARE(tabRows.tradeDirections[1], float(RtUnknown));
    QCOMPARE(tabRows.tradeDirections[2], float(RtDown));
    QCOMPARE(tabRows.afterHoursDirections[2], float(RtUp));
    QCOMPARE(tabRows.count, 3);
}

// The edge page without its header's marker, cut before the row whose notice ends in
// "symbol</td>", which is a marker of its own.
static QByteArray edgePageWithoutMarker() {
    QByteArray page = samplePage("rt_edge.txt").replace("<th>Symbol</th>", "<th>Ticker</th>");
    return page.left(page.indexOf("<tr class=\"q\"><td class=\"s\"><a href=\"/q?s=YHOO\""));
}

void TestRtPage::searchStartPastTheEnd() {
    const QByteArray noMarker = edgePageWithoutMarker();
    setBatch(loadTable, 0, {"MSFT", "KO"});
    loadTable.searchStart = int(noMarker.size()) + 50;
    RtRecorder sink;
    parse(noMarker, sink);
    QCOMPARE(sink.dataLines, QList<QByteArray>({notFoundData("MSFT"), notFoundData("KO")}));
    QCOMPARE(loadTable.searchStart, int(noMarker.size()) + 250);
    QCOMPARE(tabRows.tradeDirections[0], float(RtUnknown));
}

void TestRtPage::pageWithoutMarker() {
    // The marker search lower-cases the whole reply, so nothing is found on it.
    const QByteArray noMarker = edgePageWithoutMarker();
    QVERIFY(noMarker.contains("MSFT\">MSFT"));
    setBatch(loadTable, 0, {"MSFT"});
    loadTable.searchStart = 3;
    RtRecorder sink;
    parse(noMarker, sink);
    QCOMPARE(sink.dataLines, QList<QByteArray>({notFoundData("MSFT")}));
    QCOMPARE(loadTable.searchStart, 103);
}

void TestRtPage::endOfList() {
    setBatch(loadTable, 0, {"MSFT", "\xff"});
    RtRecorder sink;
    QCOMPARE(int(parse(samplePage("rt_edge.txt"), sink)), int(PageEnd::EndOfList));
    QCOMPARE(sink.rows.size(), 2); // 0xFF is a symbol's byte; the empty slot after it ends the list

    // Batch 2 reads slots 40 to 59.
    setBatch(loadTable, 2, {"KO"});
    tabRows.count = 41;
    RtRecorder later;
    QCOMPARE(int(parse(samplePage("rt_edge.txt"), later)), int(PageEnd::EndOfList));
    QCOMPARE(later.rows.size(), 1);
    QVERIFY(later.rows[0].line.startsWith("KO "));
    QCOMPARE(tabRows.tradeDirections[41], float(RtUnchanged));
    QCOMPARE(tabRows.count, 42);
}

void TestRtPage::truncatedReplies() {
    const QByteArray page = samplePage("rt_edge.txt");
    const QList<QByteArray> symbols = {"MSFT", "XYZ", "INTC", "KO", "YHOO", "GE", "QWXYZ", "dell"};
    QList<int> ends;
    const int marker = int(page.indexOf("Symbol</th>"));
    for (int n = marker - 12; n <= marker + 12; ++n)
        ends << n;
    for (int n = 0; n < page.size(); ++n) {
        if (page[n] == '<' || page[n] == '#' || page[n] == '&' || n % 61 == 0)
            ends << n + 1;
    }
    for (int n : ends) {
        setBatch(loadTable, 0, symbols);
        tabRows.count = 0;
        loadTable.searchStart = 0;
        RtRecorder sink;
        parse(page.left(n), sink);
        QCOMPARE(sink.rows.size(), symbols.size());
        for (const RecordedRow& row : sink.rows)
            QCOMPARE(row.line.size(), RtLineLength);
        for (const QByteArray& data : sink.dataLines)
            QVERIFY(data.startsWith(' '));
        if (n <= marker + 6)
            QCOMPARE(sink.dataLines.first(), notFoundData("MSFT"));
    }
}

QTEST_GUILESS_MAIN(TestRtPage)
#include "test_rt_page.moc"
