// The two orderings of the Quotes tab's rows, and the symbol collation in the C locale.
#include <QtTest>

#include <QCollator>
#include <QRandomGenerator>
#include <algorithm>
#include <cstring>
#include <thread>

#include "parsing/quote_table.h"
#include "quotes/core/orderings.h"

namespace {

QuoteRows rows; // the rows a Quotes tab keeps

// Row i gets the symbol, a line naming it and a percent change derived from its position,
// so that after a sort each row can be checked against what was loaded with it.
void loadRows(const QByteArrayList& symbols, const QList<float>& pcts = {}) {
    for (int i = 0; i < symbols.size(); ++i) {
        std::memset(rows.symbols[i], 0, SymbolSlotSize);
        std::memcpy(rows.symbols[i], symbols[i].constData(), static_cast<size_t>(symbols[i].size()));
        const QByteArray line = "row " + QByteArray::number(i) + " " + symbols[i];
        std::memset(rows.lines[i], 0, QuoteLineSize);
        std::memcpy(rows.lines[i], line.constData(), static_cast<size_t>(line.size()));
        rows.pctChanges[i] = i < pcts.size() ? pcts[i] : float(i) + 0.5f;
    }
}

QByteArrayList symbolsOf(int count) {
    QByteArrayList symbols;
    for (int i = 0; i < count; ++i)
        symbols << QByteArray(rows.symbols[i]);
    return symbols;
}

// Every row still carries the line and percent change it was loaded with.
bool rowsStayAligned(const QByteArrayList& loaded, const QList<float>& pcts, int count) {
    QList<bool> used(loaded.size(), false);
    for (int i = 0; i < count; ++i) {
        const QByteArray line(rows.lines[i]);
        const int origin = line.split(' ').value(1).toInt();
        if (used[origin] || loaded[origin] != QByteArray(rows.symbols[i]) ||
            line != "row " + QByteArray::number(origin) + " " + loaded[origin])
            return false;
        const float expected = origin < pcts.size() ? pcts[origin] : float(origin) + 0.5f;
        if (rows.pctChanges[i] != expected)
            return false;
        used[origin] = true;
    }
    return true;
}

} // namespace

class TestOrderings : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void compareSymbols_data();
    void compareSymbols();
    void collationOnAnotherThread();
    void alphabetical_data();
    void alphabetical();
    void caseVariantsSortTogether();
    void alphabeticalLargeTable();
    void byChange_data();
    void byChange();
    void emptyAndSingleRanges();
    void subrangeOnly();
};

void TestOrderings::initTestCase() {
    // Whatever the environment, run as a process in the C locale does.
    QLocale::setDefault(QLocale::c());
    QVERIFY2(QCollator().compare(QStringLiteral("^DJI"), QStringLiteral("3M")) > 0,
             "the C locale's collator should compare code points here");
}

void TestOrderings::compareSymbols_data() {
    QTest::addColumn<QByteArray>("a");
    QTest::addColumn<QByteArray>("b");
    QTest::addColumn<int>("order");

    QTest::newRow("case ignored") << QByteArray("ibm") << QByteArray("IBM") << 0;
    QTest::newRow("mixed case equal") << QByteArray("aApL") << QByteArray("AaPl") << 0;
    QTest::newRow("identical") << QByteArray("MSFT") << QByteArray("MSFT") << 0;
    QTest::newRow("punctuation before digits") << QByteArray("^DJI") << QByteArray("3M") << -1;
    QTest::newRow("punctuation before letters") << QByteArray("^IXIC") << QByteArray("A") << -1;
    QTest::newRow("digits before letters") << QByteArray("3M") << QByteArray("aapl") << -1;
    QTest::newRow("digit 9 before letter A") << QByteArray("9") << QByteArray("A") << -1;
    QTest::newRow("lower before upper letter") << QByteArray("aapl") << QByteArray("IBM") << -1;
    QTest::newRow("upper before lower letter") << QByteArray("AAPL") << QByteArray("ibm") << -1;
    QTest::newRow("prefix first") << QByteArray("IBM") << QByteArray("IBMX") << -1;
    QTest::newRow("prefix first, case ignored") << QByteArray("ibm") << QByteArray("IBMX") << -1;
    QTest::newRow("empty first") << QByteArray("") << QByteArray("A") << -1;
    QTest::newRow("later letter") << QByteArray("Z") << QByteArray("^A") << 1;
}

void TestOrderings::compareSymbols() {
    QFETCH(QByteArray, a);
    QFETCH(QByteArray, b);
    QFETCH(int, order);
    QCOMPARE(::compareSymbols(a.constData(), b.constData()), order);
    QCOMPARE(::compareSymbols(b.constData(), a.constData()), -order);
}

void TestOrderings::collationOnAnotherThread() {
    int order = 0;
    std::thread worker([&order] { order = ::compareSymbols("^DJI", "3M"); });
    worker.join();
    QCOMPARE(order, -1);
}

