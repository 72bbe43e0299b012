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

#include "gui_support/load_fixture.h"
#include "gui_support/tickwell_windows.h"
#include "platform/message_box.h"
#include "platform/mirror_text_edit.h"
#include "platform/open_dialog.h"
#include "platform/quote_grid.h"
#include "support/file_bytes.h"
#include "support/quoted_process.h"

namespace {

QWidget& form() {
    return tickwellWindow();
}

template <typename T = QWidget> T* named(const char* name) {
    return control<T>(name);
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

void showTabFromItsBar(const QString& page) {
    ::showTab(page);
    // The walk starts where a user's first Tab into the window would: the tab of the page.
    named<QTabWidget>("PgC1")->tabBar()->setFocus(Qt::TabFocusReason);
}

// The top-left point of a grid row, inside the visible cells.
QPoint rowPoint(QuoteGrid* grid, int row) {
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
        QVERIFY(waitForLoadsToEnd());
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
            QVERIFY(writeFileBytes(path, "IBM\n"));
            OpenDialogSeam::queueAnswer(path);
            QVERIFY(showTab("Historical"));
            QTest::keyClick(&form(), Qt::Key_O, Qt::ControlModifier); // Edit Portfolio
            QVERIFY(!named("StaticText12")->isHidden());
        }
        showTabFromItsBar(page);
        QCOMPARE(walk(Qt::Key_Tab, int(stops.size())), stops);
        // Shift+Tab goes back the same way.
        QStringList back = stops;
        std::reverse(back.begin(), back.end());
        back.removeFirst();
        back << TabBar;
        QCOMPARE(walk(Qt::Key_Backtab, int(back.size())), back);
        if (editorOpen) {
            MessageBoxSeam::queueAnswer(MsgAnswer::Ok);
            QTest::mouseClick(named<QPushButton>("Button8"), Qt::LeftButton);
            QVERIFY(named("StaticText12")->isHidden());
        }
    }

