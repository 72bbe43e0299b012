// Both page parsers against their plain versions (reference_page_parsers.cpp): the sample
// pages from many search starts and cut at many places, then thousands of generated pages
// built from real page pieces, markers, symbol patterns, tags, line breaks, chunk framing,
// stray bytes and truncations. Every sink call (with the table state at that moment), the
// page end, the reply as left and the whole table state afterwards must match byte for byte.
#include <QtTest>

#include <climits>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <vector>

#include "parsing/page_scan.h"
#include "parsing/quote_page.h"
#include "parsing/rt_page.h"
#include "reference_page_parsers.h"
#include "support/page_fixtures.h"

namespace {

constexpr std::uint32_t Seed = 0x7157c0de;
constexpr int RandomLoads = 1000; // for each parser
constexpr int BatchesPerLoad = 3; // each with a reply of its own

QByteArray bitsOf(double value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return QByteArray::number(static_cast<qulonglong>(bits), 16);
}

// Printable view of bytes for a failure message.
QByteArray shown(const QByteArray& bytes, int limit = 400) {
    QByteArray out;
    for (const char c : bytes.left(limit)) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 32 && u <= 126 && c != '\\')
            out += c;
        else
            out += "\\x" + QByteArray::number(u, 16).rightJustified(2, '0');
    }
    if (bytes.size() > limit)
        out += "...";
    return out;
}

// ---- What one parse did ----------------------------------------------------------------

// The table a parser writes, as one block of bytes that can be saved, restored and compared.
struct StateRegion {
    const char* name;
    void* data;
    std::size_t size;
};

void saveState(const QList<StateRegion>& regions, std::vector<char>& bytes) {
    bytes.clear();
    for (const StateRegion& r : regions)
        bytes.insert(bytes.end(), static_cast<const char*>(r.data), static_cast<const char*>(r.data) + r.size);
}

void restoreState(const QList<StateRegion>& regions, const std::vector<char>& bytes) {
    std::size_t at = 0;
    for (const StateRegion& r : regions) {
        std::memcpy(r.data, bytes.data() + at, r.size);
        at += r.size;
    }
}

// Names the region and offset of the first byte where the saved state and the present one differ.
QByteArray stateDifference(const QList<StateRegion>& regions, const std::vector<char>& saved) {
    std::size_t at = 0;
    for (const StateRegion& r : regions) {
        const char* now = static_cast<const char*>(r.data);
        if (std::memcmp(saved.data() + at, now, r.size) != 0) {
            std::size_t i = 0;
            while (saved[at + i] == now[i])
                ++i;
            return QByteArray(r.name) + " byte " + QByteArray::number(qulonglong(i));
        }
        at += r.size;
    }
    return {};
}

// The load's tables the parsers work on.
SymbolTable quoteTable;
SymbolTable rtTable;

const QList<StateRegion> quoteState = {{"quote table", &quoteTable, sizeof quoteTable}};
const QList<StateRegion> rtState = {{"real-time table", &rtTable, sizeof rtTable}};

QByteArray tableMoment(const SymbolTable& table) {
    return " rowsLoaded=" + QByteArray::number(table.rowsLoaded) +
           " searchStart=" + QByteArray::number(table.searchStart);
}

// Every call with its arguments and the table as the parser had it at that moment.
class QuoteRecorder : public QuotePageSink {
public:
    QList<QByteArray> calls;
    void writeDataLine(const char* wordLine) override {
        calls << "data [" + QByteArray(wordLine) + "]" + tableMoment(quoteTable);
    }
    void symbolNotFound() override { calls << "not found" + tableMoment(quoteTable); }
    void appendRow(const char* line, double pct) override {
        calls << "row [" + QByteArray(line) + "] pct=" + bitsOf(pct) + tableMoment(quoteTable);
    }
};

class RtRecorder : public RtPageSink {
public:
    QList<QByteArray> calls;
    void writeDataLine(const char* squeezed) override {
        calls << "data [" + QByteArray(squeezed) + "]" + tableMoment(rtTable);
    }
    void symbolNotFound() override { calls << "not found" + tableMoment(rtTable); }
    void appendRow(const char* line, double trade, double afterHours) override {
        calls << "row [" + QByteArray(line) + "] trade=" + bitsOf(trade) + " afterHours=" + bitsOf(afterHours) +
                     tableMoment(rtTable);
    }
};