void TestOrderings::alphabetical_data() {
    QTest::addColumn<QByteArrayList>("symbols");
    QTest::addColumn<QByteArrayList>("sorted");

    QTest::newRow("index, digits, case") << QByteArrayList{"^DJI", "IBM", "aapl", "3M"}
                                         << QByteArrayList{"^DJI", "3M", "aapl", "IBM"};
    QTest::newRow("reversed") << QByteArrayList{"XOM", "T", "MSFT", "GE", "C", "AA"}
                              << QByteArrayList{"AA", "C", "GE", "MSFT", "T", "XOM"};
    QTest::newRow("already sorted") << QByteArrayList{"A", "B", "C", "D", "E"}
                                    << QByteArrayList{"A", "B", "C", "D", "E"};
    QTest::newRow("prefixes") << QByteArrayList{"IBMX", "IB", "IBM", "I"} << QByteArrayList{"I", "IB", "IBM", "IBMX"};
    QTest::newRow("duplicates") << QByteArrayList{"MSFT", "GE", "MSFT", "AA", "GE"}
                                << QByteArrayList{"AA", "GE", "GE", "MSFT", "MSFT"};
    QTest::newRow("two rows") << QByteArrayList{"b", "A"} << QByteArrayList{"A", "b"};
    QTest::newRow("cut overlong symbol") << QByteArrayList{"ABCDE~", "ABCDE", "ABCDEF"}
                                         << QByteArrayList{"ABCDE", "ABCDE~", "ABCDEF"};
}

void TestOrderings::alphabetical() {
    QFETCH(QByteArrayList, symbols);
    QFETCH(QByteArrayList, sorted);
    const int count = static_cast<int>(symbols.size());
    loadRows(symbols);
    sortAlphabetically(rows, 0, count - 1);
    QCOMPARE(symbolsOf(count), sorted);
    QVERIFY(rowsStayAligned(symbols, {}, count));
}

void TestOrderings::caseVariantsSortTogether() {
    const QByteArrayList symbols{"ibm", "MSFT", "IBM", "AAPL", "Ibm"};
    loadRows(symbols);
    sortAlphabetically(rows, 0, 4);
    QCOMPARE(QByteArray(rows.symbols[0]), QByteArray("AAPL"));
    for (int i = 1; i <= 3; ++i)
        QCOMPARE(QByteArray(rows.symbols[i]).toUpper(), QByteArray("IBM"));
    QCOMPARE(QByteArray(rows.symbols[4]), QByteArray("MSFT"));
    QVERIFY(rowsStayAligned(symbols, {}, 5));
}

void TestOrderings::alphabeticalLargeTable() {
    QRandomGenerator random(20240601);
    const QByteArray alphabet = "^.-0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    QByteArrayList symbols;
    for (int i = 0; i < 1500; ++i) {
        QByteArray symbol;
        const int length = 1 + random.bounded(6);
        for (int k = 0; k < length; ++k)
            symbol += alphabet[random.bounded(int(alphabet.size()))];
        symbols << symbol;
    }
    loadRows(symbols);
    sortAlphabetically(rows, 0, int(symbols.size()) - 1);
    const QByteArrayList result = symbolsOf(int(symbols.size()));
    for (int i = 1; i < result.size(); ++i)
        QVERIFY2(::compareSymbols(result[i - 1].constData(), result[i].constData()) <= 0,
                 result[i - 1] + " before " + result[i]);
    QVERIFY(rowsStayAligned(symbols, {}, int(symbols.size())));
}

void TestOrderings::byChange_data() {
    QTest::addColumn<QList<float>>("pcts");
    QTest::addColumn<QList<float>>("sorted");

    QTest::newRow("losses first") << QList<float>{-2.5f, 0.0f, 1.25f, -0.5f} << QList<float>{-2.5f, -0.5f, 0.0f, 1.25f};
    QTest::newRow("descending") << QList<float>{9.f, 7.f, 5.f, 3.f, 1.f, -1.f}
                                << QList<float>{-1.f, 1.f, 3.f, 5.f, 7.f, 9.f};
    QTest::newRow("equal keys") << QList<float>{0.f, 0.f, -1.f, 0.f, 1.f} << QList<float>{-1.f, 0.f, 0.f, 0.f, 1.f};
    QTest::newRow("one row") << QList<float>{3.5f} << QList<float>{3.5f};
}

void TestOrderings::byChange() {
    QFETCH(QList<float>, pcts);
    QFETCH(QList<float>, sorted);
    QByteArrayList symbols;
    for (int i = 0; i < pcts.size(); ++i)
        symbols << "S" + QByteArray::number(i);
    loadRows(symbols, pcts);
    sortByChange(rows, 0, int(pcts.size()) - 1);
    QList<float> result;
    for (int i = 0; i < pcts.size(); ++i)
        result << rows.pctChanges[i];
    QCOMPARE(result, sorted);
    QVERIFY(rowsStayAligned(symbols, pcts, int(pcts.size())));
}

void TestOrderings::emptyAndSingleRanges() {
    const QByteArrayList symbols{"ZZ", "AA"};
    loadRows(symbols);
    sortAlphabetically(rows, 0, -1);
    sortByChange(rows, 0, -1);
    QCOMPARE(symbolsOf(2), symbols);
    sortAlphabetically(rows, 0, 0);
    sortAlphabetically(rows, 1, 1);
    QCOMPARE(symbolsOf(2), symbols);
    QVERIFY(rowsStayAligned(symbols, {}, 2));
}

void TestOrderings::subrangeOnly() {
    const QByteArrayList symbols{"ZZ", "YY", "XX", "WW", "AA"};
    loadRows(symbols);
    sortAlphabetically(rows, 1, 3);
    QCOMPARE(symbolsOf(5), (QByteArrayList{"ZZ", "WW", "XX", "YY", "AA"}));
}

QTEST_GUILESS_MAIN(TestOrderings)
#include "test_orderings.moc"
