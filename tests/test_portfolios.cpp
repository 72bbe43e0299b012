// Portfolios: each quote tab's "Select Portfolio" with the grid reset, the Portfolios tab's
// editor (Edit, Create, Save, Cancel) and the Create Portfolio dialog, driven through the
// buttons with the open dialogs and message boxes answered in-process.
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>

#include "gui_support/load_fixture.h"
#include "gui_support/tickwell_windows.h"
#include "platform/message_box.h"
#include "platform/mirror_text_edit.h"
#include "platform/open_dialog.h"
#include "platform/quote_grid.h"
#include "support/file_bytes.h"
#include "support/quoted_process.h"

namespace {
const QString EditWhileOpen = "Porfolio list currently open. Select Cancel or Save before editing another portfolio. ";
const QString CreateWhileOpen =
    "Porfolio list currently open. Select Cancel or Save before creating another portfolio. ";
const QString SaveQuestion = "Are you sure you want to Save this portfolio list?";
const QString CancelQuestion =
    "Are you sure you want to Cancel?  All work on this portfolio will  be lost if you click OK.";

const QString Dialog = "CreatePort1";

MirrorTextEdit* portfolioEditor() {
    return control<MirrorTextEdit>("RichEdit2");
}

QLineEdit* box(const char* name) {
    return control<QLineEdit>(name);
}

// The editor's file name, shown while a portfolio is open in it.
QLabel* editorCaption() {
    return control<QLabel>("StaticText12");
}

bool editorOpen() {
    return !editorCaption()->isHidden();
}

// The editor's lines as the user sees them.
QStringList editorLines() {
    const QString text = portfolioEditor()->toPlainText();
    return text.isEmpty() ? QStringList() : text.split('\n');
}

void click(const char* button) {
    QTest::mouseClick(control<QPushButton>(button), Qt::LeftButton);
}

void clickInDialog(const char* button) {
    QTest::mouseClick(control<QPushButton>(Dialog, button), Qt::LeftButton);
}

// "Edit Portfolio" with the open dialog answering path (nullopt: the dialog is cancelled).
void editPortfolio(const std::optional<QString>& path) {
    OpenDialogSeam::queueAnswer(path);
    click("Button5");
}

struct DialogVisit {
    bool shown = false;
    bool stayedOpen = false; // after the button was clicked
    QString editAfter;       // Edit1 after the button was clicked
};

// "Create Portfolio": while the dialog is up, the name goes into Edit1 and OK (or Cancel) is
// clicked. A dialog that stays open is then closed from its title bar so the test goes on.
DialogVisit createPortfolio(const QString& name, bool ok) {
    auto visit = std::make_shared<DialogVisit>();
    QWidget* dialog = findWindow(Dialog);
    QTimer::singleShot(0, dialog, [visit, dialog, name, ok] {
        if (!dialog->isVisible())
            return;
        visit->shown = true;
        control<QLineEdit>(Dialog, "Edit1")->setText(name);
        clickInDialog(ok ? "Button1" : "Button2");
        visit->stayedOpen = dialog->isVisible();
        visit->editAfter = control<QLineEdit>(Dialog, "Edit1")->text();
        if (visit->stayedOpen)
            dialog->close();
    });
    click("Button6");
    QCoreApplication::processEvents(); // the answer runs now if no dialog was shown
    return *visit;
}

// Fills every cell of a grid with "col,row" and puts the current row at 7.
void fillGrid(QuoteGrid* grid, int rows) {
    grid->setRowCount(rows);
    for (int row = 0; row < rows; ++row)
        for (int col = 0; col < 7; ++col)
            grid->setCell(col, row, QString("%1,%2").arg(col).arg(row));
    grid->setCurrentRow(7);
}

bool runningAsRoot() {
    return geteuid() == 0;
}
} // namespace

class PortfoliosTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        tickwellWindow().show();
        QVERIFY(QTest::qWaitForWindowExposed(&tickwellWindow()));
    }
    void init() {
        QVERIFY(showTab("Historical"));
        if (editorOpen()) { // a test left a portfolio open: Cancel, OK
            MessageBoxSeam::queueAnswer(MsgAnswer::Ok);
            click("Button8");
        }
        QVERIFY(!editorOpen());
        portfolioEditor()->clear();
        forgetChosenFolders();
        control<QLineEdit>(Dialog, "Edit1")->clear();
        MessageBoxSeam::clear();
        OpenDialogSeam::clear();
    }
    void cleanup() {
        QVERIFY(!findWindow(Dialog)->isVisible());
        QVERIFY(waitForLoadsToEnd());
        QCOMPARE(openTextFiles(), QStringList());
    }

    void createPortfolioDialog() {
        auto* dialog = qobject_cast<QDialog*>(findWindow(Dialog));
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), QString("Create Portfolio"));
        auto* label = control<QLabel>(Dialog, "Label1");
        QCOMPARE(label->text(), QString("Enter portfolio name (e.g. \"SP500_Stocks):"));
        QCOMPARE(label->text().count('"'), 1);
        QVERIFY(label->font().bold());
        QCOMPARE(control<QLineEdit>(Dialog, "Edit1")->width(), 289);
        QCOMPARE(control<QPushButton>(Dialog, "Button1")->text(), QString("OK"));
        QCOMPARE(control<QPushButton>(Dialog, "Button2")->text(), QString("Cancel"));
        QVERIFY(dialog->isModal());
        QCOMPARE(dialog->size(), QSize(398, 183));
        QVERIFY(!dialog->isVisible());
    }

    void closingTheDialogFromItsTitleBarKeepsEdit1() {
        auto shown = std::make_shared<bool>(false);
        QWidget* dialog = findWindow(Dialog);
        QTimer::singleShot(0, dialog, [shown, dialog] {
            *shown = dialog->isVisible();
            control<QLineEdit>(Dialog, "Edit1")->setText("half typed");
            dialog->close();
        });
        click("Button6");
        QVERIFY(*shown);
        QCOMPARE(control<QLineEdit>(Dialog, "Edit1")->text(), QString("half typed"));
        QVERIFY(!editorOpen());
        // No portfolio behind the editor: Save asks nothing.
        click("Button7");
        QVERIFY(MessageBoxSeam::shown().isEmpty());
    }

    // Every row of the editor's state table; the Open rows start from pf.txt opened and edited.
    void stateTable_data() {
        QTest::addColumn<bool>("startOpen");
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("answerOk"); // file chosen / OK in the dialog or the question
        QTest::addColumn<bool>("endOpen");
        QTest::addColumn<QString>("question"); // the one box shown, if any
        QTest::addColumn<QStringList>("editor");
        QTest::addColumn<QByteArray>("fileAfter");
        const QByteArray original = "IBM\nMSFT\n";
        const QStringList typed = {"XOM"};        // typed while Closed
        const QStringList edited = {"IBM", "KO"}; // pf.txt after the user's change
        QTest::newRow("Closed, Edit, file chosen")
            << false << "edit" << true << true << "" << QStringList{"IBM", "MSFT"} << original;
        QTest::newRow("Closed, Edit, dialog cancelled")
            << false << "edit" << false << false << "" << QStringList() << original;
        QTest::newRow("Closed, Create, OK") << false << "create" << true << true << "" << typed << original;
        QTest::newRow("Closed, Create, Cancel") << false << "create" << false << false << "" << typed << original;
        QTest::newRow("Closed, Save") << false << "save" << true << false << "" << typed << original;
        QTest::newRow("Closed, Cancel") << false << "cancel" << true << false << "" << typed << original;
        QTest::newRow("Open, Edit") << true << "edit" << true << true << EditWhileOpen << edited << original;
        QTest::newRow("Open, Create") << true << "create" << true << true << CreateWhileOpen << edited << original;
        QTest::newRow("Open, Save, OK") << true << "save" << true << false << SaveQuestion << QStringList()
                                        << QByteArray("IBM\nKO\n");
        QTest::newRow("Open, Save, Cancel") << true << "save" << false << true << SaveQuestion << edited << original;
        QTest::newRow("Open, Cancel, OK")
            << true << "cancel" << true << false << CancelQuestion << QStringList() << original;
        QTest::newRow("Open, Cancel, Cancel")
            << true << "cancel" << false << true << CancelQuestion << edited << original;
    }
    void stateTable() {
        QFETCH(bool, startOpen);
        QFETCH(QString, command);
        QFETCH(bool, answerOk);
        QFETCH(bool, endOpen);
        QFETCH(QString, question);
        QFETCH(QStringList, editor);
        QFETCH(QByteArray, fileAfter);
        LoadFolder folder;
        writeFileBytes(folder.path("pf.txt"), "IBM\nMSFT\n");
        const QString quotesName = box("Portfolio")->text(), realTimeName = box("Portfolio1")->text();
        if (startOpen) {
            editPortfolio(folder.path("pf.txt"));
            QVERIFY(editorOpen());
            portfolioEditor()->setPlainText("IBM\nKO");
        } else {
            portfolioEditor()->setPlainText("XOM");
        }
        const int dialogRuns = OpenDialogSeam::runs();
        MessageBoxSeam::clear();
        MessageBoxSeam::queueAnswer(answerOk ? MsgAnswer::Ok : MsgAnswer::Cancel);

        DialogVisit visit;
        if (command == "edit")
            editPortfolio(answerOk ? std::optional<QString>(folder.path("pf.txt")) : std::nullopt);
        else if (command == "create")
            visit = createPortfolio("newpf", answerOk);
        else
            click(command == "save" ? "Button7" : "Button8");

        QCOMPARE(editorOpen(), endOpen);
        QCOMPARE(control("RichEdit3")->isHidden(), !endOpen);
        QCOMPARE(editorLines(), editor);
        const QList<MessageBoxSeam::Shown> boxes = MessageBoxSeam::shown();
        QCOMPARE(boxes.size(), question.isEmpty() ? 0 : 1);
        if (!question.isEmpty()) {
            QCOMPARE(boxes[0].text, question);
            QCOMPARE(boxes[0].caption, QString("Attention"));
            const bool asks = command == "save" || command == "cancel";
            QCOMPARE(boxes[0].buttons, asks ? MsgButtons::OkCancel : MsgButtons::Ok);
        }
        if (startOpen) {
            // A warning is all an Edit or Create gets while a portfolio is open.
            QCOMPARE(OpenDialogSeam::runs(), dialogRuns);
            QVERIFY(!visit.shown);
        }
        const QString name = command == "create" && !startOpen ? "newpf.txt" : "pf.txt";
        if (endOpen) {
            QCOMPARE(editorCaption()->text(), name);
            QCOMPARE(control<MirrorTextEdit>("RichEdit3")->toPlainText(),
                     QString("Add or Delete stock symbols in the box on \n"
                             "the left.  Type only one symbol per line.  \n"
                             "Click Save after making changes to the list \n"
                             "on the left.  "));
        }
        if (command == "create" && !startOpen) {
            QVERIFY(visit.shown);
            QVERIFY(!visit.stayedOpen);
            QVERIFY(visit.editAfter.isEmpty());
            QVERIFY2(!QFile::exists(folder.path("newpf.txt")), "no file before Save");
        }
        QCOMPARE(fileBytes(folder.path("pf.txt")), fileAfter);
        QCOMPARE(box("Portfolio")->text(), quotesName);
        QCOMPARE(box("Portfolio1")->text(), realTimeName);
        if (endOpen) {
            // The editor is still on the portfolio it opened or created: Save writes there.
            MessageBoxSeam::clear();
            MessageBoxSeam::queueAnswer(MsgAnswer::Ok);
            click("Button7");
            QVERIFY(!editorOpen());
            QCOMPARE(fileBytes(folder.path(name)), (editor.join('\n') + '\n').toLatin1());
        }
    }

    // Opened in the editor, then saved unchanged: what the editor shows and what Save writes.
    void openAndSave_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("editor");
        const QString a79(79, 'A'), a21(21, 'A');
        QTest::newRow("leading blank drops the line") << QByteArray(" IBM\nMSFT\n") << QStringList{"MSFT"};
        QTest::newRow("one of two trailing blanks kept") << QByteArray("IBM  \nKO \n") << QStringList{"IBM ", "KO"};
        QTest::newRow("last line without newline taken whole") << QByteArray("IBM\nKO ") << QStringList{"IBM", "KO "};
        QTest::newRow("100 characters are two lines") << QByteArray(100, 'A') + "\n" << QStringList{a79, a21};
        QTest::newRow("empty lines removed") << QByteArray("\nIBM\n\n\nMSFT\n\n") << QStringList{"IBM", "MSFT"};
        QTest::newRow("CR LF lines") << QByteArray("IBM \r\n\r\nKO\r\n") << QStringList{"IBM", "KO"};
        QStringEncoder utf16(QStringEncoder::Utf16BE, QStringEncoder::Flag::WriteBom);
        QTest::newRow("UTF-16") << QByteArray(utf16(QString("IBM\r\nKO\n"))) << QStringList{"IBM", "KO"};
        QTest::newRow("empty file") << QByteArray() << QStringList();
    }
    void openAndSave() {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, editor);
        LoadFolder folder;
        writeFileBytes(folder.path("pf.txt"), file);
        editPortfolio(folder.path("pf.txt"));
        // Alert rules sit beside portfolios; only the editor's dialog offers them.
        QCOMPARE(OpenDialogSeam::lastFilters(), QString("Text File (*.txt *.TXT);;All (*);;Alert rules (*.alerts)"));
        QVERIFY(editorOpen());
        QCOMPARE(editorLines(), editor);
        click("Button7");
        QVERIFY(!editorOpen());
        QByteArray expected;
        for (const QString& line : editor)
            expected += line.toLatin1() + "\n";
        QCOMPARE(fileBytes(folder.path("pf.txt")), expected);
    }

    void saveWritesEveryLineAsItIs() {
        LoadFolder folder;
        portfolioEditor()->setPlainText("IBM\n\n KO  \n\n");
        const DialogVisit visit = createPortfolio("typed", true);
        QVERIFY(visit.shown);
        QVERIFY(editorOpen());
        click("Button7");
        // The last line break closes the empty line before it; nothing after it is a line.
        QCOMPARE(fileBytes(folder.path("typed.txt")), QByteArray("IBM\n\n KO  \n\n"));
        QVERIFY(portfolioEditor()->toPlainText().isEmpty());
    }

    void createdNames_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("fileName");
        QTest::newRow("plain") << "SP500_Stocks"
                               << "SP500_Stocks.txt";
        QTest::newRow("already ends in .txt") << "mine.txt"
                                              << "mine.txt.txt";
        QTest::newRow("blanks kept") << " my list "
                                     << " my list .txt";
    }
    void createdNames() {
        QFETCH(QString, typed);
        QFETCH(QString, fileName);
        LoadFolder folder;
        portfolioEditor()->setPlainText("IBM");
        const DialogVisit visit = createPortfolio(typed, true);
        QVERIFY(visit.shown && !visit.stayedOpen);
        QCOMPARE(editorCaption()->text(), fileName);
        click("Button7");
        QVERIFY(!editorOpen());
        QCOMPARE(fileBytes(folder.path(fileName)), QByteArray("IBM\n"));
        QCOMPARE(QDir(folder.path(".")).entryList(QDir::Files | QDir::Hidden), QStringList{fileName});
    }

    void createRefusesNamesThatCannotBeFileNames_data() {
        QTest::addColumn<QString>("typed");
        QTest::newRow("slash") << "sub/list";
        QTest::newRow("leading slash") << "/etc/list";
        QTest::newRow("backslash") << "sub\\list";
        QTest::newRow("control character") << "list\tname";
        QTest::newRow("NUL character") << QString("list") + QChar(0) + "name";
    }
    void createRefusesNamesThatCannotBeFileNames() {
        QFETCH(QString, typed);
        LoadFolder folder;
        const DialogVisit visit = createPortfolio(typed, true);
        QVERIFY(visit.shown);
        QVERIFY2(visit.stayedOpen, "the dialog stays open for another name");
        QCOMPARE(visit.editAfter, typed);
        const QList<MessageBoxSeam::Shown> boxes = MessageBoxSeam::shown();
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].caption, QString("Attention"));
        QCOMPARE(boxes[0].buttons, MsgButtons::Ok);
        QVERIFY(!editorOpen());
        QVERIFY(QDir(folder.path(".")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
    }

    void saveThatCannotOpenKeepsTheEditorOpen_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("obstacle"); // "folder", "readonly" or ""
        QTest::newRow("a folder of that name") << "taken"
                                               << "folder";
        QTest::newRow("name too long") << QString(300, 'x') << "";
        QTest::newRow("unwritable folder") << "list"
                                           << "readonly";
    }
    void saveThatCannotOpenKeepsTheEditorOpen() {
        QFETCH(QString, typed);
        QFETCH(QString, obstacle);
        if (obstacle == "readonly" && runningAsRoot())
            QSKIP("running as root: a folder without write permission does not stop root");
        LoadFolder folder;
        if (obstacle == "folder")
            QVERIFY(QDir(folder.path(".")).mkdir(typed + ".txt"));
        portfolioEditor()->setPlainText("IBM\nKO");
        QVERIFY(createPortfolio(typed, true).shown);
        QVERIFY(editorOpen());
        if (obstacle == "readonly")
            QVERIFY(QFile::setPermissions(folder.path("."), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        click("Button7");
        if (obstacle == "readonly")
            QFile::setPermissions(folder.path("."),
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

        const QList<MessageBoxSeam::Shown> boxes = MessageBoxSeam::shown();
        QCOMPARE(boxes.size(), 2);
        QCOMPARE(boxes[0].text, SaveQuestion);
        // The box names the portfolio the editor still holds.
        QVERIFY2(boxes[1].text.contains(folder.path(typed + ".txt")), qPrintable(boxes[1].text));
        QCOMPARE(boxes[1].caption, QString("Attention"));
        QCOMPARE(boxes[1].buttons, MsgButtons::Ok);
        QVERIFY(editorOpen());
        QCOMPARE(editorLines(), QStringList({"IBM", "KO"}));
        // The work can still be thrown away.
        click("Button8");
        QVERIFY(!editorOpen());
    }

    void editOfAFileThatCannotBeOpened_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kind"); // "vanished", "folder" or "readonly"
        QTest::newRow("vanished") << "gone.txt"
                                  << "vanished";
        QTest::newRow("a folder chosen") << "dir.txt"
                                         << "folder";
        QTest::newRow("read-only file") << "locked.txt"
                                        << "readonly";
    }
    void editOfAFileThatCannotBeOpened() {
        QFETCH(QString, name);
        QFETCH(QString, kind);
        if (kind == "readonly" && runningAsRoot())
            QSKIP("running as root: a read-only file still opens for writing as root");
        LoadFolder folder;
        if (kind == "folder")
            QVERIFY(QDir(folder.path(".")).mkdir(name));
        if (kind == "readonly") {
            writeFileBytes(folder.path(name), "IBM\n");
            QVERIFY(QFile::setPermissions(folder.path(name), QFileDevice::ReadOwner));
        }
        portfolioEditor()->setPlainText("XOM");
        editPortfolio(folder.path(name));

        const QList<MessageBoxSeam::Shown> boxes = MessageBoxSeam::shown();
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes[0].text.contains(name), qPrintable(boxes[0].text));
        QCOMPARE(boxes[0].caption, QString("Attention"));
        QVERIFY(!editorOpen());
        QVERIFY(control("RichEdit3")->isHidden());
        QVERIFY(portfolioEditor()->toPlainText().isEmpty());
        QCOMPARE(openTextFiles(), QStringList());
        // Closed means Save asks nothing and writes nothing.
        click("Button7");
        QCOMPARE(MessageBoxSeam::shown().size(), 1);
    }

    // Each choice pauses the window for a second, so the rows are few.
    void choosingTakesTheBareName_data() {
        QTest::addColumn<bool>("quotesTab");
        QTest::addColumn<QString>("chosen"); // inside the scratch folder; empty: the dialog is cancelled
        QTest::addColumn<QString>("name");
        QTest::newRow("Quotes, nested folder") << true << "deep/er/nested1.txt"
                                               << "nested1.txt";
        QTest::newRow("RealTime, backslash is part of a name here") << false << "back\\slash.txt"
                                                                    << "back\\slash.txt";
        QTest::newRow("Quotes, cancelled") << true << ""
                                           << "";
    }
    void choosingTakesTheBareName() {
        QFETCH(bool, quotesTab);
        QFETCH(QString, chosen);
        QFETCH(QString, name);
        LoadFolder folder;
        QLineEdit* edit = box(quotesTab ? "Portfolio" : "Portfolio1");
        const QString dialog = quotesTab ? "OpenFile" : "OpenFile1";
        const QString otherDialog = quotesTab ? "OpenFile1" : "OpenFile";
        const QString before = edit->text(), otherBefore = openDialogLastFile(otherDialog);
        const QString startFolder = QDir::currentPath();
        QString path;
        if (!chosen.isEmpty()) {
            path = folder.path(chosen);
            QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
            writeFileBytes(path, "IBM\n");
        }
        OpenDialogSeam::queueAnswer(chosen.isEmpty() ? std::nullopt : std::optional<QString>(path));
        portfolioEditor()->setPlainText("XOM");
        QElapsedTimer clock;
        clock.start();
        click(quotesTab ? "PortName" : "Button1");
        QVERIFY2(clock.elapsed() >= 1000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(clock.elapsed() < 3000);
        QCOMPARE(OpenDialogSeam::runs(), 1);
        QCOMPARE(OpenDialogSeam::lastFilters(), openDialogFilter(dialog));
        QCOMPARE(openDialogLastFile(otherDialog), otherBefore);
        QCOMPARE(QDir::currentPath(), startFolder); // the tab keeps the folder, not the process
        if (chosen.isEmpty()) {
            QCOMPARE(edit->text(), before);
        } else {
            QCOMPARE(edit->text(), name);
            QCOMPARE(openDialogLastFile(dialog), path);
        }
        QCOMPARE(editorLines(), QStringList{"XOM"}); // the editor is not touched
        QVERIFY(!editorOpen());
    }

    void changeOfNameResetsTheGrid_data() {
        QTest::addColumn<bool>("quotesTab");
        QTest::addColumn<QList<int>>("keptColumns");
        QTest::newRow("Quotes: QT1 but its spacer column") << true << QList<int>{3};
        QTest::newRow("RealTime: all of RT1") << false << QList<int>{};
    }
    void changeOfNameResetsTheGrid() {
        QFETCH(bool, quotesTab);
        QFETCH(QList<int>, keptColumns);
        LoadFolder folder;
        auto* grid = control<QuoteGrid>(quotesTab ? "QT1" : "RT1");
        QLineEdit* edit = box(quotesTab ? "Portfolio" : "Portfolio1");
        const QString name = edit->text() == "reset_a.txt" ? "reset_b.txt" : "reset_a.txt";
        writeFileBytes(folder.path(name), "IBM\n");
        fillGrid(grid, 45);
        box("Edit1")->setText("7 before");
        OpenDialogSeam::queueAnswer(folder.path(name));
        click(quotesTab ? "PortName" : "Button1");
        QCOMPARE(edit->text(), name);
        QCOMPARE(grid->rowCount(), 40);
        QCOMPARE(grid->currentRow(), 0);
        QCOMPARE(box("Edit1")->text(), QString());
        for (int row = 0; row < 40; ++row)
            for (int col = 0; col < 7; ++col)
                QCOMPARE(grid->cell(col, row),
                         keptColumns.contains(col) ? QString("%1,%2").arg(col).arg(row) : QString());
    }

    void sameNameFromAnotherFolderKeepsTheGridButLoadsFromThere() {
        QuotedProcess server({}, QuotedProcess::Recording::On);
        QVERIFY2(server.isListening(), qPrintable(server.errorText()));
        useQuoteServer(server.port());
        LoadFolder first;
        first.writePortfolio({"IBM"});
        QTemporaryDir second;
        QVERIFY(second.isValid());
        writeFileBytes(second.filePath("input.txt"), "MSFT\nKO\n");
        namePortfolio(QuoteTab::Quotes, "input.txt");
        auto* grid = control<QuoteGrid>("QT1");
        fillGrid(grid, 45);
        box("Edit1")->setText("kept");

        const QString startFolder = QDir::currentPath();
        OpenDialogSeam::queueAnswer(second.filePath("input.txt"));
        click("PortName");
        QCOMPARE(box("Portfolio")->text(), QString("input.txt"));
        QCOMPARE(grid->rowCount(), 45);
        QCOMPARE(grid->cell(0, 0), QString("0,0"));
        QCOMPARE(box("Edit1")->text(), QString("kept"));
        QCOMPARE(QDir::currentPath(), startFolder);

        QVERIFY(runDelayedLoad());
        const QList<QByteArray> requests = server.recordedRequests();
        QCOMPARE(requests.size(), 1);
        QVERIFY2(requests[0].startsWith("GET /q/cq?s=MSFT,KO&"), requests[0].constData());
        QVERIFY(QFile::exists(second.filePath("input_data_qt1.txt")));
        QVERIFY(!QFile::exists(first.path("input_data_qt1.txt")));
    }

    // Each quote tab reads its portfolio from, and writes its data file into, the folder of the
    // portfolio chosen on it; another bare name in its Portfolio box is looked for there as well.
    void eachTabLoadsFromItsOwnFolder() {
        QuotedProcess server({}, QuotedProcess::Recording::On);
        QVERIFY2(server.isListening(), qPrintable(server.errorText()));
        useQuoteServer(server.port());
        LoadFolder start;
        QTemporaryDir quotesDir, realTimeDir;
        QVERIFY(quotesDir.isValid() && realTimeDir.isValid());
        // The same names in several folders with other symbols: the request shows where a load read.
        for (const char* name : {"q.txt", "rt.txt", "other.txt"})
            writeFileBytes(start.path(name), "KO\n");
        writeFileBytes(quotesDir.filePath("q.txt"), "MSFT\nIBM\n");
        writeFileBytes(quotesDir.filePath("other.txt"), "GE\nF\n");
        writeFileBytes(realTimeDir.filePath("rt.txt"), "PEP\nXOM\nT\n");
        writeFileBytes(realTimeDir.filePath("other.txt"), "HD\nBA\n");
        OpenDialogSeam::queueAnswer(quotesDir.filePath("q.txt"));
        click("PortName");
        OpenDialogSeam::queueAnswer(realTimeDir.filePath("rt.txt"));
        click("Button1");
        QVERIFY(clickGetQuotes(QuoteTab::Quotes) >= 0);
        QVERIFY(clickGetQuotes(QuoteTab::RealTime) >= 0);
        // The boxes are read-only to the user: the name is set as the program would.
        namePortfolio(QuoteTab::Quotes, "other.txt");
        namePortfolio(QuoteTab::RealTime, "other.txt");
        QVERIFY(clickGetQuotes(QuoteTab::Quotes) >= 0);
        QVERIFY(clickGetQuotes(QuoteTab::RealTime) >= 0);

        QList<QByteArray> paths;
        for (const QByteArray& request : server.recordedRequests())
            paths << request.split(' ').value(1);
        QCOMPARE(paths, QList<QByteArray>({"/q/cq?s=MSFT,IBM&d=v1", "/q/cq?s=PEP,XOM,T&d=e", "/q/cq?s=GE,F&d=v1",
                                           "/q/cq?s=HD,BA&d=e"}));
        const auto files = [](const QString& folder) { return QDir(folder).entryList(QDir::Files | QDir::Hidden); };
        QCOMPARE(files(start.path(".")), QStringList({"other.txt", "q.txt", "rt.txt"}));
        QCOMPARE(files(quotesDir.path()), QStringList({"other.txt", "other_data_qt1.txt", "q.txt", "q_data_qt1.txt"}));
        QCOMPARE(files(realTimeDir.path()),
                 QStringList({"other.txt", "other_data_qt2.txt", "rt.txt", "rt_data_qt2.txt"}));
        namePortfolio(QuoteTab::Quotes, "input.txt");
        namePortfolio(QuoteTab::RealTime, "input.txt");
    }

    // Save writes the file the editor opened or created, wherever the tabs have moved since.
    void saveGoesToThePathOpenedOrCreated_data() {
        QTest::addColumn<bool>("created");
        QTest::newRow("opened from another folder") << false;
        QTest::newRow("created, then a Quotes portfolio chosen elsewhere") << true;
    }
    void saveGoesToThePathOpenedOrCreated() {
        QFETCH(bool, created);
        LoadFolder start;
        QTemporaryDir other;
        QVERIFY(other.isValid());
        writeFileBytes(other.filePath("pf.txt"), "IBM\n");
        if (created) {
            QVERIFY(createPortfolio("pf", true).shown);
            OpenDialogSeam::queueAnswer(other.filePath("pf.txt"));
            click("PortName");
        } else {
            editPortfolio(other.filePath("pf.txt"));
        }
        QVERIFY(editorOpen());
        portfolioEditor()->setPlainText("KO\nPEP");
        click("Button7");
        QVERIFY(!editorOpen());
        const QString saved = created ? start.path("pf.txt") : other.filePath("pf.txt");
        const QString untouched = created ? other.filePath("pf.txt") : start.path("pf.txt");
        QCOMPARE(fileBytes(saved), QByteArray("KO\nPEP\n"));
        QCOMPARE(fileBytes(untouched), created ? QByteArray("IBM\n") : QByteArray("<missing>"));
        namePortfolio(QuoteTab::Quotes, "input.txt");
    }

    // A disk that takes only a few bytes more (a file size limit, with SIGXFSZ ignored so that the
    // write fails rather than ending the program): the old file stays whole and the work stays open.
    void saveThatCannotWriteKeepsTheOldFile() {
        LoadFolder folder;
        const QByteArray old = "IBM\nMSFT\n";
        writeFileBytes(folder.path("pf.txt"), old);
        editPortfolio(folder.path("pf.txt"));
        QVERIFY(editorOpen());
        const QStringList typed = knownSymbols(30);
        portfolioEditor()->setPlainText(typed.join('\n'));

        rlimit before{};
        QVERIFY(getrlimit(RLIMIT_FSIZE, &before) == 0);
        const rlimit small{4, before.rlim_max};
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        const bool limited = setrlimit(RLIMIT_FSIZE, &small) == 0;
        click("Button7");
        setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, previousHandler);
        QVERIFY(limited);

        QCOMPARE(fileBytes(folder.path("pf.txt")), old);
        QCOMPARE(QDir(folder.path(".")).entryList(QDir::Files | QDir::Hidden), QStringList{"pf.txt"});
        const QList<MessageBoxSeam::Shown> boxes = MessageBoxSeam::shown();
        QCOMPARE(boxes.size(), 2);
        QCOMPARE(boxes[0].text, SaveQuestion);
        QVERIFY2(boxes[1].text.startsWith("Cannot save the portfolio " + folder.path("pf.txt") + ": ") &&
                     boxes[1].text.endsWith(". Your list is still in the editor."),
                 qPrintable(boxes[1].text));
        QVERIFY(editorOpen());
        QCOMPARE(editorLines(), typed);
        // With room on the disk again, Save writes the work into the same portfolio.
        click("Button7");
        QVERIFY(!editorOpen());
        QCOMPARE(fileBytes(folder.path("pf.txt")), (typed.join('\n') + '\n').toLatin1());
    }
};

QTEST_MAIN(PortfoliosTest)
#include "test_portfolios.moc"