struct Outcome {
    int end = -1;
    QList<QByteArray> calls;
    QByteArray reply; // as the parser left it
};

// One parse of a copy of the reply held in a block of exactly its size.
template <typename Recorder, typename Parse>
Outcome runParser(const QByteArray& reply, SymbolTable& table, Parse parse) {
    std::unique_ptr<char[]> bytes(new char[std::max<qsizetype>(reply.size(), 1)]);
    std::memcpy(bytes.get(), reply.constData(), static_cast<size_t>(reply.size()));
    Recorder recorder;
    Outcome out;
    out.end = int(parse(bytes.get(), static_cast<int>(reply.size()), table, recorder));
    out.calls = recorder.calls;
    out.reply = QByteArray(bytes.get(), reply.size());
    return out;
}

// What differs first between the two outcomes, or nothing; the state the reference left is
// the present one, the parser's was saved.
QByteArray firstDifference(const Outcome& fast, const Outcome& plain, const QList<StateRegion>& regions,
                           const std::vector<char>& fastState) {
    const qsizetype common = std::min(fast.calls.size(), plain.calls.size());
    for (qsizetype i = 0; i < common; ++i) {
        if (fast.calls[i] != plain.calls[i])
            return "sink call " + QByteArray::number(i) + ":\n  parser:    " + shown(fast.calls[i]) +
                   "\n  reference: " + shown(plain.calls[i]);
    }
    if (fast.calls.size() != plain.calls.size())
        return "sink calls: " + QByteArray::number(fast.calls.size()) + " against " +
               QByteArray::number(plain.calls.size());
    if (fast.end != plain.end)
        return "page end " + QByteArray::number(fast.end) + " against " + QByteArray::number(plain.end);
    if (fast.reply != plain.reply)
        return "reply left differently";
    const QByteArray state = stateDifference(regions, fastState);
    if (!state.isEmpty())
        return "state after the parse: " + state;
    return {};
}

// ---- Pages ------------------------------------------------------------------------------

const char* const DelayedSamples[] = {"delayed_20.html", "delayed_20_chunked.html", "delayed_edge.html",
                                      "delayed_nomarker.html"};
const char* const RtSamples[] = {"rt_20.txt", "rt_20_chunked.txt", "rt_edge.txt"};

const QList<QByteArray> TwentySymbols = {"MSFT", "INTC", "GE",  "F", "AAPL", "CSCO", "DELL", "ORCL", "IBM", "KO",
                                         "PEP",  "XOM",  "WMT", "T", "HD",   "MMM",  "JNJ",  "PFE",  "MRK", "BA"};
const QList<QByteArray> EdgeSymbols = {"MSFT", "IBM", "INTC", "GE",   "F",     "AAPL",
                                       "CSCO", "XYZ", "KO",   "YHOO", "QWXYZ", "dell"};

// Symbols of the generated portfolios: the sample pages' own, case variants, one- and
// two-letter ones that hide inside others, odd bytes that meet the patterns' own '>' and '"'.
const QList<QByteArray> SymbolPool = {"MSFT", "INTC", "GE",  "F",    "AAPL", "CSCO",   "DELL",  "IBM",
                                      "KO",   "T",    "HD",  "BA",   "YHOO", "QWXYZ",  "GOOGL", "A",
                                      "AB",   "msft", "ibm", "Dell", ">AB",  "A>",     "X\"",   "ER",
                                      "TD",   "ET",   "C",   "S",    "P",    "GOOGLE", "AGOOGL"};

class PageMaker {
public:
    explicit PageMaker(std::uint32_t seed) : rng_(seed) {
        for (const char* name : DelayedSamples)
            samples_ << samplePage(name);
        for (const char* name : RtSamples)
            samples_ << samplePage(name);
    }

    int below(int n) { return n <= 0 ? 0 : static_cast<int>(rng_() % static_cast<std::uint32_t>(n)); }
    bool chance(int percent) { return below(100) < percent; }
    template <typename T> const T& pick(const QList<T>& list) { return list[below(int(list.size()))]; }

