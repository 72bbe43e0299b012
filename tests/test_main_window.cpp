// The main window as designed: one table of every control by name with its sheet, kind, text,
// place, type and visibility; the menus; the timers, dialogs and refresh boxes; the start-up state.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

#include "gui_support/load_fixture.h"
#include "gui_support/tickwell_windows.h"
#include "platform/mirror_text_edit.h"
#include "platform/open_dialog.h"
#include "platform/quote_grid.h"
#include "platform/status_line.h"
#include "support/file_bytes.h"

namespace {
struct Designed {
    const char* name;
    const char* sheet;
    const char* kind; // see kindOf
    const char* text;
    QRect place;      // a label keeps its left, top and height; its width grows to fit its text
    const char* look; // where it differs from the window: its own font, its own ink (see lookOf)
};

const char* const Hint = "Add or Delete stock symbols in the box on \nthe left.  Type only one symbol per line.  \n"
                         "Click Save after making changes to the list \non the left.  ";
const char* const Header = "MS Sans Serif 12px bold";

const Designed Controls[] = {
    {"Label16", "Quotes", "label", "Last Trade", {132, 0, 62, 13}, Header},
    {"Label3", "Quotes", "label", "Symbol", {16, 16, 41, 13}, Header},
    {"Label4", "Quotes", "label", "Time", {111, 16, 28, 13}, Header},
    {"Label5", "Quotes", "label", "Price", {189, 16, 30, 13}, Header},
    {"Label6", "Quotes", "label", "Change", {306, 16, 44, 13}, Header},
    {"Label7", "Quotes", "label", "%Change", {390, 16, 53, 13}, Header},
    {"Label8", "Quotes", "label", "Volume", {481, 16, 42, 13}, Header},
    {"QT1", "Quotes", "grid", "", {16, 34, 587, 306}, "Courier 12px"},
    {"CheckBox1", "Quotes", "check", "Automatic alphabetical sort", {16, 352, 225, 17}, ""},
    {"CheckBox2", "Quotes", "check", "Automatic sort by %change", {16, 372, 238, 17}, ""},
    {"BtnQuote", "Quotes", "button", "Get Quotes", {260, 361, 86, 25}, ""},
    // Reads like its twin on the RealTime tab.
    {"CheckBox", "Quotes", "check", "Automatic  Refresh Enabled", {448, 349, 190, 17}, "MS Sans Serif 12px"},
    {"ComboBox", "Quotes", "combo", "Refresh Time", {448, 372, 145, 21}, ""},
    {"Bevel1", "Quotes", "bevel", "", {0, 404, 641, 37}, ""},
    {"Edit2", "Quotes", "edit", "", {19, 410, 47, 24}, ""},
    {"Button2", "Quotes", "button", "Find symbol", {72, 411, 91, 19}, ""},
    {"Edit1", "Quotes", "edit", "", {210, 410, 57, 24}, ""},
    {"Button3", "Quotes", "button", "Display Details", {273, 410, 109, 20}, ""},
    {"Portfolio", "Quotes", "readonly", "input.txt", {421, 410, 97, 24}, ""},
    {"PortName", "Quotes", "button", "Select Portfolio", {525, 410, 105, 20}, ""},
    {"AdvLabel", "Quotes", "label", "Adv", {43, 453, 19, 13}, "#008000"},
    {"Adv", "Quotes", "readonly", "", {77, 449, 50, 24}, ""},
    {"Label1", "Quotes", "label", "Decl", {244, 453, 22, 13}, "#ff0000"},
    {"Decl", "Quotes", "readonly", "", {282, 449, 50, 24}, ""},
    {"Label2", "Quotes", "label", "UnChg", {475, 453, 33, 13}, "#0000ff"},
    {"NoChg", "Quotes", "readonly", "", {526, 449, 49, 24}, ""},
    {"StatusBar1", "Quotes", "status", "", {0, 475, 633, 19}, ""},
    {"DisplayQR", "Quotes", "rich", "", {731, 124, 86, 50}, "Courier 5px"},
    {"Label9", "RealTime", "label", "Symbol", {33, 13, 41, 13}, Header},
    {"Label10", "RealTime", "label", "Time", {98, 13, 28, 13}, Header},
    {"Label11", "RealTime", "label", "Trade", {176, 13, 34, 13}, Header},
    {"Label12", "RealTime", "label", "Change", {260, 13, 44, 13}, Header},
    {"Label13", "RealTime", "label", "After Hrs Chg", {358, 13, 77, 13}, Header},
    {"Label14", "RealTime", "label", "Bid", {468, 13, 19, 13}, Header},
    {"Label15", "RealTime", "label", "Ask", {533, 13, 22, 13}, Header},
    {"RT1", "RealTime", "grid", "", {32, 32, 576, 365}, "Courier New 16px"},
    {"BtnQuote1", "RealTime", "button", "Get Quotes", {267, 408, 88, 25}, ""},
    {"CheckBox3", "RealTime", "check", "Automatic  Refresh Enabled", {32, 421, 229, 17}, "MS Sans Serif 12px"},
    {"ComboBox1", "RealTime", "combo", "Refresh Time", {32, 448, 145, 21}, ""},
    {"Portfolio1", "RealTime", "readonly", "input.txt", {388, 448, 105, 21}, ""},
    {"Button1", "RealTime", "button", "Select Portfolio", {501, 448, 116, 20}, ""},
    {"StatusBar2", "RealTime", "status", "", {0, 475, 633, 19}, ""},
    {"DisplayQR1", "RealTime", "rich", "", {731, 72, 577, 81}, ""},
    {"StaticText12", "Historical", "hidden label", "input.txt", {24, 31, 51, 17}, Header},
    {"RichEdit2", "Historical", "rich", "", {24, 50, 209, 401}, ""},
    {"Button5", "Historical", "button", "Edit Portfolio", {328, 48, 113, 22}, ""},
    {"Button6", "Historical", "button", "Create Portfolio", {328, 80, 113, 22}, ""},
    {"Button7", "Historical", "button", "Save", {328, 112, 113, 22}, ""},
    {"Button8", "Historical", "button", "Cancel", {328, 144, 113, 22}, ""},
    {"RichEdit3", "Historical", "hidden rich", Hint, {328, 216, 212, 253}, ""},
};

// What a control is, as the table names it; "hidden " first when it does not show.
QString kindOf(QWidget* w) {
    const auto* combo = qobject_cast<QComboBox*>(w);
    const auto* edit = qobject_cast<QLineEdit*>(w);
    const QString kind = dynamic_cast<QuoteGrid*>(w)        ? "grid"
                         : dynamic_cast<StatusLine*>(w)     ? "status"
                         : dynamic_cast<MirrorTextEdit*>(w) ? "rich"
                         : qobject_cast<QLabel*>(w)         ? "label"
                         : qobject_cast<QPushButton*>(w)    ? "button"
                         : qobject_cast<QCheckBox*>(w)      ? "check"
                         : combo                            ? (combo->isEditable() ? "combo" : "list")
                         : edit                             ? (edit->isReadOnly() ? "readonly" : "edit")
                         : qobject_cast<QFrame*>(w)         ? "bevel"
                                                            : w->metaObject()->className();
    return (w->isVisibleTo(w->parentWidget()) ? "" : "hidden ") + kind;
}

// The text a control shows: a label's, a button's or a box's text, a list's choice, a rich text.
QString textOf(QWidget* widget) {
    for (const char* property : {"text", "currentText", "plainText"})
        if (widget->property(property).isValid())
            return widget->property(property).toString();
    return QString();
}

// "<family> <pixels>px[ bold]" for a font of its own, then the ink's name for an ink of its own.
QString lookOf(QWidget* widget) {
    QStringList look;
    const QFont font = widget->font();
    if (font != tickwellWindow().font())
        look << QString("%1 %2px%3").arg(font.family()).arg(font.pixelSize()).arg(font.bold() ? " bold" : "");
    const QColor ink = widget->palette().color(QPalette::WindowText);
    if (ink != tickwellWindow().palette().color(QPalette::WindowText))
        look << ink.name();
    return look.join(' ');
}

QString describe(const QString& sheet, const QString& kind, const QString& text, QRect r, const QString& look) {
    const QString place = QString::asprintf("%d,%d %dx%d", r.left(), r.top(), r.width(), r.height());
    return QString("%1 %2 \"%3\" %4 [%5]").arg(sheet, kind, text, place, look);
}

QStringList itemsOf(QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}
} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        tickwellWindow().show();
        QVERIFY(QTest::qWaitForWindowExposed(&tickwellWindow()));
    }

    // Declared first: the state the window was created in.
    void startState() {
        auto* pages = control<QTabWidget>("PgC1");
        QCOMPARE(pages->currentWidget()->objectName(), QString("Quotes"));
        QVERIFY(control<StatusLine>("StatusBar1")->simplePanel());
        for (const char* count : {"Adv", "Decl", "NoChg"})
            QVERIFY(control<QLineEdit>(count)->text().isEmpty());
        for (const char* box : {"CheckBox", "CheckBox3", "CheckBox1", "CheckBox2"})
            QVERIFY2(!control<QCheckBox>(box)->isChecked(), box);
        QCOMPARE(control<QComboBox>("ComboBox")->currentIndex(), -1);
        QCOMPARE(control<QComboBox>("ComboBox1")->currentIndex(), -1);
        QCOMPARE(openTextFiles(), QStringList()); // no portfolio open for editing
        // The RealTime status bar takes simple texts once its tab has been shown.
        QVERIFY(!control<StatusLine>("StatusBar2")->simplePanel());
        QVERIFY(showTab("RealTime"));
        QVERIFY(control<StatusLine>("StatusBar2")->simplePanel());
        QVERIFY(showTab("Quotes"));
    }

    void controls() {
        QStringList wrong, designedNames;
        for (const Designed& designed : Controls) {
            designedNames << designed.name;
            QWidget* widget = qobject_cast<QWidget*>(findControl(designed.name));
            if (!widget) {
                wrong << QString("%1: missing").arg(designed.name);
                continue;
            }
            QRect place = widget->geometry();
            // A label is wide enough for its designed width and its text.
            if (qobject_cast<QLabel*>(widget) && place.width() >= designed.place.width() &&
                place.width() >= widget->sizeHint().width())
                place.setWidth(designed.place.width());
            const QString seen =
                describe(widget->parentWidget()->objectName(), kindOf(widget), textOf(widget), place, lookOf(widget));
            const QString expected =
                describe(designed.sheet, designed.kind, designed.text, designed.place, designed.look);
            if (seen != expected)
                wrong << QString("%1: %2, designed %3").arg(designed.name, seen, expected);
            // A screen reader says what the control shows.
            const QString text = textOf(widget);
            if (!text.isEmpty() && !qobject_cast<QTextEdit*>(widget) && !qobject_cast<QLineEdit*>(widget) &&
                !qobject_cast<QComboBox*>(widget) && !widget->accessibleName().isEmpty() &&
                widget->accessibleName() != text)
                wrong << QString("%1: read out as \"%2\"").arg(designed.name, widget->accessibleName());
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join('\n')));

        // No control on the sheets beyond the designed ones.
        QStringList named;
        for (const char* sheet : {"Quotes", "RealTime", "Historical"})
            for (QWidget* child : control(sheet)->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                if (!child->objectName().isEmpty())
                    named << child->objectName();
        named.sort();
        designedNames.sort();
        QCOMPARE(named, designedNames);
    }

    void window() {
        QWidget& window = tickwellWindow();
        QCOMPARE(window.windowTitle(), QString("Tickwell"));
        QVERIFY(!window.windowIcon().isNull());
        QCOMPARE(window.font().family(), QString("MS Sans Serif"));
        QCOMPARE(window.font().pixelSize(), 11);
        QCOMPARE(window.minimumSize(), window.maximumSize()); // single fixed border
        QVERIFY(window.windowFlags() & Qt::WindowMinimizeButtonHint);
        QVERIFY(!(window.windowFlags() & Qt::WindowMaximizeButtonHint));
        auto* pages = control<QTabWidget>("PgC1");
        QCOMPARE(pages->size(), QSize(641, 522));
        QStringList tabs;
        for (int i = 0; i < pages->count(); ++i)
            tabs << pages->widget(i)->objectName() + "=" + pages->tabText(i);
        QCOMPARE(tabs, QStringList({"Quotes=Quotes", "RealTime=RealTime", "Historical=Portfolios"}));
        auto* quotes = control<QuoteGrid>("QT1");
        auto* realTime = control<QuoteGrid>("RT1");
        QCOMPARE(QList<int>({quotes->rowCount(), quotes->defaultRowHeight(), quotes->colCount()}),
                 QList<int>({40, 16, 7}));
        QCOMPARE(QList<int>({realTime->rowCount(), realTime->defaultRowHeight(), realTime->colCount()}),
                 QList<int>({45, 12, 7}));
    }

    // Each menu and item: name=caption, then the shortcut and the check mark of an item; Alt and the
    // marked letter opens a menu. The buttons that have a key name it in their tooltips.
    void menus() {
        QStringList seen;
        for (QAction* title : control<QMenuBar>("MainMenu1")->actions()) {
            // The caption with the Alt key's letter marked.
            seen << title->menu()->objectName() + "=" + title->text();
            for (QAction* item : title->menu()->actions())
                seen << QString("  %1=%2|%3%4")
                            .arg(item->objectName(), item->text(), item->shortcut().toString(),
                                 item->isCheckable() ? (item->isChecked() ? "|checked" : "|unchecked") : "");
        }
        QCOMPARE(seen,
                 QStringList(
                     {"Sort1=&Sort", "  Alphabetically1=Alphabetically|Ctrl+A", "  byChange1=by %Change|Ctrl+R",
                      "Help1=&Help", "  About1=About Tickwell|", "  AddingStockSymbols1=Add/Delete Stock Symbols|",
                      "  Aboutautomaticrefreshfeature1=Automatic Refresh Feature|",
                      "  Aboutautomaticsort1=Automatic Sort Options|", "WindowSizing1=&Window Sizing",
                      "  Reduced1=Reduced||unchecked", "  Normal=Normal||checked", "  Enlarged1=Enlarged||unchecked"}));
        QTest::keyClick(&tickwellWindow(), Qt::Key_W, Qt::AltModifier);
        QVERIFY(QApplication::activePopupWidget() == control("WindowSizing1"));
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
        for (const char* button : {"BtnQuote", "BtnQuote1", "PortName", "Button1", "Button5"})
            QVERIFY2(control(button)->toolTip().contains(QRegularExpression("\\((F5|Ctrl\\+O)\\)$")), button);
    }

    void components() {
        for (const char* name : {"Timer", "Timer1"}) {
            auto* timer = control<QTimer>(name);
            QVERIFY2(!timer->isActive() && !timer->isSingleShot(), name);
            QCOMPARE(timer->interval(), 3000);
        }
        QCOMPARE(openDialogFilter("OpenFile"), QString("Text File (*.txt *.TXT);;All (*)"));
        QCOMPARE(openDialogFilter("OpenFile1"), openDialogFilter("OpenFile"));
        QCOMPARE(itemsOf(control<QComboBox>("ComboBox")),
                 QStringList({"2 minutes", "5 minutes", "10 minutes", "15 minutes", "20 minutes", "30 minutes",
                              "45 minutes", "60 minutes"}));
        QCOMPARE(itemsOf(control<QComboBox>("ComboBox1")),
                 QStringList(
                     {"30 seconds", "1 minute", "2 minutes", "5 minutes", "10 minutes", "15 minutes", "20 minutes"}));
    }

    // A start finds the portfolios, the sort and the refresh times chosen in the run before, each
    // refresh off until its box is checked; a portfolio gone since, or a settings file that cannot
    // be read, gives the defaults.
    void choicesAreThereAtTheNextStart_data() {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("portfolio");
        QTest::addColumn<bool>("kept");
        QTest::newRow("as left") << ""
                                 << "mine.txt" << true;
        QTest::newRow("portfolio deleted") << "portfolio"
                                           << "input.txt" << true;
        QTest::newRow("file corrupt") << "corrupt"
                                      << "input.txt" << false;
        QTest::newRow("folder in its place") << "folder"
                                             << "input.txt" << false;
    }
    void choicesAreThereAtTheNextStart() {
        QFETCH(QString, damage);
        QFETCH(QString, portfolio);
        QFETCH(bool, kept);
        LoadFolder folder;
        folder.writePortfolio({"IBM"}, "mine.txt");
        OpenDialogSeam::answerInTests();
        for (const char* tab : {"RealTime", "Quotes"}) {
            OpenDialogSeam::queueAnswer(folder.path("mine.txt"));
            QVERIFY(showTab(tab));
            QTest::keyClick(&tickwellWindow(), Qt::Key_O, Qt::ControlModifier);
        }
        QTest::mouseClick(control("CheckBox2"), Qt::LeftButton);
        QTest::mouseClick(control("CheckBox"), Qt::LeftButton); // this tab's time is chosen with its refresh on
        QTest::keyClick(control("ComboBox"), Qt::Key_Down);
        QVERIFY(showTab("RealTime"));
        QTest::keyClick(control("ComboBox1"), Qt::Key_Down);
        if (damage == "portfolio")
            QVERIFY(QFile::remove(folder.path("mine.txt")));
        else if (damage == "corrupt")
            QVERIFY(writeFileBytes(settingsFile(), "[Quotes\nportfolio=\xff\n[RealTime]autoSort"));
        else if (damage == "folder")
            QVERIFY(QFile::remove(settingsFile()) && QDir().mkdir(settingsFile()));

        restartTickwell().show();
        QCOMPARE(control<QLineEdit>("Portfolio")->text() + control<QLineEdit>("Portfolio1")->text(),
                 portfolio + portfolio);
        QCOMPARE(control<QCheckBox>("CheckBox2")->isChecked(), kept);
        QCOMPARE(control<QComboBox>("ComboBox")->currentText() + "," + control<QComboBox>("ComboBox1")->currentText(),
                 kept ? "2 minutes,30 seconds" : "Refresh Time,Refresh Time");
        QVERIFY(!control<QCheckBox>("CheckBox")->isChecked());
        QTest::mouseClick(control("CheckBox"), Qt::LeftButton);
        QCOMPARE(control<QTimer>("Timer")->isActive(), kept);
        QFile::remove(settingsFile());
        QDir().rmdir(settingsFile());
        restartTickwell().show();
    }
};

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
