// The window under the keyboard and the mouse: Tab walks each tab in its order and never into a
// hidden control, the editor takes Tab as a move, Find leaves the keyboard on the grid, the
// Find button's focus-out step runs only on the user's own moves, and a click in a grid during
// a load moves nothing but the selection.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

#include "app/form_quote.h"
#include "gui_support/load_fixture.h"
#include "gui_support/tickwell_windows.h"
#include "platform/message_box.h"
#include "platform/open_dialog.h"
#include "platform/rich_edit.h"
#include "platform/string_grid.h"
#include "parsing/quote_table.h"
#include "parsing/rt_table.h"
#include "support/quoted_process.h"

namespace {

TFormQuote& form() {
    return TickwellWindows();
}

// The control of the main window that has the keyboard focus (kept while a box is in front).
QString focusName() {
    const QWidget* focus = form().focusWidget();
    return focus ? focus->objectName() : QString("<none>");
}

// Presses the key from wherever the focus is, n times, and names each control it lands on.
QStringList walk(Qt::Key key, int presses) {
    QStringList stops;
    for (int i = 0; i < presses; ++i) {
        QWidget* focus = form().focusWidget();
        if (!focus)
            break;
        QTest::keyClick(focus, key);
        stops << focusName();
    }
    return stops;
}

void showTab(QWidget* page) {
    form().PgC1->setCurrentWidget(page);
    // The walk starts where a user's first Tab into the window would: the tab of the page.
    form().PgC1->tabBar()->setFocus(Qt::TabFocusReason);
}

// The top-left point of a grid row, inside the visible cells.
QPoint rowPoint(TStringGrid* grid, int row) {
    return grid->visualRect(grid->model()->index(row, 0)).center();
}

// Closes the next modal box with a key press, as a user would, and reports what it said.
void closeNextBoxWithKey(Qt::Key key, QString* text) {
    QTimer::singleShot(50, [key, text] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return closeNextBoxWithKey(key, text);
        *text = box->text();
        QTest::keyClick(box, key);
    });
}

const QString TabBar = "qt_tabwidget_tabbar";

} // namespace

class KeyboardAndFocusTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        form().show();
        QApplication::setActiveWindow(&form());
        QVERIFY(QTest::qWaitForWindowActive(&form()));
    }
    void init() {
        QApplication::setActiveWindow(&form());
        QVERIFY(QTest::qWaitForWindowActive(&form()));
    }
    void cleanup() {
        QVERIFY(WaitForLoadsToEnd());
        MessageBoxSeam::answerInTests();
        MessageBoxSeam::clear();
    }

    void tabWalksEachTabInOrder_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<bool>("editorOpen");
        QTest::addColumn<QStringList>("stops");
        QTest::newRow("Quotes") << "Quotes" << false
                                << QStringList{"BtnQuote", "CheckBox",  "ComboBox", "CheckBox1", "CheckBox2", "Edit2",
                                               "Button2",  "Portfolio", "PortName", "Adv",       "Decl",      "NoChg",
                                               "Edit1",    "Button3",   "QT1",      TabBar};
        QTest::newRow("RealTime") << "RealTime" << false
                                  << QStringList{"RT1",        "BtnQuote1", "CheckBox3", "ComboBox1",
                                                 "Portfolio1", "Button1",   TabBar};
        QTest::newRow("Portfolios, closed")
            << "Historical" << false << QStringList{"RichEdit2", "Button5", "Button6", "Button7", "Button8", TabBar};
        QTest::newRow("Portfolios, editing")
            << "Historical" << true
            << QStringList{"RichEdit2", "RichEdit3", "Button5", "Button6", "Button7", "Button8", TabBar};
    }
    void tabWalksEachTabInOrder() {
        QFETCH(QString, page);
        QFETCH(bool, editorOpen);
        QFETCH(QStringList, stops);
        QTemporaryDir dir;
        if (editorOpen) {
            const QString path = dir.filePath("walk.txt");
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("IBM\n");
            file.close();
            OpenDialogSeam::queueAnswer(path);
            QTest::mouseClick(form().Button5, Qt::LeftButton);
            QVERIFY(!form().StaticText12->isHidden());
        }
        showTab(form().PgC1->findChild<QWidget*>(page));
        QCOMPARE(walk(Qt::Key_Tab, int(stops.size())), stops);
        // Shift+Tab goes back the same way.
        QStringList back = stops;
        std::reverse(back.begin(), back.end());
        back.removeFirst();
        back << TabBar;
        QCOMPARE(walk(Qt::Key_Backtab, int(back.size())), back);
        if (editorOpen) {
            MessageBoxSeam::queueAnswer(MsgAnswer::Ok);
            QTest::mouseClick(form().Button8, Qt::LeftButton);
            QVERIFY(form().StaticText12->isHidden());
        }
    }

    // Tab in the editor is a move, never a character that Save would write into the portfolio.
    void editorTakesTabAsAMove() {
        QTemporaryDir dir;
        const QString path = dir.filePath("tabs.txt");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("IBM\n");
        file.close();
        OpenDialogSeam::queueAnswer(path);
        form().PgC1->setCurrentWidget(form().Historical);
        QTest::mouseClick(form().Button5, Qt::LeftButton);
        QTest::mouseClick(form().RichEdit2->viewport(), Qt::LeftButton);
        QCOMPARE(focusName(), QString("RichEdit2"));
        QTest::keyClick(form().RichEdit2, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClick(form().RichEdit2, Qt::Key_Return);
        QTest::keyClicks(form().RichEdit2, "MSFT");
        QTest::keyClick(form().RichEdit2, Qt::Key_Tab);
        QCOMPARE(focusName(), QString("RichEdit3"));
        QTest::keyClicks(form().focusWidget(), "GE");
        MessageBoxSeam::queueAnswer(MsgAnswer::Ok);
        QTest::mouseClick(form().Button7, Qt::LeftButton);
        QFile saved(path);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), QByteArray("IBM\nMSFT\n"));
    }

    // A click in the grid while the pages arrive selects a row; every row still lands at its own place.
    void clickInGridDuringLoadKeepsRows_data() {
        QTest::addColumn<bool>("realTime");
        QTest::newRow("Quotes") << false;
        QTest::newRow("RealTime") << true;
    }
    void clickInGridDuringLoadKeepsRows() {
        QFETCH(bool, realTime);
        QuotedProcess server({"--slow", "15"});
        QVERIFY2(server.isListening(), qPrintable(server.errorText()));
        UseQuoteServer(server.port());
        LoadFolder folder;
        const QStringList symbols = KnownSymbols(41);
        folder.writePortfolio(symbols);
        TStringGrid* grid = realTime ? form().RT1 : form().QT1;
        QPushButton* button = realTime ? form().BtnQuote1 : form().BtnQuote;
        const int& rows = realTime ? RtTable.rowsLoaded : QuoteTable.rowsLoaded;
        form().PgC1->setCurrentWidget(realTime ? form().RealTime : form().Quotes);

        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(QTest::qWaitFor([&] { return rows >= 20; }, 20000));
        QVERIFY2(rows < 41, "the load must still be running when the grid is clicked");
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, rowPoint(grid, 2));
        QVERIFY(WaitForLoadsToEnd());

        QCOMPARE(rows, 41);
        for (int i = 0; i < 41; ++i)
            QCOMPARE(grid->Cells(0, i).trimmed(), symbols[i]);
        const QStringList mirror = (realTime ? form().DisplayQR1 : form().DisplayQR)->Lines();
        QCOMPARE(mirror.size(), 41);
        for (int i = 0; i < 41; ++i)
            QCOMPARE(mirror[i].section(' ', 0, 0, QString::SectionSkipEmpty), symbols[i]);
    }

    // A box taking the focus from "Find symbol" is not the user moving on: the selected row
    // stays. The user's own Tab from the button does run the step.
    void findButtonFocusOutOnlyOnUserMoves() {
        QuotedProcess server;
        QVERIFY(server.isListening());
        UseQuoteServer(server.port());
        LoadFolder folder;
        folder.writePortfolio(KnownSymbols(12));
        form().PgC1->setCurrentWidget(form().Quotes);
        QTest::mouseClick(form().BtnQuote, Qt::LeftButton);
        QVERIFY(WaitForLoadsToEnd());

        QTest::mouseClick(form().QT1->viewport(), Qt::LeftButton, {}, rowPoint(form().QT1, 5));
        QCOMPARE(form().QT1->Row(), 5);
        form().Edit2->setText("ZZZZ");
        MessageBoxSeam::showRealBoxes();
        QString said;
        closeNextBoxWithKey(Qt::Key_Return, &said);
        QTest::mouseClick(form().Button2, Qt::LeftButton);
        QCOMPARE(said, QString("Symbol Not Found!"));
        QCOMPARE(focusName(), QString("Button2"));
        QCOMPARE(form().QT1->Row(), 5);

        QApplication::setActiveWindow(&form()); // the window system gives the focus back
        QTest::keyClick(form().Button2, Qt::Key_Tab);
        QCOMPARE(focusName(), QString("Portfolio"));
        QCOMPARE(form().QT1->Row(), 0);
    }

    // Pressed during a load, "Find symbol" is refused in a real box; closing it by key leaves the
    // load's rows where they belong.
    void findDuringLoadIsRefused() {
        QuotedProcess server({"--slow", "15"});
        QVERIFY(server.isListening());
        UseQuoteServer(server.port());
        LoadFolder folder;
        const QStringList symbols = KnownSymbols(41);
        folder.writePortfolio(symbols);
        form().PgC1->setCurrentWidget(form().Quotes);
        form().Edit2->setText(symbols[3]);
        QTest::mouseClick(form().BtnQuote, Qt::LeftButton);
        QVERIFY(QTest::qWaitFor([] { return QuoteTable.rowsLoaded >= 20; }, 20000));
        MessageBoxSeam::showRealBoxes();
        QString said;
        closeNextBoxWithKey(Qt::Key_Escape, &said);
        QTest::mouseClick(form().Button2, Qt::LeftButton);
        QCOMPARE(said, QString("Find symbol function is not available until all quotes have loaded"));
        QVERIFY(WaitForLoadsToEnd());
        for (int i = 0; i < 41; ++i)
            QCOMPARE(form().QT1->Cells(0, i).trimmed(), symbols[i]);
    }

    // After a match the keyboard is on the grid's found row; what is typed next goes nowhere unseen.
    void findLeavesTheKeyboardOnTheGrid() {
        QuotedProcess server;
        QVERIFY(server.isListening());
        UseQuoteServer(server.port());
        LoadFolder folder;
        const QStringList symbols = KnownSymbols(12);
        folder.writePortfolio(symbols);
        form().PgC1->setCurrentWidget(form().Quotes);
        QTest::mouseClick(form().BtnQuote, Qt::LeftButton);
        QVERIFY(WaitForLoadsToEnd());
        const QStringList mirrorBefore = form().DisplayQR->Lines();

        QTest::mouseClick(form().Edit2, Qt::LeftButton);
        form().Edit2->clear();
        QTest::keyClicks(form().Edit2, symbols[7].toLower());
        QTest::keyClick(form().Edit2, Qt::Key_Return);
        QCOMPARE(focusName(), QString("QT1"));
        QCOMPARE(form().QT1->Row(), 7);
        QTest::keyClicks(form().focusWidget(), "xyz");
        QCOMPARE(form().DisplayQR->Lines(), mirrorBefore);
        QCOMPARE(form().QT1->Cells(0, 7).trimmed(), symbols[7]);
    }
};

QTEST_MAIN(KeyboardAndFocusTest)
#include "test_keyboard_and_focus.moc"
