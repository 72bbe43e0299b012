// The Help menu's windows: captions, sizes, title-bar buttons, the texts, showing and closing.
#include "help/about_form.h"
#include "help/help_add_symbols.h"
#include "help/help_auto_sort.h"
#include "help/help_refresh.h"
#include "help/show_help_window.h"
#include "platform/core/mul_div.h"
#include "platform/fonts.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <functional>
#include <memory>

namespace {

const QStringList addSymLines{
    "To add or delete stock symbols from your list",
    "of quotes (i.e. portfolio list):",
    "",
    "   (1) Open the portfolio file (see Portfolios tab).",
    "   (2) Add stocks symbols, one per line. Do not add ",
    "       spaces before or after the stock symbols.  ",
    "   (3) Delete symbols you no longer want in",
    "        your quote list.  Do not leave any empty",
    "        lines in your quote list. ",
    "   (4) Save the changes made with the same file",
    "        name.",
    "",
    "",
    "Note: The   file containing your list of symbols ",
    "should be stored in the same folder as the ",
    "\"Tickwell\" application.  ",
    "",
    "Note: See the ReadMe file for more information on ",
    "creating quote lists (portfolio lists).  ",
};

const QStringList refreshLines{
    "To have the stock quotes refresh automatically, ",
    "",
    "   (1)  Click the box next to \"Automatic Refresh Enabled\" so that the box",
    "         is checked.  ",
    "   (2)  Select a refresh interval from the menu located below the check box ",
    "         (\"Refresh Time\").  ",
    "",
    "This will make the quotes reload automatically after the selected time interval",
    "has elapsed.  ",
};

const QStringList autoSortLines{
    "The automatic sort features are used to sort the quote",
    "data after it has loaded completely.  The \"Automatic ",
    "alphabetical sort\" option will sort the data in alphabetical",
    "order.  Any stock symbols beginning with  \" ^ \" (e.g. ^dji",
    "for Dow Jones Industrials Average) will appear at the top ",
    "of the sorted list.   The \"Automatic sort by %change\" ",
    "sorts the loaded quote data by percent change for the ",
    "day (ascending order).  ",
    "",
    "Note: Automatic sort options need to be enabled prior to",
    "loading quotes for these features to work.  See the ",
    "\"Sort\"menu to sort quote data that has already been ",
    "loaded.  ",
    "",
    "To enable either automatic sort feature:",
    "   ",
    "           Click on the box next to the feature you want",
    "           enabled.  A check mark will appear in the box",
    "           to indicate that the feature is enabled.",
    "",
    "To disable an automatic sort feature:",
    "   ",
    "           Click on the box next to the feature that you",
    "           want to disable.   The check mark will be ",
    "           removed from the box.  ",
};

using Factory = std::function<QWidget*()>;

// Sizes below are at 96 pixels per inch, the resolution the tests run at.
void addWindowRows(bool withAbout) {
    QTest::addColumn<Factory>("make");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QSize>("clientSize");
    QTest::addColumn<QString>("textName");
    QTest::addColumn<QRect>("textRect");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<bool>("bevelVisible");
    QTest::newRow("HelpAddSym") << Factory([] { return new THelpAddSym; }) << "Add/Remove Symbols" << QSize(303, 225)
                                << "RichEditAddSym" << QRect(16, 16, 269, 190) << addSymLines << false;
    QTest::newRow("HelpRefresh") << Factory([] { return new THelpRefresh; }) << "Automatic Refresh" << QSize(416, 197)
                                 << "RichEdit1" << QRect(16, 16, 385, 160) << refreshLines << true;
    QTest::newRow("HelpAutoSort") << Factory([] { return new THelpAutoSort; }) << "Automatic Sort Options"
                                  << QSize(358, 254) << "RichEditAutoSort" << QRect(16, 16, 318, 215) << autoSortLines
                                  << true;
    if (withAbout)
        QTest::newRow("AboutForm") << Factory([] { return new TAboutForm; }) << "About Tickwell" << QSize(392, 259)
                                   << QString() << QRect() << QStringList() << true;
}

bool screenIs96Dpi() {
    return qRound(QGuiApplication::primaryScreen()->logicalDotsPerInchY()) == 96;
}

} // namespace

class TestHelpWindows : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void mulDivRounding_data();
    void mulDivRounding();
    void window_data();
    void window();
    void helpText_data();
    void helpText();
    void selectAndCopy_data();
    void selectAndCopy();
    void aboutTexts_data();
    void aboutTexts();
    void aboutNoteFitsItsBox();
    void showMinimiseShow_data();
    void showMinimiseShow();
    void closeOnlyHides_data();
    void closeOnlyHides();
    void caretToTop();
};

