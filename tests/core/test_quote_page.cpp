// The delayed-quote page parser, from raw replies (headers included) to the rows it
// stores, the data-file lines and the rows it hands to the window.
#include <QtTest>

#include <cstring>
#include <initializer_list>
#include <memory>
#include <utility>

#include "parsing/page_scan.h"
#include "parsing/quote_page.h"
#include "parsing/quote_table.h"
#include "support/page_fixtures.h"
#include "support/recording_sink.h"

namespace {

SymbolTable loadTable; // the load's symbols and scan state the parser works on
QuoteRows tabRows;     // the rows a tab keeps

struct RecordedRow {
    QByteArray line;
    double pct;
    int rowsLoadedWhenAppended;
};

// Records each row as the Quotes tab keeps it, and what its table held before.
class QuoteRecorder : public RecordingSink<QuotePageSink, RecordedRow> {
public:
    void appendRow(const char* line, double pct) override {
        record({QByteArray(line), pct, tabRows.count});
        storeQuoteRow(tabRows, "", line, pct); // kept in the rows, as the Quotes tab keeps it
    }
};

// Parses a copy of the reply held in a block of exactly its size (the sanitizer build
// then catches any access past it). Returns the reply as the parser left it.
QByteArray parse(const QByteArray& reply, QuoteRecorder& sink, PageEnd* end = nullptr) {
    std::unique_ptr<char[]> bytes(new char[std::max<qsizetype>(reply.size(), 1)]);
    std::memcpy(bytes.get(), reply.constData(), static_cast<size_t>(reply.size()));
    const PageEnd result = parseQuotePage(bytes.get(), static_cast<int>(reply.size()), loadTable, sink);
    if (end)
        *end = result;
    return QByteArray(bytes.get(), reply.size());
}

QByteArray notFoundLine(const char* symbol) {
    return placed(
        QuoteLineLength,
        {{0, symbol}, {8, "symbol"}, {15, "not"}, {21, "found"}, {35, "+"}, {36, "0.00"}, {45, "+0.00%"}, {55, "0"}});
}

QByteArray notFoundData(const char* symbol) {
    return QByteArray(" ") + symbol + " symbol not found 0.00 +0.00% 0 ";
}

const QByteArray msftLine = placed(QuoteLineLength, {{0, "MSFT"},
                                                     {8, "4:00PM"},
                                                     {15, "ET"},
                                                     {21, "27.50"},
                                                     {35, "+"},
                                                     {36, "0.12"},
                                                     {45, "+0.44%"},
                                                     {55, "45,123,456"}});

// The grid's cells of a row: its display line and the word line the line was made from.
QList<QByteArray> cells(const QByteArray& line, const QByteArray& words) {
    char out[7][QuoteCellTextSize];
    quoteRowCells(line.constData(), words.constData(), out);
    QList<QByteArray> list;
    for (const auto& c : out)
        list << QByteArray(c);
    return list;
}

} // namespace

class TestQuotePage : public QObject {
    Q_OBJECT

private slots:
    void init();
    void wordLine_data();
    void wordLine();
    void format_data();
    void format();
    void rowCells_data();
    void rowCells();
    void cutCellBounds();
    void edgePage();
    void storesRowsAtRowsLoaded();
    void markerSetsSearchStart();
    void chunkedBodyGivesTheSameRows();
    void pageWithoutMarker();
    void badLengthsStillGiveOneRowEach_data();
    void badLengthsStillGiveOneRowEach();
    void searchStartPastTheEnd();
    void endOfList_data();
    void endOfList();
    void laterBatch();
    void truncatedReplies();
};

void TestQuotePage::init() {
    tabRows.count = 0;
    loadTable.searchStart = 0;
    loadTable.batch = 0;
}

void TestQuotePage::wordLine_data() {
    QTest::addColumn<QByteArray>("row");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("runs collapse") << QByteArray("      MSFT     4:00PM ET    27.50")
                                   << QByteArray(" MSFT 4:00PM ET 27.50");
    QTest::newRow("cut after the eighth space")
        << QByteArray(" a  b c d e f g h   i j") << QByteArray(" a b c d e f g ");
    QTest::newRow("seven words and the rest") << QByteArray("  MSFT  symbol  not  found  0.00  +0.00%  0     x")
                                              << QByteArray(" MSFT symbol not found 0.00 +0.00% 0 ");
    QTest::newRow("blank row") << QByteArray("      ") << QByteArray(" ");
    QTest::newRow("tags read as blanks")
        << QByteArray(" MSFT</a></td><td align=\"center\">4:00PM ET</td><td><b>27.50</b></td>")
        << QByteArray(" MSFT 4:00PM ET 27.50 ");
    QTest::newRow("a tag left open blanks the rest") << QByteArray(" 27.50 <td cla") << QByteArray(" 27.50 ");
    QTest::newRow("'>' outside a tag is a character") << QByteArray("a>b<c>d") << QByteArray("a>b d");
}