    // The page keys switch from any control, the grid's Ctrl+PageDown included, and the new page's
    // caption is told to a screen reader; a read-only box reached by Tab selects nothing.
    void pageKeysSwitchFromAnywhere_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("page");
        QTest::newRow("grid, Ctrl+PageDown")
            << "QT1" << int(Qt::Key_PageDown) << int(Qt::ControlModifier) << "RealTime";
        QTest::newRow("grid, Ctrl+PageUp") << "RT1" << int(Qt::Key_PageUp) << int(Qt::ControlModifier) << "Quotes";
        QTest::newRow("box, Ctrl+Tab") << "Portfolio1" << int(Qt::Key_Tab) << int(Qt::ControlModifier) << "Historical";
        QTest::newRow("editor, Ctrl+Tab, round to the first")
            << "RichEdit2" << int(Qt::Key_Tab) << int(Qt::ControlModifier) << "Quotes";
        QTest::newRow("box, Ctrl+Shift+Tab")
            << "Edit2" << int(Qt::Key_Backtab) << int(Qt::ControlModifier | Qt::ShiftModifier) << "Historical";
    }
    void pageKeysSwitchFromAnywhere() {
        QFETCH(QString, control);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, page);
        auto* pages = named<QTabWidget>("PgC1");
        QWidget* start = named(qPrintable(control));
        pages->setCurrentWidget(start->parentWidget());
        start->setFocus(Qt::TabFocusReason);
        auto* grid = qobject_cast<QuoteGrid*>(start);
        const int row = grid ? grid->currentRow() : -1;
        QTest::keyClick(start, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(pages->currentWidget()->objectName(), page);
        QCOMPARE(pages->findChild<QWidget*>("StatusAnnouncer")->accessibleName(),
                 pages->tabText(pages->currentIndex()));
        if (grid)
            QCOMPARE(grid->currentRow(), row);
        if (auto* box = qobject_cast<QLineEdit*>(start); box && box->isReadOnly())
            QVERIFY(!box->hasSelectedText());
    }

    // Tab in the editor is a move, never a character that Save would write into the portfolio.
    void editorTakesTabAsAMove() {
        QTemporaryDir dir;
        const QString path = dir.filePath("tabs.txt");
        QVERIFY(writeFileBytes(path, "IBM\n"));
        OpenDialogSeam::queueAnswer(path);
        QVERIFY(showTab("Historical"));
        QTest::mouseClick(named<QPushButton>("Button5"), Qt::LeftButton);
        auto* editor = named<MirrorTextEdit>("RichEdit2");
        QTest::mouseClick(editor->viewport(), Qt::LeftButton);
        QCOMPARE(focusName(), QString("RichEdit2"));
        QTest::keyClick(editor, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClick(editor, Qt::Key_Return);
        QTest::keyClicks(editor, "MSFT");
        QTest::keyClick(editor, Qt::Key_Tab);
        QCOMPARE(focusName(), QString("RichEdit3"));
        QTest::keyClicks(form().focusWidget(), "GE");
        MessageBoxSeam::queueAnswer(MsgAnswer::Ok);
        QTest::mouseClick(named<QPushButton>("Button7"), Qt::LeftButton);
        QCOMPARE(fileBytes(path), QByteArray("IBM\nMSFT\n"));
    }

    // A click in the grid while the pages of a load started by F5 arrive selects a row; every row
    // still lands at its own place.
    void clickInGridDuringLoadKeepsRows_data() {
        QTest::addColumn<bool>("realTime");
        QTest::newRow("Quotes") << false;
        QTest::newRow("RealTime") << true;
    }
    void clickInGridDuringLoadKeepsRows() {
        QFETCH(bool, realTime);
        QuotedProcess server({"--slow", "15"}, QuotedProcess::Recording::On);
        QVERIFY2(server.isListening(), qPrintable(server.errorText()));
        useQuoteServer(server.port());
        LoadFolder folder;
        const QStringList symbols = knownSymbols(41);
        folder.writePortfolio(symbols);
        auto* grid = named<QuoteGrid>(realTime ? "RT1" : "QT1");
        // The mirror takes every row as the load stores it: its lines count the rows so far.
        auto* mirror = named<MirrorTextEdit>(realTime ? "DisplayQR1" : "DisplayQR");
        mirror->clear();
        QVERIFY(showTab(realTime ? "RealTime" : "Quotes"));

        QTest::keyClick(&form(), Qt::Key_F5); // "Get Quotes" of the tab in front
        QVERIFY(QTest::qWaitFor([&] { return mirror->lines().size() >= 20; }, 20000));
        QVERIFY2(mirror->lines().size() < 41, "the load must still be running when the grid is clicked");
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, rowPoint(grid, 2));
        QTest::keyClick(&form(), Qt::Key_F5); // starts nothing while the load runs, nor on the editor's tab
        QVERIFY(waitForLoadsToEnd());
        QCOMPARE(server.recordedRequests().size(), 3);
        QVERIFY(showTab("Historical"));
        QTest::keyClick(&form(), Qt::Key_F5);
        QVERIFY(!loadRunning(realTime ? QuoteTab::RealTime : QuoteTab::Quotes));

        QCOMPARE(grid->rowCount(), 41);
        for (int i = 0; i < 41; ++i)
            QCOMPARE(grid->cell(0, i).trimmed(), symbols[i]);
        const QStringList lines = mirror->lines();
        QCOMPARE(lines.size(), 41);
        for (int i = 0; i < 41; ++i)
            QCOMPARE(lines[i].section(' ', 0, 0, QString::SectionSkipEmpty), symbols[i]);
    }

    // A box taking the focus from "Find symbol" is not the user moving on: the selected row
    // stays. The user's own Tab from the button does run the step.
    void findButtonFocusOutOnlyOnUserMoves() {
        QuotedProcess server;
        QVERIFY(server.isListening());
        useQuoteServer(server.port());
        LoadFolder folder;
        folder.writePortfolio(knownSymbols(12));
        QVERIFY(runDelayedLoad());

        auto* grid = named<QuoteGrid>("QT1");
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, rowPoint(grid, 5));
        QCOMPARE(grid->currentRow(), 5);
        named<QLineEdit>("Edit2")->setText("ZZZZ");
        MessageBoxSeam::showRealBoxes();
        QString said;
        closeNextBoxWithKey(Qt::Key_Return, &said);
        QTest::mouseClick(named<QPushButton>("Button2"), Qt::LeftButton);
        QCOMPARE(said, QString("Symbol Not Found!"));
        QCOMPARE(focusName(), QString("Button2"));
        QCOMPARE(grid->currentRow(), 5);

        QApplication::setActiveWindow(&form()); // the window system gives the focus back
        QTest::keyClick(named("Button2"), Qt::Key_Tab);
        QCOMPARE(focusName(), QString("Portfolio"));
        QCOMPARE(grid->currentRow(), 0);
    }

    // Pressed during a load, "Find symbol" is refused in a real box; closing it by key leaves the
    // load's rows where they belong.
    void findDuringLoadIsRefused() {
        QuotedProcess server({"--slow", "15"});
        QVERIFY(server.isListening());
        useQuoteServer(server.port());
        LoadFolder folder;
        const QStringList symbols = knownSymbols(41);
        folder.writePortfolio(symbols);
        QVERIFY(showTab("Quotes"));
        named<QLineEdit>("Edit2")->setText(symbols[3]);
        auto* mirror = named<MirrorTextEdit>("DisplayQR");
        mirror->clear();
        QTest::mouseClick(named<QPushButton>("BtnQuote"), Qt::LeftButton);
        QVERIFY(QTest::qWaitFor([mirror] { return mirror->lines().size() >= 20; }, 20000));
        MessageBoxSeam::showRealBoxes();
        QString said;
        closeNextBoxWithKey(Qt::Key_Escape, &said);
        QTest::mouseClick(named<QPushButton>("Button2"), Qt::LeftButton);
        QCOMPARE(said, QString("Find symbol function is not available until all quotes have loaded"));
        QVERIFY(waitForLoadsToEnd());
        for (int i = 0; i < 41; ++i)
            QCOMPARE(named<QuoteGrid>("QT1")->cell(0, i).trimmed(), symbols[i]);
    }

    // Ctrl+F leads to the Find box. After a match the keyboard is on the grid's found row; what is typed next goes
    // nowhere unseen, and typing in a count box changes no count.
    void findLeavesTheKeyboardOnTheGrid() {
        QuotedProcess server;
        QVERIFY(server.isListening());
        useQuoteServer(server.port());
        LoadFolder folder;
        const QStringList symbols = knownSymbols(12);
        folder.writePortfolio(symbols);
        QVERIFY(runDelayedLoad());
        const QStringList mirrorBefore = named<MirrorTextEdit>("DisplayQR")->lines();

        auto* key = named<QLineEdit>("Edit2");
        QVERIFY(showTab("RealTime"));
        QTest::keyClick(&form(), Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(focusName(), QString("Edit2"));
        key->clear();
        QTest::keyClicks(key, symbols[7].toLower());
        QTest::keyClick(key, Qt::Key_Return);
        QCOMPARE(focusName(), QString("QT1"));
        QCOMPARE(named<QuoteGrid>("QT1")->currentRow(), 7);
        QTest::keyClicks(form().focusWidget(), "xyz");
        QCOMPARE(named<MirrorTextEdit>("DisplayQR")->lines(), mirrorBefore);
        QCOMPARE(named<QuoteGrid>("QT1")->cell(0, 7).trimmed(), symbols[7]);
        for (const char* name : {"Adv", "Decl", "NoChg"}) {
            const QString shown = named<QLineEdit>(name)->text();
            QTest::keyClicks(named(name), "\bx");
            QCOMPARE(named<QLineEdit>(name)->text(), shown);
        }
    }
};

QTEST_MAIN(KeyboardAndFocusTest)
#include "test_keyboard_and_focus.moc"
