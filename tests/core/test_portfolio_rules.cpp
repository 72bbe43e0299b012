// Reading portfolio files the loaders' way and the editor's way, and the data file names.
#include <QtTest>

#include <cstdio>
#include <cstring>

#include "load/core/portfolio_rules.h"
#include "portfolio/core/editor_rules.h"
#include "support/file_bytes.h"

namespace {

char Slots[QuoteTableCapacity][SymbolSlotSize];
int Lengths[QuoteTableCapacity];

// "ABCDEFGHIJ" repeated: any cut shows where it fell.
QByteArray lettersOfLength(int length) {
    QByteArray text;
    for (int i = 0; i < length; ++i)
        text += char('A' + i % 10);
    return text;
}

} // namespace

class TestPortfolioRules : public QObject {
    Q_OBJECT

private slots:
    void loaderRule_data();
    void loaderRule();
    void loaderEmptiesTheLoadSlotsOnly();
    void loaderStopsAtTableCapacity();
    void listedSymbols_data();
    void listedSymbols();
    void editorRule_data();
    void editorRule();
    void dataFileName_data();
    void dataFileName();
};

void TestPortfolioRules::loaderRule_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArrayList>("symbols");
    QTest::addColumn<QList<int>>("lengths");

    QTest::newRow("plain lines") << QByteArray("IBM\nMSFT\n") << QByteArrayList{"IBM", "MSFT"} << QList<int>{3, 4};
    QTest::newRow("one trailing blank goes") << QByteArray("IBM \n") << QByteArrayList{"IBM"} << QList<int>{3};
    QTest::newRow("two trailing blanks keep one") << QByteArray("IBM  \n") << QByteArrayList{"IBM "} << QList<int>{4};
    QTest::newRow("leading blank kept") << QByteArray(" IBM\n") << QByteArrayList{" IBM"} << QList<int>{4};
    QTest::newRow("last line without newline kept whole")
        << QByteArray("IBM\nMSFT ") << QByteArrayList{"IBM", "MSFT "} << QList<int>{3, 5};
    QTest::newRow("CR LF") << QByteArray("IBM\r\nMSFT \r\n") << QByteArrayList{"IBM", "MSFT"} << QList<int>{3, 4};
    QTest::newRow("lone CR is a character") << QByteArray("A\rB\n") << QByteArrayList{"A\rB"} << QList<int>{3};
    QTest::newRow("empty line gives an empty slot")
        << QByteArray("IBM\n\nMSFT\n") << QByteArrayList{"IBM", "", "MSFT"} << QList<int>{3, 0, 4};
    QTest::newRow("empty CR LF line") << QByteArray("IBM\r\n\r\nMSFT\r\n") << QByteArrayList{"IBM", "", "MSFT"}
                                      << QList<int>{3, 0, 4};
    QTest::newRow("empty file") << QByteArray() << QByteArrayList{} << QList<int>{};
    QTest::newRow("six characters fit") << QByteArray("ABCDEF\n") << QByteArrayList{"ABCDEF"} << QList<int>{6};
    QTest::newRow("seven characters are marked")
        << QByteArray("ABCDEFG\n") << QByteArrayList{"ABCDE~"} << QList<int>{7};
    QTest::newRow("overlong line") << QByteArray("ABCDEFGHIJ\nIBM\n") << QByteArrayList{"ABCDE~", "IBM"}
                                   << QList<int>{10, 3};
    QTest::newRow("100 characters read as 79 and 21") << lettersOfLength(100) + "\n"
                                                      << QByteArrayList{"ABCDE~", "JABCD~"} << QList<int>{79, 21};
    QTest::newRow("79 characters and newline: the newline reads as an empty line")
        << lettersOfLength(79) + "\nIBM\n"
        << QByteArrayList{"ABCDE~", "", "IBM"} << QList<int>{79, 0, 3};
    QTest::newRow("78 characters and CR LF are one line") << lettersOfLength(78) + "\r\nIBM\r\n"
                                                          << QByteArrayList{"ABCDE~", "IBM"} << QList<int>{78, 3};
    QTest::newRow("read boundary between CR and LF") << lettersOfLength(79) + "\r\nIBM\r\n"
                                                     << QByteArrayList{"ABCDE~", "", "IBM"} << QList<int>{79, 0, 3};
    QTest::newRow("0xFF byte kept") << QByteArray("\xff\n") << QByteArrayList{"\xff"} << QList<int>{1};
}

void TestPortfolioRules::loaderRule() {
    QFETCH(QByteArray, file);
    QFETCH(QByteArrayList, symbols);
    QFETCH(QList<int>, lengths);

    const OwnedFile stream = streamOf(file);
    QVERIFY(stream);
    const int count = readPortfolioSymbols(stream.get(), Slots, Lengths);

    QCOMPARE(count, int(symbols.size()));
    for (int i = 0; i < count; ++i) {
        QCOMPARE(QByteArray(Slots[i]), symbols[i]);
        QCOMPARE(Lengths[i], lengths[i]);
    }
    QCOMPARE(Slots[count][0], '\0');
}

void TestPortfolioRules::loaderEmptiesTheLoadSlotsOnly() {
    for (auto& slot : Slots)
        std::strcpy(slot, "OLD");
    const OwnedFile stream = streamOf("IBM\n");
    QVERIFY(stream);
    QCOMPARE(readPortfolioSymbols(stream.get(), Slots, Lengths), 1);
    QCOMPARE(QByteArray(Slots[0]), QByteArray("IBM"));
    QCOMPARE(QByteArray(Slots[1]), QByteArray());
    QCOMPARE(QByteArray(Slots[LoadCapacity - 1]), QByteArray());
    QCOMPARE(QByteArray(Slots[LoadCapacity]), QByteArray("OLD"));
}