void TestQuotePage::wordLine() {
    QFETCH(QByteArray, row);
    QFETCH(QByteArray, expected);
    char out[RowTextSize + 1];
    makeWordLine(row.constData(), out);
    QCOMPARE(QByteArray(out), expected);
}

void TestQuotePage::format_data() {
    QTest::addColumn<QByteArray>("words");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<double>("pct");
    QTest::newRow("MSFT") << QByteArray(" MSFT 4:00PM ET 27.50 0.12 +0.44% 45,123,456 ") << msftLine << 0.44;
    QTest::newRow("falling") << QByteArray(" INTC 4:00PM ET 21.35 0.33 -1.50% 38,221,904 ")
                             << placed(QuoteLineLength, {{0, "INTC"},
                                                         {8, "4:00PM"},
                                                         {15, "ET"},
                                                         {21, "21.35"},
                                                         {35, "-"},
                                                         {36, "0.33"},
                                                         {45, "-1.50%"},
                                                         {55, "38,221,904"}})
                             << -1.5;
    QTest::newRow("unchanged is '+'")
        << QByteArray(" GE 3:59PM ET 35.10 0.00 0.00% 1 ")
        << placed(
               QuoteLineLength,
               {{0, "GE"}, {8, "3:59PM"}, {15, "ET"}, {21, "35.10"}, {35, "+"}, {36, "0.00"}, {45, "0.00%"}, {55, "1"}})
        << 0.0;
    QTest::newRow("six characters before '%'")
        << QByteArray(" A B C D E -12.50% 7 ")
        << placed(QuoteLineLength,
                  {{0, "A"}, {8, "B"}, {15, "C"}, {21, "D"}, {35, "-"}, {36, "E"}, {45, "-12.50%"}, {55, "7"}})
        << -12.5;
    QTest::newRow("digits and a point")
        << QByteArray(" A B C D E 5.% 7 ")
        << placed(QuoteLineLength,
                  {{0, "A"}, {8, "B"}, {15, "C"}, {21, "D"}, {35, "+"}, {36, "E"}, {45, "5.%"}, {55, "7"}})
        << 5.0;
    QTest::newRow("point first")
        << QByteArray(" A B C D E -.25% 7 ")
        << placed(QuoteLineLength,
                  {{0, "A"}, {8, "B"}, {15, "C"}, {21, "D"}, {35, "-"}, {36, "E"}, {45, "-.25%"}, {55, "7"}})
        << -0.25;
    QTest::newRow("not a number")
        << QByteArray(" A B C D E N/A 7 ")
        << placed(QuoteLineLength,
                  {{0, "A"}, {8, "B"}, {15, "C"}, {21, "D"}, {35, "+"}, {36, "E"}, {45, "N/A"}, {55, "7"}})
        << 0.0;
    QTest::newRow("no sixth word") << QByteArray(" A B C D E ")
                                   << placed(QuoteLineLength,
                                             {{0, "A"}, {8, "B"}, {15, "C"}, {21, "D"}, {35, "+"}, {36, "E"}})
                                   << 0.0;
    QTest::newRow("last word without its space")
        << QByteArray(" A B C D E -2.5% 7")
        << placed(QuoteLineLength,
                  {{0, "A"}, {8, "B"}, {15, "C"}, {21, "D"}, {35, "-"}, {36, "E"}, {45, "-2.5%"}, {55, "7"}})
        << -2.5;
    QTest::newRow("empty word line") << QByteArray() << placed(QuoteLineLength, {}) << 0.0;
    QTest::newRow("no words") << QByteArray(" ") << placed(QuoteLineLength, {}) << 0.0;
    QTest::newRow("long last word cut at 78") << QByteArray(" A B C D E +1.00% 123456789012345678901234567890 ")
                                              << placed(QuoteLineLength, {{0, "A"},
                                                                          {8, "B"},
                                                                          {15, "C"},
                                                                          {21, "D"},
                                                                          {35, "+"},
                                                                          {36, "E"},
                                                                          {45, "+1.00%"},
                                                                          {55, "123456789012345678901234"}})
                                              << 1.0;
    QTest::newRow("long word runs on, the next word takes its field")
        << QByteArray(" A 12:30:45PM ET D E +1.00% 7 ")
        << placed(QuoteLineLength,
                  {{0, "A"}, {8, "12:30:4"}, {15, "ET"}, {21, "D"}, {35, "+"}, {36, "E"}, {45, "+1.00%"}, {55, "7"}})
        << 1.0;
    QTest::newRow("only indices up to 80 are read")
        << " " + QByteArray(85, 'W') + " B C D E +1.00% 7 " << QByteArray(35, 'W') + '+' + QByteArray(43, 'W') << 0.0;
}

