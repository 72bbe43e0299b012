// The Help menu's windows: captions, sizes, title-bar buttons, the texts, showing and closing.
// Each window is the program's own, opened from its Help menu item and found by its title.
#include "gui_support/tickwell_windows.h"
#include "platform/core/mul_div.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

namespace {
// A text by its size and CRC-16 (ISO 3309) of its UTF-8 bytes, with two of its lines to read.
struct Fingerprint {
    int lines = 0;
    int characters = 0;
    quint16 crc = 0;
};

Fingerprint fingerprintOf(const QString& text) {
    return {int(text.count('\n')) + 1, int(text.size()), qChecksum(text.toUtf8())};
}

bool operator==(const Fingerprint& a, const Fingerprint& b) {
    return a.lines == b.lines && a.characters == b.characters && a.crc == b.crc;
}

char* toString(const Fingerprint& f) {
    return qstrdup(
        qPrintable(QString("%1 lines, %2 characters, CRC %3").arg(f.lines).arg(f.characters).arg(f.crc, 0, 16)));
}

struct HelpWindow {
    const char* item; // of the Help menu
    const char* title;
    QSize size; // at 96 pixels per inch, the resolution the tests run at
    bool bevelVisible;
    const char* text; // the name of the text box; none in the About window
    QRect textRect;
    Fingerprint fingerprint;
    const char* firstLine;
    int spotLine;
    const char* spotText;
};

const HelpWindow Windows[] = {
    {"AddingStockSymbols1",
     "Add/Remove Symbols",
     {303, 225},
     false,
     "RichEditAddSym",
     {16, 16, 269, 190},
     {19, 642, 0x0d30},
     "To add or delete stock symbols from your list",
     15,
     "\"Tickwell\" application.  "},
    {"Aboutautomaticrefreshfeature1",
     "Automatic Refresh",
     {416, 197},
     true,
     "RichEdit1",
     {16, 16, 385, 160},
     {9, 348, 0xfb4e},
     "To have the stock quotes refresh automatically, ",
     2,
     "   (1)  Click the box next to \"Automatic Refresh Enabled\" so that the box"},
    {"Aboutautomaticsort1",
     "Automatic Sort Options",
     {358, 254},
     true,
     "RichEditAutoSort",
     {16, 16, 318, 215},
     {25, 997, 0xe987},
     "The automatic sort features are used to sort the quote",
     11,
     "\"Sort\"menu to sort quote data that has already been "},
    {"About1", "About Tickwell", {392, 259}, true, nullptr, {}, {}, nullptr, 0, nullptr},
};

void addWindowRows(bool withAbout) {
    QTest::addColumn<int>("index");
    for (int i = 0; i < 4; ++i)
        if (Windows[i].text || withAbout)
            QTest::newRow(Windows[i].title) << i;
}

// The row's window, shown from its Help menu item as the user shows it.
QWidget* openFromMenu(const HelpWindow& help) {
    control<QAction>(help.item)->trigger();
    return findWindow(help.title);
}

QTextEdit* textOf(const HelpWindow& help) {
    return control<QTextEdit>(help.title, help.text);
}

bool screenIs96Dpi() {
    return qRound(QGuiApplication::primaryScreen()->logicalDotsPerInchY()) == 96;
}
} // namespace