    // A portfolio batch: mostly pool symbols, some random ones; lengths mostly right.
    QList<QByteArray> symbols() {
        QList<QByteArray> list;
        for (int i = 0; i < SymbolsPerBatch; ++i) {
            if (chance(92)) {
                list << pick(SymbolPool);
            } else {
                QByteArray s;
                const int n = 1 + below(6);
                for (int c = 0; c < n; ++c)
                    s += char(chance(80) ? 'A' + below(26) : 33 + below(94));
                list << s;
            }
        }
        return list;
    }

    int lengthFor(const QByteArray& symbol) {
        if (chance(92))
            return int(std::min<qsizetype>(symbol.size(), SymbolSlotSize - 1));
        const int odd[] = {0, -1, 1, 2, 5, 6, 7, 12, 100};
        return odd[below(9)];
    }

    // A whole reply for the symbols, as a quote server might send it, then damaged.
    QByteArray page(const QList<QByteArray>& symbols, bool realTime) {
        QByteArray body;
        if (chance(4))
            body += sampleSlice();
        body += "<html><body>\n<table class=\"quotes\">\n";
        body += marker();
        body += lineBreak();
        const int rows = chance(75) ? SymbolsPerBatch + below(3) : below(26);
        int next = 0;
        for (int r = 0; r < rows; ++r) {
            // In portfolio order, now and then skipping, repeating or after a stranger's row.
            if (chance(7))
                body += row(pick(SymbolPool), realTime) + lineBreak();
            if (chance(5))
                next += 1 + below(3);
            const QByteArray symbol =
                symbols.isEmpty() ? pick(SymbolPool) : symbols[std::min<int>(next, int(symbols.size()) - 1)];
            if (!chance(5))
                ++next;
            body += row(symbol, realTime);
            body += lineBreak();
            if (chance(3))
                body += sampleSlice();
        }
        body += "</table></body></html>\n";

        QByteArray reply = "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=ISO-8859-1\r\n";
        if (chance(30)) {
            reply += "Transfer-Encoding: chunked\r\n\r\n" + chunked(body);
        } else {
            reply += "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
        }
        return damaged(reply);
    }

private:
    std::mt19937 rng_;
    QList<QByteArray> samples_;

    QByteArray sampleSlice() {
        const QByteArray& sample = pick(samples_);
        const int from = below(int(sample.size()));
        return sample.mid(from, 1 + below(1500));
    }

    QByteArray marker() {
        static const QList<QByteArray> markers = {
            "<tr><th>Symbol</th><th>Time</th>",
            "<TR><TH>SYMBOL</TH>",
            "<td>Columns:<b>",
            "<th>Sym123<",
            "<tr><th>Symbols</th>",
            "xcolum---<",
            "<th>Sym",
            "",
        };
        return chance(85) ? markers[below(4)] : pick(markers);
    }

    // Line ends, blank lines and chunk-size lines as the skip rules meet them, and stray bytes.
    QByteArray lineBreak() {
        static const QList<QByteArray> breaks = {
            "\n",           "\r\n",  "\r\n\r\n", "",     "\r\n1a3\r\n", "\r\n1f\r\n", "\r\n5\r\n", "\r\n2a3\r\n",
            "\r\n1abc\r\n", "\nX\n", "\t",       "\x7f", "\n1",         "\r\n1\r\n",  "\xe9",      "\r\n1ab\r\n",
        };
        return chance(60) ? QByteArray(chance(50) ? "\n" : "\r\n") : pick(breaks);
    }

    QByteArray spaces() { return QByteArray(1 + below(8), ' '); }

    QByteArray link(const QByteArray& symbol) {
        const QByteArray shownSymbol = chance(95) ? symbol.toUpper() : symbol.toLower();
        switch (below(6)) {
        case 0:
            return "<td class=\"s\"><b>" + shownSymbol + "</b></td>";
        case 1:
            return "<td>" + shownSymbol + "</td>";
        case 2:
            return "<a href=\"/q?s=" + shownSymbol + "\">" + shownSymbol + spaces() + "</a>";
        default:
            return "<td class=\"s\"><a href=\"/q?s=" + shownSymbol + "\">" + shownSymbol + "</a></td>";
        }
    }

