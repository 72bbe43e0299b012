// Sorting the delayed-quote table: the Sort menu (on its own worker), the automatic sorts
// after a load, the refusal during a load; rows, mirror lines and colours move together.
#include <QAction>
#include <QCheckBox>
#include <QPushButton>
#include <QtTest>

#include "app/form_quote.h"
#include "gui_support/load_fixture.h"
#include "gui_support/tickwell_windows.h"
#include "platform/message_box.h"
#include "platform/rich_edit.h"
#include "platform/status_bar.h"
#include "platform/string_grid.h"
#include "parsing/quote_table.h"
#include "support/quoted_process.h"

namespace {
QStringList tableSymbols() {
    QStringList symbols;
    for (int i = 0; i < QuoteTable.rowsLoaded; ++i)
        symbols << QuoteTable.symbols[i];
    return symbols;
}

// Every row's symbol, line, grid cells, mirror line and colours still describe one stock.
void verifyRowsAligned() {
    TFormQuote& form = TickwellWindows();
    const QStringList mirror = form.DisplayQR->Lines();
    QCOMPARE(mirror.size(), QuoteTable.rowsLoaded);
    for (int i = 0; i < QuoteTable.rowsLoaded; ++i) {
        const QString line = QString::fromLatin1(QuoteLines[i]);
        QCOMPARE(line.section(' ', 0, 0).toUpper(), QString(QuoteTable.symbols[i]).toUpper());
        QCOMPARE(mirror[i], line);
        QCOMPARE(form.QT1->Cells(0, i), line.left(7));
        const QColor expected = QuotePctChanges[i] >= 0 ? QColor(0, 128, 0) : QColor(255, 0, 0);
        QCOMPARE(form.DisplayQR->lineColor(i), expected);
        const double pctOnLine = line.mid(45, 10).section('%', 0, 0).toDouble();
        QCOMPARE(float(pctOnLine), QuotePctChanges[i]);
    }
}

// Puts rows into the table as a load would, without a server.
void fillTable(const QList<QPair<QString, float>>& rows) {
    TFormQuote& form = TickwellWindows();
    form.DisplayQR->clear();
    for (int i = 0; i < rows.size(); ++i) {
        const QByteArray symbol = rows[i].first.toLatin1();
        qstrncpy(QuoteTable.symbols[i], symbol.constData(), SymbolSlotSize);
        const QString pct = QString::asprintf("%+.2f%%", rows[i].second);
        const QByteArray line =
            QString("%1%2%3%4").arg(rows[i].first, -45).arg(pct, -10).arg("", -24).toLatin1().left(QuoteLineLength);
        qstrncpy(QuoteLines[i], line.constData(), QuoteLineSize);
        QuotePctChanges[i] = rows[i].second;
        form.DisplayQR->AddLine(QString::fromLatin1(line));
    }
    QuoteTable.rowsLoaded = rows.size();
}
} // namespace

class SortingTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TickwellWindows(); }
    void cleanup() {
        TFormQuote& form = TickwellWindows();
        form.CheckBox1->setChecked(false);
        form.CheckBox2->setChecked(false);
        MessageBoxSeam::clear();
    }

    void menuSortsAlphabetically() {
        fillTable({{"^DJI", 0.5f}, {"IBM", -1.5f}, {"aapl", 0}, {"3M", 1.25f}});
        TickwellWindows().Alphabetically1->trigger();
        QTRY_COMPARE(tableSymbols(), QStringList({"^DJI", "3M", "aapl", "IBM"}));
        QTRY_COMPARE(TickwellWindows().DisplayQR->Lines().size(), 4);
        verifyRowsAligned();
    }

    void menuSortsByChange() {
        fillTable({{"A", -2.5f}, {"B", 0}, {"C", 1.25f}, {"D", -0.5f}});
        TickwellWindows().byChange1->trigger();
        QTRY_COMPARE(tableSymbols(), QStringList({"A", "D", "B", "C"}));
        QTRY_COMPARE(TickwellWindows().DisplayQR->Lines().size(), 4);
        verifyRowsAligned();
        QCOMPARE(TickwellWindows().DisplayQR->lineColor(2), QColor(0, 128, 0)); // 0.00 is green
    }

    void caseOnlyDifferencesCompareEqual() {
        fillTable({{"ibm", 1}, {"IBM", 2}, {"AA", 3}});
        TickwellWindows().Alphabetically1->trigger();
        QTRY_COMPARE(tableSymbols().first(), QString("AA"));
        QTRY_COMPARE(TickwellWindows().DisplayQR->Lines().size(), 3);
        QCOMPARE(QSet<QString>({tableSymbols()[1], tableSymbols()[2]}), QSet<QString>({"ibm", "IBM"}));
        verifyRowsAligned();
    }

    void emptyAndOneRowTables() {
        TFormQuote& form = TickwellWindows();
        fillTable({});
        form.DisplayQR->AddLine("an earlier line");
        form.Alphabetically1->trigger();
        QTRY_VERIFY(form.DisplayQR->Lines().isEmpty());
        fillTable({{"KO", -0.25f}});
        form.QT1->setCell(0, 0, "stale");
        form.byChange1->trigger();
        QTRY_COMPARE(form.QT1->Cells(0, 0), QString("KO     "));
        verifyRowsAligned();
    }

    void refusedWhileALoadRuns() {
        fillTable({{"B", 1}, {"A", 2}});
        TFormQuote& form = TickwellWindows();
        form.BtnQuote->setEnabled(false); // as the loader keeps it during a load
        form.Alphabetically1->trigger();
        QTRY_COMPARE(MessageBoxSeam::shown().size(), 1);
        form.BtnQuote->setEnabled(true);
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
        UseQuoteServer(server.port());
        LoadFolder folder;
        folder.writePortfolio({"MSFT", "^DJI", "aapl", "IBM", "3M", "KO", "AMD", "F"});
        TFormQuote& form = TickwellWindows();
        form.CheckBox1->setChecked(alphabetical);
        form.CheckBox2->setChecked(byChange);
        QVERIFY(RunDelayedLoad());
        QCOMPARE(form.StatusBar1->SimpleText(), QString("Done getting quotes"));
        QCOMPARE(QuoteTable.rowsLoaded, 8);
        if (alphabetical) {
            QCOMPARE(tableSymbols(), QStringList({"^DJI", "3M", "aapl", "AMD", "F", "IBM", "KO", "MSFT"}));
        } else {
            for (int i = 1; i < QuoteTable.rowsLoaded; ++i)
                QVERIFY(QuotePctChanges[i - 1] <= QuotePctChanges[i]);
        }
        verifyRowsAligned();
        QCOMPARE(form.QT1->RowCount(), 8);
    }
};

QTEST_MAIN(SortingTest)
#include "test_sorting.moc"