void TestQuotePage::format() {
    QFETCH(QByteArray, words);
    QFETCH(QByteArray, line);
    QFETCH(double, pct);
    char out[QuoteLineSize];
    QCOMPARE(formatQuoteLine(words.constData(), out), pct);
    QCOMPARE(QByteArray(out), line);
    QCOMPARE(int(std::strlen(out)), QuoteLineLength);
}

// Values that fit keep the designed cuts; the others show whole after the cut's indent, or "###".
void TestQuotePage::rowCells_data() {
    QTest::addColumn<QByteArray>("words");
    QTest::addColumn<QList<QByteArray>>("cells");
    QTest::newRow("MSFT") << QByteArray(" MSFT 4:00PM ET 27.50 0.12 +0.44% 45,123,456 ")
                          << QList<QByteArray>{"MSFT   ",    " 4:00PM ET", " 27.50      ",  "",
                                               "   +0.12  ", "  +0.44%  ", " 45,123,456   "};
    QTest::newRow("not found") << notFoundData("IBM")
                               << QList<QByteArray>{"IBM    ",    " symbol not", " found      ",  "",
                                                    "   +0.00  ", "  +0.00%  ",  " 0            "};
    QTest::newRow("six figures, the change's tail kept out of the percent")
        << QByteArray(" BIG 11:30AM ET 712,345.67 1,234.56 -0.17% 99,999,999,999 ")
        << QList<QByteArray>{"BIG    ",      " 11:30AM ET", " 712,345.67 ",   "",
                             "   -1,234.56", "  -0.17%  ",  " 99,999,999,999"};
    QTest::newRow("a 4000-digit price") << " X 4:00PM ET " + QByteArray(4000, '9') + " 0.12 +0.44% 1 "
                                        << QList<QByteArray>{"X      ",    " 4:00PM ET", "###",           "",
                                                             "   +      ", "          ", "              "};
}

void TestQuotePage::rowCells() {
    QFETCH(QByteArray, words);
    QFETCH(QList<QByteArray>, cells);
    char line[QuoteLineSize];
    formatQuoteLine(words.constData(), line);
    QCOMPARE(::cells(line, words), cells);
    // The table keeps the start of the word line, which gives the same cells after a sort.
    QCOMPARE(::cells(line, words.left(QuoteWordLineKept)), cells);
}

void TestQuotePage::cutCellBounds() {
    char out[32];
    cutCell("abcdef", CellCut{0, 3}, out);
    QCOMPARE(QByteArray(out), QByteArray("abc"));
    cutCell("abcdef", CellCut{1, 3}, out);
    QCOMPARE(QByteArray(out), QByteArray("abc"));
    cutCell("abcdef", CellCut{5, 10}, out);
    QCOMPARE(QByteArray(out), QByteArray("ef"));
    cutCell("abcdef", CellCut{9, 10}, out);
    QCOMPARE(QByteArray(out), QByteArray());
}