void TestPortfolioRules::loaderStopsAtTableCapacity() {
    QByteArray file;
    for (int i = 0; i < QuoteTableCapacity + 100; ++i)
        file += "S" + QByteArray::number(i) + "\n";
    const OwnedFile stream = streamOf(file);
    QVERIFY(stream);
    QCOMPARE(readPortfolioSymbols(stream.get(), Slots, Lengths), QuoteTableCapacity);
    QCOMPARE(QByteArray(Slots[QuoteTableCapacity - 1]), "S" + QByteArray::number(QuoteTableCapacity - 1));
    QCOMPARE(Lengths[QuoteTableCapacity - 1], 5);
}

void TestPortfolioRules::listedSymbols_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("listed");
    auto lines = [](int count) {
        QByteArray text;
        for (int i = 0; i < count; ++i)
            text += "S" + QByteArray::number(i) + "\n";
        return text;
    };
    QTest::newRow("empty file") << QByteArray() << 0;
    QTest::newRow("empty first line") << QByteArray("\nIBM\n") << 0;
    QTest::newRow("an empty line ends the list") << QByteArray("IBM\nMSFT\n\nT\n") << 2;
    QTest::newRow("last line without newline") << QByteArray("IBM\nMSFT") << 2;
    // Beyond what the table stores, the rest of the file is counted.
    QTest::newRow("10000 symbols") << lines(10000) << 10000;
    QTest::newRow("5000 symbols, then a gap") << lines(5000) + "\n" + lines(20) << 5000;
}

void TestPortfolioRules::listedSymbols() {
    QFETCH(QByteArray, file);
    QFETCH(int, listed);
    const OwnedFile stream = streamOf(file);
    QVERIFY(stream);
    readPortfolioSymbols(stream.get(), Slots, Lengths);
    QCOMPARE(listPortfolio(stream.get()).listed, listed);
}

void TestPortfolioRules::editorRule_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("plain lines") << QByteArray("IBM\nMSFT\n") << QStringList{"IBM", "MSFT"};
    QTest::newRow("leading blank dropped") << QByteArray(" IBM\nMSFT\n") << QStringList{"MSFT"};
    QTest::newRow("empty lines dropped") << QByteArray("IBM\n\n\nMSFT\n") << QStringList{"IBM", "MSFT"};
    QTest::newRow("one trailing blank goes") << QByteArray("IBM \n") << QStringList{"IBM"};
    QTest::newRow("two trailing blanks keep one") << QByteArray("IBM  \n") << QStringList{"IBM "};
    QTest::newRow("last line kept whole") << QByteArray("IBM\nMSFT ") << QStringList{"IBM", "MSFT "};
    QTest::newRow("CR LF") << QByteArray("IBM\r\n\r\nMSFT \r\n") << QStringList{"IBM", "MSFT"};
    QTest::newRow("100 characters show as 79 and 21")
        << lettersOfLength(100) + "\n"
        << QStringList{QString::fromLatin1(lettersOfLength(79)), QString::fromLatin1(lettersOfLength(100).mid(79))};
    QTest::newRow("79 characters and newline") << lettersOfLength(79) + "\r\nIBM\r\n"
                                               << QStringList{QString::fromLatin1(lettersOfLength(79)), "IBM"};
    QTest::newRow("empty file") << QByteArray() << QStringList{};
}

void TestPortfolioRules::editorRule() {
    QFETCH(QByteArray, file);
    QFETCH(QStringList, lines);

    const OwnedFile stream = streamOf(file);
    QVERIFY(stream);
    const std::vector<std::string> read = readPortfolioForEditor(stream.get());

    QStringList got;
    for (const std::string& line : read)
        got << QString::fromLatin1(line.c_str());
    QCOMPARE(got, lines);
}

void TestPortfolioRules::dataFileName_data() {
    QTest::addColumn<QString>("portfolio");
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QString>("name");

    const QString longName = QString(120, QLatin1Char('p'));
    QTest::newRow("delayed") << "input.txt" << DelayedDataSuffix << "input_data_qt1.txt";
    QTest::newRow("real-time") << "input.txt" << RealTimeDataSuffix << "input_data_qt2.txt";
    QTest::newRow("any last four go") << "stocks.list" << DelayedDataSuffix << "stocks._data_qt1.txt";
    QTest::newRow("exactly four") << ".txt" << DelayedDataSuffix << "_data_qt1.txt";
    QTest::newRow("shorter than four kept") << "ab" << DelayedDataSuffix << "ab_data_qt1.txt";
    QTest::newRow("only the file's own name is cut")
        << "/home/u/folder/ab" << DelayedDataSuffix << "/home/u/folder/ab_data_qt1.txt";
    QTest::newRow("long name kept whole") << longName + ".txt" << RealTimeDataSuffix << longName + "_data_qt2.txt";
}

void TestPortfolioRules::dataFileName() {
    QFETCH(QString, portfolio);
    QFETCH(QString, suffix);
    QFETCH(QString, name);
    const std::string suffixText = suffix.toStdString();
    QCOMPARE(QString::fromStdString(::dataFileName(portfolio.toStdString(), suffixText.c_str())), name);
}

QTEST_GUILESS_MAIN(TestPortfolioRules)
#include "test_portfolio_rules.moc"