class TestHelpWindows : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { tickwellWindow(); }
    void cleanup() {
        for (const HelpWindow& help : Windows)
            findWindow(help.title)->hide();
    }

    void mulDivRounding_data() {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("numerator");
        QTest::addColumn<int>("denominator");
        QTest::addColumn<int>("expected");
        QTest::newRow("fraction below a half") << 379 << 96 << 120 << 303;
        QTest::newRow("fraction above a half") << 281 << 96 << 120 << 225;
        QTest::newRow("half rounds up") << 5 << 1 << 2 << 3;
        QTest::newRow("negative half rounds down") << -5 << 1 << 2 << -3;
        QTest::newRow("negative denominator") << 5 << 1 << -2 << -3;
        QTest::newRow("exact") << 416 << 96 << 96 << 416;
        QTest::newRow("no overflow of the product") << 2000000000 << 3 << 4 << 1500000000;
    }
    void mulDivRounding() {
        QFETCH(int, value);
        QFETCH(int, numerator);
        QFETCH(int, denominator);
        QFETCH(int, expected);
        QCOMPARE(mulDiv(value, numerator, denominator), expected);
    }

    // Declared before anything shows a window: each text as the window was created with it.
    void helpText_data() { addWindowRows(false); }
    void helpText() {
        QFETCH(int, index);
        const HelpWindow& help = Windows[index];
        QTextEdit* text = textOf(help);
        const QString shown = text->toPlainText();
        QCOMPARE(fingerprintOf(shown), help.fingerprint);
        QCOMPARE(shown.section('\n', 0, 0), QString(help.firstLine));
        QCOMPARE(shown.section('\n', help.spotLine, help.spotLine), QString(help.spotText));
        if (screenIs96Dpi())
            QCOMPARE(text->geometry(), help.textRect);
        QVERIFY(text->isReadOnly());
        QCOMPARE(text->lineWrapMode(), QTextEdit::WidgetWidth);
        QCOMPARE(text->font().pointSize(), 8);
        QCOMPARE(text->font().family(), QString("MS Sans Serif"));
        // Every character carries the 8-point size, not only the control's default.
        for (int pos : {0, int(shown.size()) / 2, int(shown.size())}) {
            QTextCursor probe(text->document());
            probe.setPosition(pos);
            QCOMPARE(probe.charFormat().font().pointSize(), 8);
        }
        // After creation the caret sits at character 1000 or the end of a shorter text, nothing selected.
        QCOMPARE(text->textCursor().position(), std::min(1000, int(shown.size())));
        QVERIFY(!text->textCursor().hasSelection());
    }

    void window_data() { addWindowRows(true); }
    void window() {
        QFETCH(int, index);
        const HelpWindow& help = Windows[index];
        if (!screenIs96Dpi())
            QSKIP("window sizes are checked at 96 pixels per inch");
        QWidget* window = findWindow(help.title);
        QVERIFY(window);
        QVERIFY(window->isWindow());
        QVERIFY(!window->isVisible());
        QCOMPARE(window->size(), help.size);
        QCOMPARE(window->minimumSize(), help.size);
        QCOMPARE(window->maximumSize(), help.size);
        const Qt::WindowFlags flags = window->windowFlags();
        QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(flags.testFlag(Qt::WindowSystemMenuHint));
        QCOMPARE(window->font().family(), QString("MS Sans Serif"));

        auto* bevel = control(help.title, "Bevel1");
        QCOMPARE(bevel->geometry(), window->rect());
        QCOMPARE(bevel->isVisibleTo(window), help.bevelVisible);
        // The bevel shows as a line along the top edge of the client area, nowhere else.
        const QImage image = window->grab().toImage();
        const QColor background = window->palette().color(QPalette::Window);
        QCOMPARE(image.pixel(5, 0) == window->palette().color(QPalette::Dark).rgb(), help.bevelVisible);
        QCOMPARE(image.pixel(5, 0) == background.rgb(), !help.bevelVisible);
        QCOMPARE(image.pixel(5, 5), background.rgb());

        QCOMPARE(openFromMenu(help), window);
        QVERIFY(QTest::qWaitForWindowExposed(window));
        const QRect screen = window->screen()->availableGeometry();
        const QPoint offCentre = window->frameGeometry().center() - screen.center();
        QVERIFY2(offCentre.manhattanLength() <= 2,
                 qPrintable(QString("off centre by %1,%2").arg(offCentre.x()).arg(offCentre.y())));
    }

    void selectAndCopy_data() { addWindowRows(false); }
    void selectAndCopy() {
        QFETCH(int, index);
        const HelpWindow& help = Windows[index];
        QWidget* window = openFromMenu(help);
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QTextEdit* text = textOf(help);
        QTest::mouseClick(text->viewport(), Qt::LeftButton);
        QVERIFY(text->hasFocus());
        QApplication::clipboard()->setText("before");

        QTest::keyClick(text, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(text, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(fingerprintOf(QApplication::clipboard()->text()), help.fingerprint);

        // Typing, deleting and pasting change nothing.
        QTest::keyClicks(text, "xyz");
        QTest::keyClick(text, Qt::Key_Delete);
        QTest::keyClick(text, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(fingerprintOf(text->toPlainText()), help.fingerprint);

        // Selection by keyboard: the first line with Shift+End from the top.
        QTest::keyClick(text, Qt::Key_Home, Qt::ControlModifier);
        QTest::keyClick(text, Qt::Key_End, Qt::ShiftModifier);
        QCOMPARE(text->textCursor().selectedText(), QString(help.firstLine));

        // And by mouse: a drag from the start of the first line.
        const QRect firstLine = text->cursorRect(QTextCursor(text->document()));
        QTest::mousePress(text->viewport(), Qt::LeftButton, {}, QPoint(2, firstLine.center().y()));
        QTest::mouseMove(text->viewport(), QPoint(60, firstLine.center().y()));
        QTest::mouseRelease(text->viewport(), Qt::LeftButton, {}, QPoint(60, firstLine.center().y()));
        const QString selected = text->textCursor().selectedText();
        QVERIFY(!selected.isEmpty());
        QVERIFY(selected.size() < QString(help.firstLine).size());
        QVERIFY(QString(help.firstLine).startsWith(selected));
    }

    void aboutTexts_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("points");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<QPoint>("place");
        QTest::newRow("AboutFormText1") << "AboutFormText1"
                                        << "Tickwell" << 18 << true << QPoint(48, 8);
        QTest::newRow("AboutFormText2") << "AboutFormText2"
                                        << "Version 1.5" << 10 << false << QPoint(272, 16);
        QTest::newRow("AboutFormText4") << "AboutFormText4" << QString() << 8 << false << QPoint(48, 176);
    }
    void aboutTexts() {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(int, points);
        QFETCH(bool, bold);
        QFETCH(QPoint, place);
        QWidget* about = openFromMenu(Windows[3]);
        QVERIFY(QTest::qWaitForWindowExposed(about));
        auto* label = control<QLabel>("About Tickwell", name);
        if (!text.isEmpty())
            QCOMPARE(label->text(), text);
        QCOMPARE(label->pos(), place);
        QCOMPARE(label->font().pointSize(), points);
        QCOMPARE(label->font().bold(), bold);
        QCOMPARE(label->font().family(), QString("MS Sans Serif"));
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0, 0, 128));
        QVERIFY(label->isVisible());
        // Nothing is cut off: the whole text fits the label, and the label the window.
        QVERIFY(about->rect().contains(label->geometry()));
        if (!label->wordWrap()) {
            QVERIFY(label->width() >= label->fontMetrics().horizontalAdvance(label->text()));
            QVERIFY(label->height() >= label->fontMetrics().height());
        }

        // The texts are drawn in navy.
        const QImage image = label->grab().toImage();
        bool navyPixel = false;
        for (int y = 0; y < image.height() && !navyPixel; ++y)
            for (int x = 0; x < image.width() && !navyPixel; ++x)
                navyPixel = image.pixelColor(x, y) == QColor(0, 0, 128);
        QVERIFY(navyPixel);
    }

    void aboutNoteFitsItsBox() {
        auto* note = control<QLabel>("About Tickwell", "AboutFormText4");
        QCOMPARE(note->size(), QSize(281, 73));
        QVERIFY(note->wordWrap());
        QVERIFY(note->heightForWidth(281) <= 73);
        const QString text = note->text();
        QCOMPARE(text.count(". "), 1); // two sentences
        QVERIFY(text.endsWith('.'));
        QVERIFY(text.contains("stock data"));
        QVERIFY(text.contains("responsib"));
        QVERIFY(!text.contains("http"));
        QVERIFY(!text.contains(".com"));
    }

    void showMinimiseShow_data() { addWindowRows(true); }
    void showMinimiseShow() {
        QFETCH(int, index);
        const HelpWindow& help = Windows[index];
        auto instances = [&] {
            int n = 0;
            for (QWidget* w : QApplication::topLevelWidgets())
                n += w->windowTitle() == help.title ? 1 : 0;
            return n;
        };

        QWidget* window = openFromMenu(help);
        QVERIFY(QTest::qWaitForWindowActive(window));
        QVERIFY(window->isVisible());

        window->showMinimized();
        QTRY_VERIFY(window->windowState().testFlag(Qt::WindowMinimized));

        QCOMPARE(openFromMenu(help), window);
        QVERIFY(window->isVisible());
        QVERIFY(!window->windowState().testFlag(Qt::WindowMinimized));
        QTRY_COMPARE(QApplication::activeWindow(), window);
        QCOMPARE(instances(), 1);

        // Shown again while open: it stays as it is, with the focus.
        QCOMPARE(openFromMenu(help), window);
        QVERIFY(window->isVisible());
        QCOMPARE(window->size(), window->minimumSize());
        QCOMPARE(instances(), 1);
    }

    // A screen reader reads the About texts as Tab reaches each of them; Escape hides the window.
    void aboutTextsAreTabStops() {
        QWidget* about = openFromMenu(Windows[3]);
        QApplication::setActiveWindow(about);
        QVERIFY(QTest::qWaitForWindowActive(about));
        QStringList stops;
        for (int i = 0; i < 3 && QApplication::focusWidget(); ++i) {
            stops << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        stops.sort();
        QCOMPARE(stops, QStringList({"AboutFormText1", "AboutFormText2", "AboutFormText4"}));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!about->isVisible());
    }

    void closeOnlyHides_data() { addWindowRows(true); }
    void closeOnlyHides() {
        QFETCH(int, index);
        const HelpWindow& help = Windows[index];
        QPointer<QWidget> window = openFromMenu(help);
        QVERIFY(QTest::qWaitForWindowExposed(window));
        const QPoint centred = window->pos();
        window->move(centred + QPoint(-40, 30));

        // Closed while it is the only window on screen, it hides and the program runs on.
        QSignalSpy lastClosed(qApp, &QGuiApplication::lastWindowClosed);
        QObject context;
        QTimer::singleShot(0, &context, [&] { window->close(); });
        QTimer::singleShot(300, &context, [] { QCoreApplication::exit(3); });
        QCOMPARE(QCoreApplication::exec(), 3);
        QCOMPARE(lastClosed.count(), 0);
        QVERIFY(window);
        QVERIFY(!window->isVisible());

        // Shown again: the same window, centred again.
        QCOMPARE(openFromMenu(help), window.data());
        QVERIFY(window->isVisible());
        QCOMPARE(window->pos(), centred);
    }

    // The menu item puts the caret back at the top of the text each time it shows the window.
    void addSymbolsOpensAtTheTop() {
        const HelpWindow& help = Windows[0];
        QVERIFY(QTest::qWaitForWindowExposed(openFromMenu(help)));
        QTextEdit* text = textOf(help);
        QTest::mouseClick(text->viewport(), Qt::LeftButton);
        QTest::keyClick(text, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(text->textCursor().position(), help.fingerprint.characters);
        findWindow(help.title)->close();
        openFromMenu(help);
        QCOMPARE(text->textCursor().position(), 0);
        QVERIFY(!text->textCursor().hasSelection());
    }
};

QTEST_MAIN(TestHelpWindows)
#include "test_help_windows.moc"