void TestQuotePage::edgePage() {
    // The page holds MSFT, INTC, GE, F, AAPL (time cell only ET), CSCO (empty time cell)
    // and DELL; IBM and QWXYZ are unknown to it.
    setBatch(loadTable, 0, {"MSFT", "IBM", "INTC", "GE", "F", "AAPL", "CSCO", "QWXYZ", "dell"});
    QuoteRecorder sink;
    PageEnd end = PageEnd::EndOfList;
    parse(samplePage("delayed_edge.html"), sink, &end);
    QCOMPARE(int(end), int(PageEnd::EndOfList)); // the batch's tenth slot is empty

    const QList<QByteArray> data = {
        " MSFT 4:00PM ET 27.50 0.12 +0.44% 45,123,456 ",  notFoundData("IBM"),
        " INTC 4:00PM ET 21.35 0.33 -1.50% 38,221,904 ",  " GE 3:59PM ET 35.10 0.00 0.00% 12,345,678 ",
        " F 4:00PM ET 8.05 0.02 +0.25% 5,432,100 ",       " AAPL Unknown ET 88.20 1.05 +1.20% 23,456,789 ",
        " CSCO Unknown ET 19.80 0.10 -0.50% 31,000,200 ", notFoundData("QWXYZ"),
        " DELL 4:00PM ET 14.75 0.05 +0.34% 9,876,543 ",
    };
    QCOMPARE(sink.dataLines, data);
    QCOMPARE(sink.order, QByteArray("DRDRDRDRDRDRDRDRDR"));

    const QList<QByteArray> lines = {
        msftLine,
        notFoundLine("IBM"),
        placed(QuoteLineLength, {{0, "INTC"},
                                 {8, "4:00PM"},
                                 {15, "ET"},
                                 {21, "21.35"},
                                 {35, "-"},
                                 {36, "0.33"},
                                 {45, "-1.50%"},
                                 {55, "38,221,904"}}),
        placed(QuoteLineLength, {{0, "GE"},
                                 {8, "3:59PM"},
                                 {15, "ET"},
                                 {21, "35.10"},
                                 {35, "+"},
                                 {36, "0.00"},
                                 {45, "0.00%"},
                                 {55, "12,345,678"}}),
        placed(QuoteLineLength, {{0, "F"},
                                 {8, "4:00PM"},
                                 {15, "ET"},
                                 {21, "8.05"},
                                 {35, "+"},
                                 {36, "0.02"},
                                 {45, "+0.25%"},
                                 {55, "5,432,100"}}),
        placed(QuoteLineLength, {{0, "AAPL"},
                                 {8, "Unknown"},
                                 {15, "ET"},
                                 {21, "88.20"},
                                 {35, "+"},
                                 {36, "1.05"},
                                 {45, "+1.20%"},
                                 {55, "23,456,789"}}),
        placed(QuoteLineLength, {{0, "CSCO"},
                                 {8, "Unknown"},
                                 {15, "ET"},
                                 {21, "19.80"},
                                 {35, "-"},
                                 {36, "0.10"},
                                 {45, "-0.50%"},
                                 {55, "31,000,200"}}),
        notFoundLine("QWXYZ"),
        placed(QuoteLineLength, {{0, "DELL"},
                                 {8, "4:00PM"},
                                 {15, "ET"},
                                 {21, "14.75"},
                                 {35, "+"},
                                 {36, "0.05"},
                                 {45, "+0.34%"},
                                 {55, "9,876,543"}}),
    };
    const QList<double> pcts = {0.44, 0.0, -1.5, 0.0, 0.25, 1.2, -0.5, 0.0, 0.34};
    QCOMPARE(sink.rows.size(), lines.size());
    for (int i = 0; i < lines.size(); ++i) {
        QCOMPARE(sink.rows[i].line, lines[i]);
        QCOMPARE(sink.rows[i].pct, pcts[i]);
        QCOMPARE(QByteArray(tabRows.lines[i]), lines[i]);
        QCOMPARE(tabRows.pctChanges[i], float(pcts[i]));
    }
    QCOMPARE(tabRows.count, 9);

    // Unknown fills the time field and the line runs it into the zone; the grid's cell keeps the blank.
    QCOMPARE(cells(lines[5], data[5])[1], QByteArray(" Unknown ET"));
}

void TestQuotePage::storesRowsAtRowsLoaded() {
    // Rows are appended before they are stored, and stored at the rows count.
    setBatch(loadTable, 0, {"MSFT", "IBM"});
    tabRows.count = 7;
    std::strcpy(tabRows.lines[9], "older row");
    tabRows.pctChanges[9] = 3.5f;
    QuoteRecorder sink;
    parse(samplePage("delayed_edge.html"), sink);
    QCOMPARE(sink.rows.size(), 2);
    QCOMPARE(sink.rows[0].rowsLoadedWhenAppended, 7);
    QCOMPARE(sink.rows[1].rowsLoadedWhenAppended, 8);
    QCOMPARE(QByteArray(tabRows.lines[7]), msftLine);
    QCOMPARE(QByteArray(tabRows.lines[8]), notFoundLine("IBM"));
    QCOMPARE(QByteArray(tabRows.lines[9]), QByteArray("older row")); // later rows keep what they held
    QCOMPARE(tabRows.pctChanges[9], 3.5f);
    QCOMPARE(tabRows.count, 9);
}