    QByteArray number() {
        return QByteArray::number(below(200)) + "." + QByteArray::number(below(100)).rightJustified(2, '0');
    }

    QByteArray colourCode() {
        // Also codes that overlap: the next one starts inside the first.
        static const QList<QByteArray> codes = {"#008800", "#cc0000",    "#000000",    "#CC0000",   "#00880O",
                                                "#00000",  "cc00008800", "0088008800", "#000008800"};
        return chance(85) ? codes[below(3)] : pick(codes);
    }

    QByteArray row(const QByteArray& symbol, bool realTime) {
        static const QList<QByteArray> times = {
            "<td align=\"center\">4:00PM ET</td>", "<td align=\"center\"></td>", "<td align=\"center\">ET</td>",
            "<td align=\"CENTER\"></td>",          "<td align=\"center\">ET",    "<td>12:30:45PM ET</td>",
        };
        QByteArray r = "<tr class=\"q\">" + link(symbol);
        r += chance(60) ? times[0] : pick(times);
        r += "<td class=\"p\"><b>" + number() + "</b></td>";
        if (realTime) {
            if (chance(10)) {
                r += "<td class=\"n\" colspan=\"6\">Real-time data no longer available for this symbol</td>";
            } else {
                r += "<td class=\"c\"><font color=\"" + colourCode() + "\">" + number() + " (" + number() +
                     "%)</font></td>";
                r += "<td class=\"c\"><font color=\"" + colourCode() + "\">" + (chance(30) ? "N/A" : number()) +
                     "</font></td>";
                r += "<td class=\"b\">" + number() + (chance(20) ? "&nbsp;" : "</td><td class=\"b\">") + number() +
                     "</td>";
            }
        } else {
            r += "<td class=\"c\"><img src=\"/i/up_g.gif\" alt=\"Up\" border=\"0\"> " + number() + "</td>";
            r += "<td class=\"c\">" + QByteArray(chance(50) ? "+" : "-") + number() + "%</td>";
            r += "<td class=\"v\">" + QByteArray::number(below(100000000)) + "</td>";
        }
        if (chance(20))
            r += "<td>" + spaces() + number() + spaces() + number() + spaces() + "</td>";
        if (chance(5))
            r += "<td cla"; // a tag left open
        r += "<td class=\"l\" data-pad=\"" + QByteArray(below(chance(8) ? 6000 : 300), '-') +
             "\"><a href=\"/q/bc?s=" + symbol + "&amp;t=1y\">Chart</a>, <a href=\"/q/h?s=" + symbol +
             "&amp;r=n\">News</a></td></tr>";
        return r;
    }

    // HTTP/1.1 chunk framing, with chunk sizes written as the server writes them.
    QByteArray chunked(const QByteArray& body) {
        QByteArray out;
        for (qsizetype at = 0; at < body.size();) {
            const qsizetype size = std::min<qsizetype>(body.size() - at, 1 + below(chance(50) ? 600 : 5000));
            out += QByteArray::number(qulonglong(size), 16) + "\r\n" + body.mid(at, size) + "\r\n";
            at += size;
        }
        return out + "0\r\n\r\n";
    }

    // Line breaks and stray bytes put anywhere, bytes changed, the reply cut short.
    QByteArray damaged(QByteArray reply) {
        const int breaks = chance(10) ? below(600) : chance(25) ? below(80) : below(4);
        for (int i = 0; i < breaks; ++i)
            reply.insert(below(int(reply.size()) + 1), lineBreak());
        const int changes = chance(30) ? below(10) : 0;
        for (int i = 0; i < changes && !reply.isEmpty(); ++i)
            reply[below(int(reply.size()))] = char(below(256));
        if (chance(25))
            reply.truncate(chance(50) ? below(int(reply.size()) + 1) : endAfterSomePattern(reply));
        return reply;
    }

    // A length that ends the reply just after a piece the rules look for (a cell, a tag, a
    // colour code), so that the pieces also meet the end of a window or a row text.
    int endAfterSomePattern(const QByteArray& reply) {
        static const QList<QByteArray> pieces = {"ter\"></td", "ter\">ET</", "\">",    "</td>", "<",  "008800",
                                                 "cc0000",     "#00000",     "&nbsp;", "%",     "   "};
        const QByteArray& piece = pick(pieces);
        const qsizetype at = reply.indexOf(piece, below(int(reply.size()) + 1));
        return at < 0 ? int(reply.size()) : int(at + piece.size()) - below(2);
    }
};

} // namespace