void TestHelpWindows::initTestCase() {
    installFontSubstitutions();
}

void TestHelpWindows::mulDivRounding_data() {
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

void TestHelpWindows::mulDivRounding() {
    QFETCH(int, value);
    QFETCH(int, numerator);
    QFETCH(int, denominator);
    QFETCH(int, expected);
    QCOMPARE(MulDiv(value, numerator, denominator), expected);
}

void TestHelpWindows::window_data() {
    addWindowRows(true);
}

void TestHelpWindows::window() {
    QFETCH(Factory, make);
    QFETCH(QString, caption);
    QFETCH(QSize, clientSize);
    QFETCH(bool, bevelVisible);
    if (!screenIs96Dpi())
        QSKIP("window sizes are checked at 96 pixels per inch");
    std::unique_ptr<QWidget> window(make());

    QCOMPARE(window->windowTitle(), caption);
    QVERIFY(window->isWindow());
    QVERIFY(!window->isVisible());
    QCOMPARE(window->size(), clientSize);
    QCOMPARE(window->minimumSize(), clientSize);
    QCOMPARE(window->maximumSize(), clientSize);
    const Qt::WindowFlags flags = window->windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(flags.testFlag(Qt::WindowSystemMenuHint));
    QCOMPARE(window->font().family(), QString("MS Sans Serif"));

    auto* bevel = window->findChild<QWidget*>("Bevel1");
    QVERIFY(bevel);
    QCOMPARE(bevel->geometry(), window->rect());
    QCOMPARE(bevel->isVisibleTo(window.get()), bevelVisible);
    // The bevel shows as a line along the top edge of the client area, nowhere else.
    const QImage image = window->grab().toImage();
    const QColor background = window->palette().color(QPalette::Window);
    QCOMPARE(image.pixel(5, 0) == window->palette().color(QPalette::Dark).rgb(), bevelVisible);
    QCOMPARE(image.pixel(5, 0) == background.rgb(), !bevelVisible);
    QCOMPARE(image.pixel(5, 5), background.rgb());

    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    const QRect screen = window->screen()->availableGeometry();
    const QPoint offCentre = window->frameGeometry().center() - screen.center();
    QVERIFY2(offCentre.manhattanLength() <= 2,
             qPrintable(QString("off centre by %1,%2").arg(offCentre.x()).arg(offCentre.y())));
}

void TestHelpWindows::helpText_data() {
    addWindowRows(false);
}

void TestHelpWindows::helpText() {
    QFETCH(Factory, make);
    QFETCH(QString, textName);
    QFETCH(QRect, textRect);
    QFETCH(QStringList, lines);
    std::unique_ptr<QWidget> window(make());
    auto* text = window->findChild<QTextEdit*>(textName);
    QVERIFY(text);

    const QString expected = lines.join('\n');
    QCOMPARE(text->toPlainText(), expected);
    QCOMPARE(text->toPlainText().toUtf8(), expected.toUtf8());
    if (screenIs96Dpi())
        QCOMPARE(text->geometry(), textRect);
    QVERIFY(text->isReadOnly());
    QCOMPARE(text->lineWrapMode(), QTextEdit::WidgetWidth);
    QCOMPARE(text->font().pointSize(), 8);
    QCOMPARE(text->font().family(), QString("MS Sans Serif"));
    // Every character carries the 8-point size, not only the control's default.
    for (int pos : {0, int(expected.size()) / 2, int(expected.size())}) {
        QTextCursor probe(text->document());
        probe.setPosition(pos);
        QCOMPARE(probe.charFormat().font().pointSize(), 8);
    }
    // After creation the caret sits at character 1000 or the end of a shorter text, nothing selected.
    QCOMPARE(text->textCursor().position(), std::min(1000, int(expected.size())));
    QVERIFY(!text->textCursor().hasSelection());
}

void TestHelpWindows::selectAndCopy_data() {
    addWindowRows(false);
}

void TestHelpWindows::selectAndCopy() {
    QFETCH(Factory, make);
    QFETCH(QString, textName);
    QFETCH(QStringList, lines);
    std::unique_ptr<QWidget> window(make());
    ShowHelpWindow(window.get());
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    auto* text = window->findChild<QTextEdit*>(textName);
    QVERIFY(text);
    text->setFocus();
    QApplication::clipboard()->setText("before");

    QTest::keyClick(text, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(text, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), lines.join('\n'));

    // Typing, deleting and pasting change nothing.
    QTest::keyClicks(text, "xyz");
    QTest::keyClick(text, Qt::Key_Delete);
    QTest::keyClick(text, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(text->toPlainText(), lines.join('\n'));

    // Selection by keyboard: the first line with Shift+End from the top.
    QTest::keyClick(text, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(text, Qt::Key_End, Qt::ShiftModifier);
    QCOMPARE(text->textCursor().selectedText(), lines.first());

    // And by mouse: a drag from the start of the first line.
    const QRect firstLine = text->cursorRect(QTextCursor(text->document()));
    QTest::mousePress(text->viewport(), Qt::LeftButton, {}, QPoint(2, firstLine.center().y()));
    QTest::mouseMove(text->viewport(), QPoint(60, firstLine.center().y()));
    QTest::mouseRelease(text->viewport(), Qt::LeftButton, {}, QPoint(60, firstLine.center().y()));
    QVERIFY(text->textCursor().hasSelection());
    QVERIFY(text->textCursor().selectedText().size() < lines.first().size());
    QVERIFY(lines.first().startsWith(text->textCursor().selectedText()));
}

void TestHelpWindows::aboutTexts_data() {
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

void TestHelpWindows::aboutTexts() {
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(int, points);
    QFETCH(bool, bold);
    QFETCH(QPoint, place);
    TAboutForm about;
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    auto* label = about.findChild<QLabel*>(name);
    QVERIFY(label);
    if (!text.isEmpty())
        QCOMPARE(label->text(), text);
    QCOMPARE(label->pos(), place);
    QCOMPARE(label->font().pointSize(), points);
    QCOMPARE(label->font().bold(), bold);
    QCOMPARE(label->font().family(), QString("MS Sans Serif"));
    QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0, 0, 128));
    QVERIFY(label->isVisible());
    // Nothing is cut off: the whole text fits the label, and the label the window.
    QVERIFY(about.rect().contains(label->geometry()));
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

void TestHelpWindows::aboutNoteFitsItsBox() {
    TAboutForm about;
    QLabel* note = about.AboutFormText4;
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

void TestHelpWindows::showMinimiseShow_data() {
    addWindowRows(true);
}

void TestHelpWindows::showMinimiseShow() {
    QFETCH(Factory, make);
    std::unique_ptr<QWidget> window(make());
    const QString title = window->windowTitle();
    auto instances = [&] {
        int n = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            n += w->windowTitle() == title ? 1 : 0;
        return n;
    };

    ShowHelpWindow(window.get());
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QVERIFY(window->isVisible());

    window->showMinimized();
    QTRY_VERIFY(window->windowState().testFlag(Qt::WindowMinimized));

    ShowHelpWindow(window.get());
    QVERIFY(window->isVisible());
    QVERIFY(!window->windowState().testFlag(Qt::WindowMinimized));
    QTRY_COMPARE(QApplication::activeWindow(), window.get());
    QCOMPARE(instances(), 1);

    // Shown again while open: it stays as it is, with the focus.
    ShowHelpWindow(window.get());
    QVERIFY(window->isVisible());
    QCOMPARE(window->size(), window->minimumSize());
    QCOMPARE(instances(), 1);
}

void TestHelpWindows::closeOnlyHides_data() {
    addWindowRows(true);
}

void TestHelpWindows::closeOnlyHides() {
    QFETCH(Factory, make);
    std::unique_ptr<QWidget> window(make());
    QPointer<QWidget> guard(window.get());
    ShowHelpWindow(window.get());
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    const QPoint centred = window->pos();
    window->move(centred + QPoint(-40, 30));

    // Closed while it is the only window on screen, it hides and the program runs on.
    QSignalSpy lastClosed(qApp, &QGuiApplication::lastWindowClosed);
    QObject context;
    QTimer::singleShot(0, &context, [&] { window->close(); });
    QTimer::singleShot(300, &context, [] { QCoreApplication::exit(3); });
    QCOMPARE(QCoreApplication::exec(), 3);
    QCOMPARE(lastClosed.count(), 0);
    QVERIFY(guard);
    QVERIFY(!window->isVisible());

    // Shown again: the same window, centred again.
    ShowHelpWindow(window.get());
    QVERIFY(window->isVisible());
    QCOMPARE(window->pos(), centred);
}

void TestHelpWindows::caretToTop() {
    THelpAddSym help;
    QTextEdit* text = help.RichEditAddSym;
    QVERIFY(text->textCursor().position() > 0);
    help.caretToTop();
    QCOMPARE(text->textCursor().position(), 0);
    QVERIFY(!text->textCursor().hasSelection());
}

QTEST_MAIN(TestHelpWindows)
#include "test_help_windows.moc"