void TestQuotePage::markerSetsSearchStart() {
    // An absent symbol moves the search 100 bytes on from where the marker put it.
    const QByteArray page = samplePage("delayed_edge.html");
    setBatch(loadTable, 0, {"IBM", "ZZZZ"});
    loadTable.searchStart = 123456;
    QuoteRecorder sink;
    parse(page, sink);
    QCOMPARE(loadTable.searchStart, int(page.indexOf("<th>Symbol</th>")) + 4 + 100 + 200);

    // The marker search lower-cases the reply in place, up to the marker.
    const QByteArray after = parse(page, sink);
    const qsizetype marker = page.indexOf("<th>Symbol</th>") + 4;
    QCOMPARE(after.left(marker + 5), page.left(marker + 5).toLower());
    QCOMPARE(after.mid(marker + 5), page.mid(marker + 5));
}

void TestQuotePage::chunkedBodyGivesTheSameRows() {
    const QList<QByteArray> symbols = {"MSFT", "INTC", "GE",  "F", "AAPL", "CSCO", "DELL", "ORCL", "IBM", "KO",
                                       "PEP",  "XOM",  "WMT", "T", "HD",   "MMM",  "JNJ",  "PFE",  "MRK", "BA"};
    setBatch(loadTable, 0, symbols);
    QuoteRecorder plain;
    PageEnd end = PageEnd::EndOfList;
    parse(samplePage("delayed_20.html"), plain, &end);
    QCOMPARE(int(end), int(PageEnd::BatchDone));

    const QByteArray chunkedPage = samplePage("delayed_20_chunked.html");
    QVERIFY(chunkedPage.contains("Transfer-Encoding: chunked"));
    tabRows.count = 0;
    QuoteRecorder chunked;
    parse(chunkedPage, chunked);

    QCOMPARE(plain.rows.size(), 20);
    QCOMPARE(chunked.dataLines, plain.dataLines);
    for (int i = 0; i < 20; ++i) {
        QVERIFY2(plain.dataLines[i].startsWith(" " + symbols[i] + " "), plain.dataLines[i].constData());
        QVERIFY2(!plain.dataLines[i].contains("not found"), plain.dataLines[i].constData());
        QCOMPARE(chunked.rows[i].line, plain.rows[i].line);
        QCOMPARE(chunked.rows[i].pct, plain.rows[i].pct);
    }
    QCOMPARE(plain.dataLines[19], QByteArray(" BA 4:00PM ET 66.60 1.60 -2.35% 3,456,789 "));
}

void TestQuotePage::pageWithoutMarker() {
    // Searched from the previous start; the marker search has lower-cased the whole
    // reply, so the upper-case patterns find nothing on it.
    setBatch(loadTable, 0, {"MSFT", "IBM"});
    loadTable.searchStart = 37;
    QuoteRecorder sink;
    const QByteArray after = parse(samplePage("delayed_nomarker.html"), sink);
    QCOMPARE(after, samplePage("delayed_nomarker.html").toLower());
    QCOMPARE(sink.dataLines, QList<QByteArray>({notFoundData("MSFT"), notFoundData("IBM")}));
    QCOMPARE(loadTable.searchStart, 37 + 200);
}

void TestQuotePage::badLengthsStillGiveOneRowEach_data() {
    QTest::addColumn<QByteArray>("second");
    QTest::addColumn<int>("length");
    QTest::addColumn<QByteArray>("shown");
    QTest::newRow("six letters") << QByteArray("GOOGLE") << 6 << QByteArray("GOOGLE");
    QTest::newRow("overlong portfolio line") << QByteArray("abcde~") << 12 << QByteArray("ABCDE~");
    QTest::newRow("length 0") << QByteArray("IBM") << 0 << QByteArray("IBM");
}

void TestQuotePage::badLengthsStillGiveOneRowEach() {
    QFETCH(QByteArray, second);
    QFETCH(int, length);
    QFETCH(QByteArray, shown);
    setBatch(loadTable, 0, {"MSFT", second, "INTC"}, {4, length, 4});
    QuoteRecorder sink;
    parse(samplePage("delayed_edge.html"), sink);
    QCOMPARE(sink.dataLines,
             QList<QByteArray>({" MSFT 4:00PM ET 27.50 0.12 +0.44% 45,123,456 ", notFoundData(shown.constData()),
                                " INTC 4:00PM ET 21.35 0.33 -1.50% 38,221,904 "}));
    QCOMPARE(tabRows.count, 3);
    QCOMPARE(QByteArray(tabRows.lines[1]), notFoundLine(shown.constData()));
    QVERIFY(QByteArray(tabRows.lines[2]).startsWith("INTC "));
    QCOMPARE(tabRows.pctChanges[2], -1.5f);
}