class TestParserDifferential : public QObject {
    Q_OBJECT

private slots:
    void init();
    void samplePagesDelayed();
    void samplePagesRealTime();
    void generatedPagesDelayed();
    void generatedPagesRealTime();
    void cleanupTestCase();

private:
    // Parses the reply from the current state with both versions; false (and the message)
    // on the first difference. The state is left as both left it.
    bool compareDelayed(const QByteArray& reply, QByteArray* message);
    bool compareRealTime(const QByteArray& reply, QByteArray* message);
    void tally(const Outcome& outcome, const QByteArray& reply);
    bool sampleRuns(const char* const* names, int count, bool realTime);
    bool generatedRuns(bool realTime);

    std::vector<char> before_; // the tables before a parse
    std::vector<char> after_;  // and after the parser's
    int comparedParses_ = 0;
    int comparedPages_ = 0;
    int foundRows_ = 0;
    int notFoundRows_ = 0;
    int startsAtBreaks_ = 0;
};

void TestParserDifferential::init() {
    std::memset(&quoteTable, 0, sizeof quoteTable);
    std::memset(&rtTable, 0, sizeof rtTable);
}

bool TestParserDifferential::compareDelayed(const QByteArray& reply, QByteArray* message) {
    saveState(quoteState, before_);
    const Outcome fast = runParser<QuoteRecorder>(reply, quoteTable, parseQuotePage);
    saveState(quoteState, after_);
    restoreState(quoteState, before_);
    const Outcome plain = runParser<QuoteRecorder>(reply, quoteTable, reference::parseQuotePage);
    ++comparedParses_;
    *message = firstDifference(fast, plain, quoteState, after_);
    tally(plain, reply);
    return message->isEmpty();
}

bool TestParserDifferential::compareRealTime(const QByteArray& reply, QByteArray* message) {
    saveState(rtState, before_);
    const Outcome fast = runParser<RtRecorder>(reply, rtTable, parseRtPage);
    saveState(rtState, after_);
    restoreState(rtState, before_);
    const Outcome plain = runParser<RtRecorder>(reply, rtTable, reference::parseRtPage);
    ++comparedParses_;
    *message = firstDifference(fast, plain, rtState, after_);
    tally(plain, reply);
    return message->isEmpty();
}

// Counts what the comparisons covered: rows found and not found, and windows that start on
// or just after a byte the skip rules drop.
void TestParserDifferential::tally(const Outcome& outcome, const QByteArray& reply) {
    for (const QByteArray& call : outcome.calls) {
        if (!call.startsWith("data "))
            continue;
        if (call.contains("symbol not found"))
            ++notFoundRows_;
        else
            ++foundRows_;
        const qsizetype at = call.lastIndexOf(" searchStart=");
        const int start = call.mid(at + 13).toInt();
        for (int p = start; p >= 0 && p > start - 6 && p < reply.size(); --p) {
            const auto c = static_cast<unsigned char>(reply[p]);
            if (c < 32 || c > 126) {
                ++startsAtBreaks_;
                break;
            }
        }
    }
}

bool TestParserDifferential::sampleRuns(const char* const* names, int count, bool realTime) {
    for (int s = 0; s < count; ++s) {
        const QByteArray page = samplePage(names[s]);
        // Whole pages from the start and from many other starts (the marker resets them).
        QList<int> cuts = {int(page.size())};
        for (int n = 0; n < page.size(); ++n) {
            if (page[n] == '\n' || page[n] == '\r' || n % 89 == 0)
                cuts << n + 1;
        }
        for (const QList<QByteArray>* symbols : {&TwentySymbols, &EdgeSymbols}) {
            for (int cut : cuts) {
                const QByteArray reply = page.left(cut);
                init();
                SymbolTable& table = realTime ? rtTable : quoteTable;
                setBatch(table, 0, *symbols, {});
                setBatch(table, 1, *symbols, {});
                table.searchStart = cut % 3 == 0 ? 0 : (cut * 7919) % std::max(1, int(page.size()));
                table.rowsLoaded = cut % 5;
                for (table.batch = 0; table.batch < 2; ++table.batch) {
                    QByteArray message;
                    const bool same = realTime ? compareRealTime(reply, &message) : compareDelayed(reply, &message);
                    if (!same) {
                        qWarning("%s cut at %d, batch %d: %s", names[s], cut, table.batch, message.constData());
                        return false;
                    }
                }
                ++comparedPages_;
            }
        }
    }
    return true;
}

