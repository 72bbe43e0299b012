// Find symbol (Button2, Enter in Edit2) and Display Details (Button3) on the Quotes tab.
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextCursor>
#include <QtTest>

#include "gui_support/load_fixture.h"
#include "gui_support/tickwell_windows.h"
#include "platform/message_box.h"
#include "platform/mirror_text_edit.h"
#include "platform/quote_grid.h"
#include "platform/url_opener.h"

namespace {
QLineEdit* box(const char* name) {
    return control<QLineEdit>(name);
}

QPushButton* button(const char* name) {
    return control<QPushButton>(name);
}

QuoteGrid* grid() {
    return control<QuoteGrid>("QT1");
}

MirrorTextEdit* mirror() {
    return control<MirrorTextEdit>("DisplayQR");
}

// A display line as the table holds it: the symbol, then fixed columns up to 79 characters.
QString displayLine(const QByteArray& symbol, int row) {
    const QByteArray line =
        symbol.leftJustified(8, ' ') + "4:00pm    27.5" + QByteArray::number(row % 10) + "    +0.12";
    return QString::fromLatin1(line.leftJustified(79, '.'));
}

// Fills the quote table, the grid and the text mirror as a finished load leaves them.
void loadRows(const QList<QByteArray>& symbols) {
    QList<QuoteRow> rows;
    for (int row = 0; row < symbols.size(); ++row)
        rows.append({QString::fromLatin1(symbols[row]), displayLine(symbols[row], row), 0.5f});
    setQuoteTable(rows);
    mirror()->clear();
    grid()->setRowCount(std::max<int>(int(rows.size()), 1));
    for (int row = 0; row < rows.size(); ++row) {
        grid()->setCell(0, row, rows[row].line.left(6));
        mirror()->addLine(rows[row].line);
    }
}

QString selectedText(const MirrorTextEdit* edit) {
    return edit->textCursor().selectedText();
}

struct Box {
    QString text;
    QString caption;
};

QList<Box> boxes() {
    QList<Box> result;
    for (const MessageBoxSeam::Shown& shown : MessageBoxSeam::shown())
        result.append({shown.text, shown.caption});
    return result;
}
} // namespace

class FindDetailsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QWidget& window = tickwellWindow();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }

    void init() {
        QVERIFY(showTab("Quotes"));
        setLoadRunning(QuoteTab::Quotes, false);
        button("BtnQuote")->setEnabled(true);
        box("Edit2")->clear();
        box("Edit1")->clear();
        box("Edit2")->setFocus();
        loadRows({});
        grid()->setCurrentRow(0);
        MessageBoxSeam::clear();
        UrlOpenerSeam::opened().clear();
        useQuoteServer(80, "localhost");
    }

    void search_data() {
        QTest::addColumn<QList<QByteArray>>("symbols");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("found"); // -1: not found
        const QList<QByteArray> upper{"MSFT", "IBM", "KO", "GE", "AAPL", "T", "XOM", "INTC", "C"};
        QTest::newRow("lower-case key") << upper << "intc" << 7;
        QTest::newRow("mixed-case key") << upper << "Ko" << 2;
        QTest::newRow("upper-case key, lower-case symbol")
            << QList<QByteArray>{"msft", "ibm", "ko", "ge", "aapl", "t", "xom", "intc"} << "XOM" << 6;
        QTest::newRow("first row") << upper << "MSFT" << 0;
        QTest::newRow("one-letter symbol") << upper << "c" << 8;
        QTest::newRow("prefix of a symbol") << upper << "AA" << -1;
        QTest::newRow("trailing blank") << upper << "XOM " << -1;
        QTest::newRow("leading blank") << upper << " XOM" << -1;
        QTest::newRow("empty key") << upper << "" << -1;
        QTest::newRow("longer than a symbol slot") << upper << "AAPLAAPL" << -1;
        QTest::newRow("seven characters") << QList<QByteArray>{"GOOGL~", "IBM"} << "GOOGL~X" << -1;
        QTest::newRow("cut overlong symbol") << QList<QByteArray>{"MSFT", "GOOGL~"} << "googl~" << 1;
        QTest::newRow("first of two equal") << QList<QByteArray>{"KO", "IBM", "GE", "IBM", "T"} << "ibm" << 1;
        QTest::newRow("index") << QList<QByteArray>{"^DJI", "IBM", "^GSPC"} << "^gspc" << 2;
        QTest::newRow("letters only change case") << QList<QByteArray>{"MSFT", "BRK.A"} << "brk.a" << 1;
        QTest::newRow("no folding beyond ASCII") << QList<QByteArray>{"MSFT", "\xC9T"} << QString("\u00e9t") << -1;
    }
    void search() {
        QFETCH(QList<QByteArray>, symbols);
        QFETCH(QString, key);
        QFETCH(int, found);
        loadRows(symbols);
        box("Edit2")->setText(key);
        grid()->setCurrentRow(0);
        mirror()->setSelStart(5);
        box("Edit1")->setText("before");
        QElapsedTimer clock;
        clock.start();
        QTest::mouseClick(button("Button2"), Qt::LeftButton);
        QVERIFY2(clock.elapsed() >= 490, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(button("Button2")->isEnabled());
        if (found < 0) {
            QCOMPARE(boxes().size(), 1);
            QCOMPARE(boxes()[0].text, QString("Symbol Not Found!"));
            QCOMPARE(boxes()[0].caption, QString("Alter"));
            QCOMPARE(MessageBoxSeam::shown()[0].buttons, MsgButtons::Ok);
            QCOMPARE(grid()->currentRow(), 0);
            QCOMPARE(mirror()->textCursor().position(), 0);
            QVERIFY(!mirror()->textCursor().hasSelection());
            return;
        }
        QVERIFY2(boxes().isEmpty(), qPrintable(boxes().value(0).text));
        QCOMPARE(grid()->currentRow(), found);
        // Edit1 follows the row when the row moves.
        QCOMPARE(box("Edit1")->text(), found == 0 ? QString("before") : grid()->cell(0, found));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(grid()));
        QCOMPARE(selectedText(mirror()), mirror()->lines()[found].left(67));
        QCOMPARE(mirror()->lines().size(), symbols.size()); // the mirror's text is left alone
    }

    // The rows a sort has put in order are searched in that order.
    void searchAfterSort() {
        loadRows({"MSFT", "KO", "IBM", "AAPL", "GE"});
        control<QAction>("Alphabetically1")->trigger();
        QTRY_COMPARE(mirror()->lines().value(3).left(2), QString("KO"));
        QCOMPARE(loadedQuoteRows().value(3).symbol, QString("KO"));
        box("Edit2")->setText("ko");
        QTest::mouseClick(button("Button2"), Qt::LeftButton);
        QVERIFY(boxes().isEmpty());
        QCOMPARE(grid()->currentRow(), 3);
        QCOMPARE(box("Edit1")->text().trimmed(), QString("KO"));
    }

    // Before any load there are no rows to search, whatever the table's memory holds.
    void searchBeforeAnyLoad() {
        setQuoteTable({});
        setQuoteTableRow(0, {"IBM", displayLine("IBM", 0), 0.5f});
        box("Edit2")->setText("IBM");
        QTest::mouseClick(button("Button2"), Qt::LeftButton);
        QCOMPARE(boxes().size(), 1);
        QCOMPARE(boxes()[0].text, QString("Symbol Not Found!"));
        QCOMPARE(boxes()[0].caption, QString("Alter"));
        QCOMPARE(grid()->currentRow(), 0);
    }

    void searchDuringLoad_data() {
        QTest::addColumn<bool>("loading");
        QTest::addColumn<bool>("buttonEnabled");
        QTest::newRow("load started, button still enabled") << true << true;
        QTest::newRow("button disabled by the loader") << false << false;
        QTest::newRow("both") << true << false;
    }
    void searchDuringLoad() {
        QFETCH(bool, loading);
        QFETCH(bool, buttonEnabled);
        loadRows({"MSFT", "IBM", "KO", "GE"});
        grid()->setCurrentRow(2);
        mirror()->setSelStart(12);
        box("Edit1")->setText("KO");
        box("Edit2")->setText("IBM");
        setLoadRunning(QuoteTab::Quotes, loading);
        button("BtnQuote")->setEnabled(buttonEnabled);
        QElapsedTimer clock;
        clock.start();
        QTest::mouseClick(button("Button2"), Qt::LeftButton);
        const qint64 elapsed = clock.elapsed();
        setLoadRunning(QuoteTab::Quotes, false);
        button("BtnQuote")->setEnabled(true);
        QCOMPARE(boxes().size(), 1);
        QCOMPARE(boxes()[0].text, QString("Find symbol function is not available until all quotes have loaded"));
        QCOMPARE(boxes()[0].caption, QString("Find Symbol"));
        QCOMPARE(MessageBoxSeam::shown()[0].buttons, MsgButtons::Ok);
        QCOMPARE(grid()->currentRow(), 2);
        QCOMPARE(box("Edit1")->text(), QString("KO"));
        QCOMPARE(mirror()->selStart(), 12);
        QVERIFY(button("Button2")->isEnabled());
        QVERIFY2(elapsed < 400, qPrintable(QString::number(elapsed)));
    }

    void enterInEdit2_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("searches");
        QTest::newRow("Return") << int(Qt::Key_Return) << true;
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << true;
        QTest::newRow("a letter") << int(Qt::Key_X) << false;
        QTest::newRow("Tab") << int(Qt::Key_Tab) << false;
    }
    void enterInEdit2() {
        QFETCH(int, key);
        QFETCH(bool, searches);
        loadRows({"MSFT", "IBM", "KO", "GE"});
        box("Edit2")->setFocus();
        box("Edit2")->setText("ge");
        QTest::keyClick(box("Edit2"), Qt::Key(key));
        QCOMPARE(grid()->currentRow(), searches ? 3 : 0);
        QVERIFY(boxes().isEmpty());
        // Enter is also left to the edit box; a letter is typed as usual.
        QCOMPARE(box("Edit2")->text(), key == Qt::Key_X ? QString("gex") : QString("ge"));

        box("Edit2")->setFocus();
        box("Edit2")->setText("zz");
        QTest::keyClick(box("Edit2"), Qt::Key(key));
        QCOMPARE(boxes().size(), searches ? 1 : 0);
    }

    // The user's click away from "Find symbol" moves the grid to row 0; the search's own focus
    // moves do not, and a found row stays current.
    void focusLeavingButton2() {
        loadRows({"MSFT", "IBM", "KO", "GE"});
        box("Edit2")->setText("zz");
        grid()->setCurrentRow(2);
        QTest::mouseClick(button("Button2"), Qt::LeftButton);
        QCOMPARE(boxes().size(), 1);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(button("Button2")));
        QCOMPARE(grid()->currentRow(), 2);
        QTest::mouseClick(box("Edit2"), Qt::LeftButton);
        QCOMPARE(grid()->currentRow(), 0);
        QCOMPARE(box("Edit1")->text(), grid()->cell(0, 0));

        box("Edit2")->setText("ko");
        QTest::mouseClick(button("Button2"), Qt::LeftButton);
        QCOMPARE(grid()->currentRow(), 2);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(grid()));
    }

    void details_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("address"); // empty: nothing opened
        QTest::newRow("symbol") << "MSFT"
                                << "localhost" << 80 << "http://localhost/q/bc?s=MSFT&t=1y";
        QTest::newRow("as typed") << "brk.a"
                                  << "localhost" << 80 << "http://localhost/q/bc?s=brk.a&t=1y";
        QTest::newRow("two blanks") << "  "
                                    << "localhost" << 80 << "http://localhost/q/bc?s=%20%20&t=1y";
        QTest::newRow("four blanks") << "    "
                                     << "localhost" << 80 << "http://localhost/q/bc?s=%20%20%20%20&t=1y";
        QTest::newRow("trailing blank") << "IBM "
                                        << "localhost" << 80 << "http://localhost/q/bc?s=IBM%20&t=1y";
        QTest::newRow("ampersand cannot end the symbol") << "AT&T"
                                                         << "localhost" << 80 << "http://localhost/q/bc?s=AT%26T&t=1y";
        QTest::newRow("port 8080") << "IBM"
                                   << "127.0.0.1" << 8080 << "http://127.0.0.1:8080/q/bc?s=IBM&t=1y";
        QTest::newRow("other host") << "^DJI"
                                    << "quotes.example" << 80 << "http://quotes.example/q/bc?s=^DJI&t=1y";
        QTest::newRow("empty") << ""
                               << "localhost" << 80 << "";
        QTest::newRow("one blank") << " "
                                   << "localhost" << 80 << "";
        QTest::newRow("three blanks") << "   "
                                      << "localhost" << 80 << "";
    }
    void details() {
        QFETCH(QString, text);
        QFETCH(QString, host);
        QFETCH(int, port);
        QFETCH(QString, address);
        useQuoteServer(port, host);
        box("Edit1")->setText(text);
        QTest::mouseClick(button("Button3"), Qt::LeftButton);
        QCOMPARE(UrlOpenerSeam::opened(), address.isEmpty() ? QStringList() : QStringList{address});
        QVERIFY(boxes().isEmpty());
    }

    // Display Details reads only Edit1: no load, no grid row, not even a running load matters.
    void detailsIndependentOfLoad() {
        setLoadRunning(QuoteTab::Quotes, true);
        button("BtnQuote")->setEnabled(false);
        box("Edit1")->setText("ZZZZ");
        QTest::mouseClick(button("Button3"), Qt::LeftButton);
        setLoadRunning(QuoteTab::Quotes, false);
        button("BtnQuote")->setEnabled(true);
        QCOMPARE(UrlOpenerSeam::opened(), QStringList{"http://localhost/q/bc?s=ZZZZ&t=1y"});
        QVERIFY(boxes().isEmpty());
    }

    // A grid row clicked, then Display Details: the row's symbol goes into the address.
    void detailsOfClickedRow() {
        loadRows({"MSFT", "IBM", "KO"});
        grid()->setCell(0, 1, "IBM");
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {},
                          grid()->visualRect(grid()->model()->index(1, 0)).center());
        QTest::mouseClick(button("Button3"), Qt::LeftButton);
        QCOMPARE(UrlOpenerSeam::opened(), QStringList{"http://localhost/q/bc?s=IBM&t=1y"});
    }
};

QTEST_MAIN(FindDetailsTest)
#include "test_find_details.moc"