void TestQuotePage::searchStartPastTheEnd() {
    const QByteArray page = samplePage("delayed_nomarker.html");
    setBatch(loadTable, 0, {"MSFT", "GE"});
    loadTable.searchStart = int(page.size()) + 1000;
    QuoteRecorder sink;
    parse(page, sink);
    QCOMPARE(sink.dataLines, QList<QByteArray>({notFoundData("MSFT"), notFoundData("GE")}));
    QCOMPARE(loadTable.searchStart, int(page.size()) + 1200);

    // A marker whose search start lies past the reply's end leaves the window empty too.
    const QByteArray cut = page.left(page.indexOf("<th>Ticker")) + "<th>Symbol<";
    tabRows.count = 0;
    QuoteRecorder shortSink;
    parse(cut, shortSink);
    QCOMPARE(shortSink.dataLines, QList<QByteArray>({notFoundData("MSFT"), notFoundData("GE")}));
    QCOMPARE(loadTable.searchStart, int(cut.size()) - 7 + 100 + 200);
}

void TestQuotePage::endOfList_data() {
    QTest::addColumn<QByteArray>("ending");
    QTest::addColumn<int>("rows");
    QTest::newRow("empty slot") << QByteArray() << 1;
    QTest::newRow("slot starting with 0xFF is a symbol") << QByteArray("\xff"
                                                                       "AB")
                                                         << 3;
}

void TestQuotePage::endOfList() {
    QFETCH(QByteArray, ending);
    QFETCH(int, rows);
    setBatch(loadTable, 0, {"MSFT", ending, "INTC"});
    QuoteRecorder sink;
    PageEnd end = PageEnd::BatchDone;
    parse(samplePage("delayed_edge.html"), sink, &end);
    QCOMPARE(int(end), int(PageEnd::EndOfList));
    QCOMPARE(sink.rows.size(), rows);
    QCOMPARE(tabRows.count, rows);
}

void TestQuotePage::laterBatch() {
    setBatch(loadTable, 0, {"IBM"});
    setBatch(loadTable, 1, {"GE", "F"});
    tabRows.count = 20;
    QuoteRecorder sink;
    parse(samplePage("delayed_edge.html"), sink);
    QCOMPARE(sink.dataLines, QList<QByteArray>({" GE 3:59PM ET 35.10 0.00 0.00% 12,345,678 ",
                                                " F 4:00PM ET 8.05 0.02 +0.25% 5,432,100 "}));
    QVERIFY(QByteArray(tabRows.lines[21]).startsWith("F "));
    QCOMPARE(tabRows.count, 22);
}

void TestQuotePage::truncatedReplies() {
    // Replies that end anywhere near the marker, right after every '<' and at many other
    // places: every symbol still gets exactly one well-formed row.
    const QByteArray page = samplePage("delayed_edge.html");
    const QList<QByteArray> symbols = {"MSFT", "IBM", "INTC", "GE", "F", "AAPL", "CSCO", "QWXYZ", "dell"};
    QList<int> ends;
    const int marker = int(page.indexOf("Symbol</th>"));
    for (int n = marker - 12; n <= marker + 12; ++n)
        ends << n;
    for (int n = 0; n < page.size(); ++n) {
        if (page[n] == '<' || n % 61 == 0)
            ends << n + 1;
    }
    for (int n : ends) {
        setBatch(loadTable, 0, symbols);
        tabRows.count = 0;
        loadTable.searchStart = 0;
        QuoteRecorder sink;
        parse(page.left(n), sink);
        QCOMPARE(sink.rows.size(), symbols.size());
        for (int i = 0; i < symbols.size(); ++i) {
            QCOMPARE(sink.rows[i].line.size(), QuoteLineLength);
            QVERIFY(sink.dataLines[i].startsWith(' '));
            QVERIFY(sink.dataLines[i].count(' ') <= 8);
        }
        if (n <= marker + 6) // no '<' after "Symbol" yet: no marker, nothing found
            QCOMPARE(sink.dataLines.first(), notFoundData("MSFT"));
    }
}

QTEST_GUILESS_MAIN(TestQuotePage)
#include "test_quote_page.moc"