bool TestParserDifferential::generatedRuns(bool realTime) {
    const std::uint32_t seed = Seed + (realTime ? 1 : 0);
    PageMaker maker(seed);
    SymbolTable& table = realTime ? rtTable : quoteTable;
    const int foundBefore = foundRows_;
    const int notFoundBefore = notFoundRows_;
    const int breaksBefore = startsAtBreaks_;
    for (int load = 0; load < RandomLoads; ++load) {
        init();
        for (int b = 0; b < BatchesPerLoad; ++b) {
            const QList<QByteArray> symbols = maker.symbols();
            QList<int> lengths;
            for (const QByteArray& s : symbols)
                lengths << maker.lengthFor(s);
            setBatch(table, b, symbols, lengths);
            // The list ends early now and then at an empty slot; a slot starting with 0xFF is a symbol.
            if (maker.chance(15)) {
                char* slot = table.symbols[b * SymbolsPerBatch + maker.below(SymbolsPerBatch)];
                slot[0] = maker.chance(50) ? '\0' : '\xff';
            }
        }
        const int starts[] = {0, maker.below(20000), INT_MAX - maker.below(6000), -maker.below(50)};
        table.searchStart = maker.chance(70) ? 0 : starts[maker.below(4)];
        const int rows[] = {0, maker.below(60), QuoteTableCapacity - maker.below(30), -maker.below(3)};
        table.rowsLoaded = maker.chance(70) ? 0 : rows[maker.below(4)];

        // One reply per batch, mostly holding that batch's symbols, as a load receives them.
        for (int b = 0; b < BatchesPerLoad; ++b) {
            QList<QByteArray> wanted;
            for (int k = b * SymbolsPerBatch; k < (b + 1) * SymbolsPerBatch; ++k)
                wanted << QByteArray(table.symbols[k]);
            const QByteArray reply = maker.page(maker.chance(85) ? wanted : maker.symbols(), realTime);
            table.batch = maker.chance(97) ? b : (maker.chance(50) ? -1 : QuoteTableCapacity / SymbolsPerBatch);
            QByteArray message;
            const bool same = realTime ? compareRealTime(reply, &message) : compareDelayed(reply, &message);
            if (!same) {
                qWarning("generated load %d (seed %#x), batch %d: %s\npage: %s", load, seed, b, message.constData(),
                         shown(reply, 100000).constData());
                return false;
            }
            ++comparedPages_;
        }
    }
    // The generated pages must reach the interesting paths, not only "symbol not found".
    const int found = foundRows_ - foundBefore;
    const int notFound = notFoundRows_ - notFoundBefore;
    const int atBreaks = startsAtBreaks_ - breaksBefore;
    qInfo("%d rows found, %d not found, %d windows starting at a dropped byte", found, notFound, atBreaks);
    return found > 15000 && notFound > 10000 && atBreaks > 800;
}

void TestParserDifferential::samplePagesDelayed() {
    QVERIFY(sampleRuns(DelayedSamples, int(std::size(DelayedSamples)), false));
}

void TestParserDifferential::samplePagesRealTime() {
    QVERIFY(sampleRuns(RtSamples, int(std::size(RtSamples)), true));
}

void TestParserDifferential::generatedPagesDelayed() {
    QVERIFY(generatedRuns(false));
}

void TestParserDifferential::generatedPagesRealTime() {
    QVERIFY(generatedRuns(true));
}

void TestParserDifferential::cleanupTestCase() {
    qInfo("compared %d pages (%d parses): %d rows found, %d not found, %d windows starting at a dropped byte",
          comparedPages_, comparedParses_, foundRows_, notFoundRows_, startsAtBreaks_);
}

QTEST_GUILESS_MAIN(TestParserDifferential)
#include "test_parser_differential.moc"
