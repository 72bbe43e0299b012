// Boxes and dialogs come up over the window they belong to, no edit is lost on the way out,
// portfolios keep every character, hidden file names are refused, and the help windows read
// as windows whose text never hides behind a horizontal scroll bar.
#include <QAbstractItemView>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>

#include "gui_support/tickwell_windows.h"
#include "platform/message_box.h"
#include "platform/mirror_text_edit.h"
#include "platform/open_dialog.h"
#include "support/file_bytes.h"

namespace {

QWidget& form() {
    return tickwellWindow();
}

MirrorTextEdit* editor() {
    return control<MirrorTextEdit>("RichEdit2");
}

void click(const char* button) {
    QTest::mouseClick(control<QPushButton>(button), Qt::LeftButton);
}

void clickInDialog(const char* button) {
    QTest::mouseClick(control<QPushButton>("CreatePort1", button), Qt::LeftButton);
}

bool editorOpen() {
    return !control("StaticText12")->isHidden();
}

// Opens the portfolio in the editor through Edit and its dialog.
void editPortfolio(const QString& path) {
    showTab("Historical");
    OpenDialogSeam::queueAnswer(path);
    click("Button5");
}

// Types a new last line, character by character, as a keyboard with any layout sends it.
void typeAtEnd(const QString& text) {
    QTest::mouseClick(editor()->viewport(), Qt::LeftButton);
    QTest::keyClick(editor(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(editor(), Qt::Key_Return);
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, editor(), Qt::Key_unknown, QString(c), Qt::NoModifier);
}

} // namespace

Q_DECLARE_METATYPE(MsgAnswer)

class BoxesAndEditsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QApplication::setQuitOnLastWindowClosed(false);
        form().show();
        QVERIFY(QTest::qWaitForWindowExposed(&form()));
    }
    void cleanup() {
        MessageBoxSeam::answerInTests();
        MessageBoxSeam::clear();
        OpenDialogSeam::clear();
        if (form().isHidden())
            form().show();
    }

    // With another window in front, a box and the open dialog still belong to the main window.
    void boxesAndDialogsBelongToTheWindow() {
        QWidget elsewhere;
        elsewhere.show();
        QApplication::setActiveWindow(&elsewhere);
        QVERIFY(QTest::qWaitForWindowActive(&elsewhere));
        MessageBoxSeam::showRealBoxes();
        QWidget* boxOwner = nullptr;
        QTimer::singleShot(50, [&] {
            QWidget* box = QApplication::activeModalWidget();
            boxOwner = box ? box->parentWidget() : nullptr;
            if (box)
                QTest::keyClick(box, Qt::Key_Return);
        });
        messageBox("Connection lost", "Attention");
        QCOMPARE(boxOwner, static_cast<QWidget*>(&form()));
        QCOMPARE(findWindow("CreatePort1")->parentWidget(), &form());
    }

    // The dialog lists upper-case text files and files without an extension.
    void openDialogFiltersShowEveryFile() {
        QTemporaryDir dir;
        for (const char* name : {"INPUT.TXT", "stocks", "a.txt", "notes.doc"})
            writeFileBytes(dir.filePath(name), "IBM\n");
        QFileDialog dialog(&form(), QString(), dir.path());
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setNameFilters(OpenDialog::qtFilter(OpenDialog("probe").filter()).split(";;"));
        QCOMPARE(dialog.nameFilters(), QStringList({"Text File (*.txt *.TXT)", "All (*)"}));
        auto listed = [&] {
            QStringList names;
            auto* model = dialog.findChild<QAbstractItemModel*>("qt_filesystem_model");
            const QModelIndex root =
                model ? dialog.findChild<QAbstractItemView*>("listView")->rootIndex() : QModelIndex();
            for (int row = 0; model && row < model->rowCount(root); ++row)
                names << model->index(row, 0, root).data().toString();
            names.sort();
            return names;
        };
        dialog.show();
        QTRY_COMPARE(listed(), QStringList({"INPUT.TXT", "a.txt"}));
        dialog.selectNameFilter("All (*)");
        QTRY_COMPARE(listed(), QStringList({"INPUT.TXT", "a.txt", "notes.doc", "stocks"}));
    }

    // An empty name, or one that makes a hidden file, is refused; the dialog stays open.
    void createRefusesHiddenAndEmptyNames_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("complaint");
        QTest::newRow("empty") << ""
                               << "Please type a name for the portfolio.";
        QTest::newRow("dot") << ".stocks"
                             << "A portfolio name cannot begin with \".\": the file would be hidden. Please type a "
                                "plain name.";
        QTest::newRow("folder") << "a/b"
                                << "A portfolio name cannot hold a folder separator (/ or \\) or control characters. "
                                   "Please type a plain name.";
    }
    void createRefusesHiddenAndEmptyNames() {
        QFETCH(QString, name);
        QFETCH(QString, complaint);
        // While the dialog from "Create Portfolio" is up: the name, OK, then Cancel.
        QWidget* dialog = findWindow("CreatePort1");
        bool stayedOpen = false;
        QTimer::singleShot(0, dialog, [&] {
            control<QLineEdit>("CreatePort1", "Edit1")->setText(name);
            clickInDialog("Button1");
            stayedOpen = dialog->isVisible();
            clickInDialog("Button2");
        });
        showTab("Historical");
        click("Button6");
        QVERIFY(stayedOpen);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(MessageBoxSeam::shown().size(), 1);
        QCOMPARE(MessageBoxSeam::shown()[0].text, complaint);
        QVERIFY(!editorOpen());
    }

    // Closing with unsaved edits, by Ctrl+Q too, asks; Cancel keeps the program, Discard and Save close it.
    void closingAsksAboutUnsavedEdits_data() {
        QTest::addColumn<MsgAnswer>("answer");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("Cancel") << MsgAnswer::Cancel << false << QByteArray("IBM\n");
        QTest::newRow("Discard") << MsgAnswer::Discard << true << QByteArray("IBM\n");
        QTest::newRow("Save") << MsgAnswer::Save << true << QByteArray("IBM\nMSFT\n");
    }
    void closingAsksAboutUnsavedEdits() {
        QFETCH(MsgAnswer, answer);
        QFETCH(bool, closed);
        QFETCH(QByteArray, file);
        QTemporaryDir dir;
        const QString path = dir.filePath("mine.txt");
        writeFileBytes(path, "IBM\n");
        editPortfolio(path);
        // Only typed text counts: an opened, untouched portfolio closes without a question.
        QVERIFY(form().close());
        QVERIFY(MessageBoxSeam::shown().isEmpty());
        form().show();

        typeAtEnd("MSFT");
        MessageBoxSeam::queueAnswer(answer);
        QApplication::setActiveWindow(&form());
        QTest::keyClick(editor(), Qt::Key_Q, Qt::ControlModifier); // as closing the window does
        QCOMPARE(MessageBoxSeam::shown().size(), 1);
        QCOMPARE(MessageBoxSeam::shown()[0].buttons, MsgButtons::SaveDiscardCancel);
        QVERIFY(MessageBoxSeam::shown()[0].text.contains("mine.txt"));
        QCOMPARE(form().isHidden(), closed);
        QCOMPARE(fileBytes(path), file);
        QCOMPARE(editorOpen(), answer != MsgAnswer::Save);
        if (editorOpen()) {
            MessageBoxSeam::queueAnswer(MsgAnswer::Ok);
            click("Button8");
        }
    }

    // What the editor saves is UTF-8; every character comes back as it was typed.
    void portfoliosKeepEveryCharacter() {
        QTemporaryDir dir;
        const QString path = dir.filePath("world.txt");
        writeFileBytes(path, QString("NESTLÉ\n").toUtf8());
        editPortfolio(path);
        QCOMPARE(editor()->toPlainText(), QString("NESTLÉ"));
        typeAtEnd(QString::fromUtf8("株A€"));
        MessageBoxSeam::queueAnswer(MsgAnswer::Ok);
        click("Button7");
        QCOMPARE(fileBytes(path), QString("NESTLÉ\n株A€\n").toUtf8());
        editPortfolio(path);
        QCOMPARE(editor()->toPlainText(), QString("NESTLÉ\n株A€"));
        MessageBoxSeam::queueAnswer(MsgAnswer::Ok);
        click("Button8");

        // A Latin-1 file written before still shows its characters.
        writeFileBytes(path, "NESTL\xc9\n");
        editPortfolio(path);
        QCOMPARE(editor()->toPlainText(), QString("NESTLÉ"));
        MessageBoxSeam::queueAnswer(MsgAnswer::Ok);
        click("Button8");
    }

    // Screen readers hear a window, and no line of help needs a horizontal scroll.
    void helpWindowsAreWindowsThatWrap() {
        const QList<QPair<const char*, const char*>> helpItems = {
            {"AddingStockSymbols1", "Add/Remove Symbols"},
            {"Aboutautomaticrefreshfeature1", "Automatic Refresh"},
            {"Aboutautomaticsort1", "Automatic Sort Options"},
            {"About1", "About Tickwell"}};
        for (const auto& [item, title] : helpItems) {
            control<QAction>(item)->trigger();
            QWidget* window = findWindow(title);
            QVERIFY2(window && window->isVisible(), title);
            QVERIFY(QTest::qWaitForWindowExposed(window));
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(window);
            QVERIFY(face);
            QVERIFY2(face->role() == QAccessible::Dialog || face->role() == QAccessible::Window,
                     qPrintable(window->windowTitle()));
            for (QTextEdit* text : window->findChildren<QTextEdit*>()) {
                QVERIFY2(!text->horizontalScrollBar()->isVisible(), qPrintable(window->windowTitle()));
                QVERIFY2(text->document()->size().width() <= text->viewport()->width() + 1,
                         qPrintable(window->windowTitle()));
            }
            window->hide();
        }
    }
};

QTEST_MAIN(BoxesAndEditsTest)
#include "test_boxes_and_edits.moc"
