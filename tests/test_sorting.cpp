// Sorting the delayed-quote table: the Sort menu (on its own worker), the automatic sorts
// after a load, the refusal during a load; rows, mirror lines and colours move together.
#include <QAction>
#include <QCheckBox>
#include <QPushButton>
#include <QtTest>

#include "gui_support/load_fixture.h"
#include "gui_support/tickwell_windows.h"
#include "platform/message_box.h"
#include "platform/mirror_text_edit.h"
#include "platform/quote_grid.h"
#include "platform/status_line.h"
#include "support/quoted_process.h"

namespace {
MirrorTextEdit* mirror() {
    return control<MirrorTextEdit>("DisplayQR");
}

void sortBy(const char* item) {
    control<QAction>(item)->trigger();
}

QStringList tableSymbols() {
    QStringList symbols;
    for (const QuoteRow& row : loadedQuoteRows())
        symbols << row.symbol;
    return symbols;
}

// Every row's symbol, line, grid cells, mirror line and colours still describe one stock.
void verifyRowsAligned() {
    const QList<QuoteRow> rows = loadedQuoteRows();
    const QStringList lines = mirror()->lines();
    QCOMPARE(lines.size(), rows.size());
    for (int i = 0; i < rows.size(); ++i) {
        const QString& line = rows[i].line;
        QCOMPARE(line.section(' ', 0, 0).toUpper(), rows[i].symbol.toUpper());
        QCOMPARE(lines[i], line);
        QCOMPARE(control<QuoteGrid>("QT1")->cell(0, i), line.left(7));
        const QColor expected = rows[i].change >= 0 ? QColor(0, 128, 0) : QColor(255, 0, 0);
        QCOMPARE(mirror()->lineColor(i), expected);
        const double pctOnLine = line.mid(45, 10).section('%', 0, 0).toDouble();
        QCOMPARE(float(pctOnLine), rows[i].change);
    }
}

// Puts rows into the table and the mirror as a load would, without a server.
void fillTable(const QList<QPair<QString, float>>& rows) {
    QList<QuoteRow> table;
    mirror()->clear();
    for (const auto& [symbol, change] : rows) {
        const QString pct = QString::asprintf("%+.2f%%", change);
        const QString line = QString("%1%2%3%4").arg(symbol, -45).arg(pct, -10).arg("", -24).left(79);
        table.append({symbol, line, change});
        mirror()->addLine(line);
    }
    setQuoteTable(table);
}
} // namespace

class SortingTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { tickwellWindow(); }
    void cleanup() {
        control<QCheckBox>("CheckBox1")->setChecked(false);
        control<QCheckBox>("CheckBox2")->setChecked(false);
        MessageBoxSeam::clear();
    }

    void menuSortsAlphabetically() {
        fillTable({{"^DJI", 0.5f}, {"IBM", -1.5f}, {"aapl", 0}, {"3M", 1.25f}});
        sortBy("Alphabetically1");
        QTRY_COMPARE(tableSymbols(), QStringList({"^DJI", "3M", "aapl", "IBM"}));
        QTRY_COMPARE(mirror()->lines().size(), 4);
        verifyRowsAligned();
    }

    void menuSortsByChange() {
        fillTable({{"A", -2.5f}, {"B", 0}, {"C", 1.25f}, {"D", -0.5f}});
        sortBy("byChange1");
        QTRY_COMPARE(tableSymbols(), QStringList({"A", "D", "B", "C"}));
        QTRY_COMPARE(mirror()->lines().size(), 4);
        verifyRowsAligned();
        QCOMPARE(mirror()->lineColor(2), QColor(0, 128, 0)); // 0.00 is green
    }

    void caseOnlyDifferencesCompareEqual() {
        fillTable({{"ibm", 1}, {"IBM", 2}, {"AA", 3}});
        sortBy("Alphabetically1");
        QTRY_COMPARE(tableSymbols().first(), QString("AA"));
        QTRY_COMPARE(mirror()->lines().size(), 3);
        QCOMPARE(QSet<QString>({tableSymbols()[1], tableSymbols()[2]}), QSet<QString>({"ibm", "IBM"}));
        verifyRowsAligned();
    }

    void emptyAndOneRowTables() {
        fillTable({});
        mirror()->addLine("an earlier line");
        sortBy("Alphabetically1");
        QTRY_VERIFY(mirror()->lines().isEmpty());
        fillTable({{"KO", -0.25f}});
        control<QuoteGrid>("QT1")->setCell(0, 0, "stale");
        sortBy("byChange1");
        QTRY_COMPARE(control<QuoteGrid>("QT1")->cell(0, 0), QString("KO     "));
        verifyRowsAligned();
    }

    void refusedWhileALoadRuns() {
        fillTable({{"B", 1}, {"A", 2}});
        control("BtnQuote")->setEnabled(false); // as the loader keeps it during a load
        sortBy("Alphabetically1");
        QTRY_COMPARE(MessageBoxSeam::shown().size(), 1);
        control("BtnQuote")->setEnabled(true);
        QCOMPARE(MessageBoxSeam::shown()[0].text,
                 QString("Sort functions are not available until all quotes are loaded"));
        QCOMPARE(MessageBoxSeam::shown()[0].caption, QString("Sort"));
        QCOMPARE(tableSymbols(), QStringList({"B", "A"}));
    }

    void automaticSortAfterALoad_data() {
        QTest::addColumn<bool>("alphabetical");
        QTest::addColumn<bool>("byChange");
        QTest::newRow("alphabetical") << true << false;
        QTest::newRow("by change") << false << true;
        QTest::newRow("both set from code: alphabetical wins") << true << true;
    }
    void automaticSortAfterALoad() {
        QFETCH(bool, alphabetical);
        QFETCH(bool, byChange);
        QuotedProcess server;
        QVERIFY(server.isListening());
        useQuoteServer(server.port());
        LoadFolder folder;
        folder.writePortfolio({"MSFT", "^DJI", "aapl", "IBM", "3M", "KO", "AMD", "F"});
        control<QCheckBox>("CheckBox1")->setChecked(alphabetical);
        control<QCheckBox>("CheckBox2")->setChecked(byChange);
        QVERIFY(runDelayedLoad());
        QCOMPARE(control<StatusLine>("StatusBar1")->simpleText(), QString("Done getting quotes"));
        const QList<QuoteRow> rows = loadedQuoteRows();
        QCOMPARE(rows.size(), 8);
        if (alphabetical) {
            QCOMPARE(tableSymbols(), QStringList({"^DJI", "3M", "aapl", "AMD", "F", "IBM", "KO", "MSFT"}));
        } else {
            for (int i = 1; i < rows.size(); ++i)
                QVERIFY(rows[i - 1].change <= rows[i].change);
        }
        verifyRowsAligned();
        QCOMPARE(control<QuoteGrid>("QT1")->rowCount(), 8);
    }
};

QTEST_MAIN(SortingTest)
#include "test_sorting.moc"
