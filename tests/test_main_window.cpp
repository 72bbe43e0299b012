// The main window as designed: every control by name with its kind, text, place and
// visibility; the keyboard order; the menus; the timers and dialogs; the start-up state.
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

#include "app/form_quote.h"
#include "gui_support/tickwell_windows.h"
#include "platform/open_dialog.h"
#include "platform/rich_edit.h"
#include "platform/status_bar.h"
#include "platform/string_grid.h"

namespace {
bool isKind(QWidget* widget, const QString& kind) {
    if (kind == "label")
        return qobject_cast<QLabel*>(widget);
    if (kind == "button")
        return qobject_cast<QPushButton*>(widget);
    if (kind == "check")
        return qobject_cast<QCheckBox*>(widget);
    if (kind == "combo")
        return qobject_cast<QComboBox*>(widget) && static_cast<QComboBox*>(widget)->isEditable();
    if (kind == "edit")
        return qobject_cast<QLineEdit*>(widget) && !static_cast<QLineEdit*>(widget)->isReadOnly();
    if (kind == "readonly")
        return qobject_cast<QLineEdit*>(widget) && static_cast<QLineEdit*>(widget)->isReadOnly();
    if (kind == "grid")
        return qobject_cast<TStringGrid*>(widget);
    if (kind == "bevel")
        return qobject_cast<QFrame*>(widget) && !qobject_cast<QLabel*>(widget);
    if (kind == "status")
        return dynamic_cast<TStatusBar*>(widget);
    if (kind == "rich")
        return dynamic_cast<TRichEdit*>(widget);
    return false;
}

QString textOf(QWidget* widget) {
    if (auto* w = qobject_cast<QLabel*>(widget))
        return w->text();
    if (auto* w = qobject_cast<QAbstractButton*>(widget))
        return w->text();
    if (auto* w = qobject_cast<QLineEdit*>(widget))
        return w->text();
    if (auto* w = qobject_cast<QComboBox*>(widget))
        return w->currentText();
    if (auto* w = dynamic_cast<TRichEdit*>(widget))
        return w->toPlainText();
    return QString();
}
} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        TickwellWindows().show();
        QVERIFY(QTest::qWaitForWindowExposed(&TickwellWindows()));
    }
    void controls_data();
    void controls();
    void fonts();
    void window();
    void menus();
    void components();
    void startState();
};

void MainWindowTest::controls_data() {
    QTest::addColumn<QString>("tab");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("place");
    QTest::addColumn<bool>("visible");
    struct Row {
        const char* tab;
        const char* name;
        const char* kind;
        const char* text;
        QRect place;
        bool visible;
    };
    const Row rows[] = {
        {"Quotes", "Label16", "label", "Last Trade", {132, 0, 62, 13}, true},
        {"Quotes", "Label3", "label", "Symbol", {16, 16, 41, 13}, true},
        {"Quotes", "Label4", "label", "Time", {111, 16, 28, 13}, true},
        {"Quotes", "Label5", "label", "Price", {189, 16, 30, 13}, true},
        {"Quotes", "Label6", "label", "Change", {306, 16, 44, 13}, true},
        {"Quotes", "Label7", "label", "%Change", {390, 16, 53, 13}, true},
        {"Quotes", "Label8", "label", "Volume", {481, 16, 42, 13}, true},
        {"Quotes", "QT1", "grid", "", {16, 34, 587, 306}, true},
        {"Quotes", "CheckBox1", "check", "Automatic alphabetical sort", {16, 352, 225, 17}, true},
        {"Quotes", "CheckBox2", "check", "Automatic sort by %change", {16, 372, 238, 17}, true},
        {"Quotes", "BtnQuote", "button", "Get Quotes", {260, 361, 86, 25}, true},
        {"Quotes", "CheckBox", "check", "Automatic  Refresh Enabled", {448, 349, 190, 17}, true},
        {"Quotes", "ComboBox", "combo", "Refresh Time", {448, 372, 145, 21}, true},
        {"Quotes", "Bevel1", "bevel", "", {0, 404, 641, 37}, true},
        {"Quotes", "Edit2", "edit", "", {19, 410, 47, 24}, true},
        {"Quotes", "Button2", "button", "Find symbol", {72, 411, 91, 19}, true},
        {"Quotes", "Edit1", "edit", "", {210, 410, 57, 24}, true},
        {"Quotes", "Button3", "button", "Display Details", {273, 410, 109, 20}, true},
        {"Quotes", "Portfolio", "readonly", "input.txt", {421, 410, 97, 24}, true},
        {"Quotes", "PortName", "button", "Select Portfolio", {525, 410, 105, 20}, true},
        {"Quotes", "AdvLabel", "label", "Adv", {43, 453, 19, 13}, true},
        {"Quotes", "Adv", "edit", "", {77, 449, 50, 24}, true},
        {"Quotes", "Label1", "label", "Decl", {244, 453, 22, 13}, true},
        {"Quotes", "Decl", "edit", "", {282, 449, 50, 24}, true},
        {"Quotes", "Label2", "label", "UnChg", {475, 453, 33, 13}, true},
        {"Quotes", "NoChg", "edit", "", {526, 449, 49, 24}, true},
        {"Quotes", "StatusBar1", "status", "", {0, 475, 633, 19}, true},
        {"Quotes", "DisplayQR", "rich", "", {731, 124, 86, 50}, true},
        {"RealTime", "Label9", "label", "Symbol", {33, 13, 41, 13}, true},
        {"RealTime", "Label10", "label", "Time", {98, 13, 28, 13}, true},
        {"RealTime", "Label11", "label", "Trade", {176, 13, 34, 13}, true},
        {"RealTime", "Label12", "label", "Change", {260, 13, 44, 13}, true},
        {"RealTime", "Label13", "label", "After Hrs Chg", {358, 13, 77, 13}, true},
        {"RealTime", "Label14", "label", "Bid", {468, 13, 19, 13}, true},
        {"RealTime", "Label15", "label", "Ask", {533, 13, 22, 13}, true},
        {"RealTime", "RT1", "grid", "", {32, 32, 576, 365}, true},
        {"RealTime", "BtnQuote1", "button", "Get Quotes", {267, 408, 88, 25}, true},
        {"RealTime", "CheckBox3", "check", "Automatic  Refresh Enabled", {32, 421, 229, 17}, true},
        {"RealTime", "ComboBox1", "combo", "Refresh Time", {32, 448, 145, 21}, true},
        {"RealTime", "Portfolio1", "readonly", "input.txt", {388, 448, 105, 21}, true},
        {"RealTime", "Button1", "button", "Select Portfolio", {501, 448, 116, 20}, true},
        {"RealTime", "StatusBar2", "status", "", {0, 475, 633, 19}, true},
        {"RealTime", "DisplayQR1", "rich", "", {731, 72, 577, 81}, true},
        {"Historical", "StaticText12", "label", "input.txt", {24, 31, 51, 17}, false},
        {"Historical", "RichEdit2", "rich", "", {24, 50, 209, 401}, true},
        {"Historical", "Button5", "button", "Edit Portfolio", {328, 48, 113, 22}, true},
        {"Historical", "Button6", "button", "Create Portfolio", {328, 80, 113, 22}, true},
        {"Historical", "Button7", "button", "Save", {328, 112, 113, 22}, true},
        {"Historical", "Button8", "button", "Cancel", {328, 144, 113, 22}, true},
        {"Historical",
         "RichEdit3",
         "rich",
         "Add or Delete stock symbols in the box on \nthe left.  Type only one symbol per line.  \n"
         "Click Save after making changes to the list \non the left.  ",
         {328, 216, 212, 253},
         false},
    };
    for (const Row& row : rows)
        QTest::newRow(row.name) << row.tab << row.name << row.kind << row.text << row.place << row.visible;
}

void MainWindowTest::controls() {
    QFETCH(QString, tab);
    QFETCH(QString, name);
    QFETCH(QString, kind);
    QFETCH(QString, text);
    QFETCH(QRect, place);
    QFETCH(bool, visible);
    auto* widget = qobject_cast<QWidget*>(FindControl(name));
    QVERIFY2(widget, qPrintable(name));
    QCOMPARE(widget->parentWidget()->objectName(), tab);
    QVERIFY2(isKind(widget, kind), qPrintable(kind));
    QCOMPARE(textOf(widget), text);
    if (kind == "label") {
        // Labels size themselves to their text from their designed place.
        QCOMPARE(widget->pos(), place.topLeft());
        QCOMPARE(widget->height(), place.height());
        QVERIFY(widget->width() >= place.width());
        QVERIFY(widget->width() >= widget->sizeHint().width());
    } else {
        QCOMPARE(widget->geometry(), place);
    }
    QCOMPARE(widget->isVisibleTo(widget->parentWidget()), visible);
    if (!textOf(widget).isEmpty() && kind != "rich" && kind != "edit" && kind != "readonly" && kind != "combo")
        QCOMPARE(widget->accessibleName().isEmpty() ? textOf(widget) : widget->accessibleName(), textOf(widget));
}

void MainWindowTest::fonts() {
    TFormQuote& form = TickwellWindows();
    QCOMPARE(form.font().family(), QString("MS Sans Serif"));
    QCOMPARE(form.font().pixelSize(), 11);
    for (QLabel* header : {form.Label16, form.Label3, form.Label8, form.Label9, form.Label15, form.StaticText12}) {
        QCOMPARE(header->font().pixelSize(), 12);
        QVERIFY(header->font().bold());
    }
    // The refresh box of the Quotes tab reads like its twin on the RealTime tab.
    QCOMPARE(form.CheckBox->font().pixelSize(), 12);
    QCOMPARE(form.CheckBox3->font().pixelSize(), 12);
    QCOMPARE(form.AdvLabel->palette().color(QPalette::WindowText), QColor(0, 128, 0));
    QCOMPARE(form.Label1->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QCOMPARE(form.Label2->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    QCOMPARE(form.QT1->font().family(), QString("Courier"));
    QCOMPARE(form.RT1->font().family(), QString("Courier New"));
}

void MainWindowTest::window() {
    TFormQuote& form = TickwellWindows();
    QCOMPARE(form.windowTitle(), QString("Tickwell"));
    QCOMPARE(form.PgC1->size(), QSize(641, 522));
    QCOMPARE(form.minimumSize(), form.maximumSize()); // single fixed border
    QVERIFY(form.windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(form.PgC1->count(), 3);
    QCOMPARE(form.PgC1->tabText(0), QString("Quotes"));
    QCOMPARE(form.PgC1->tabText(1), QString("RealTime"));
    QCOMPARE(form.PgC1->tabText(2), QString("Portfolios"));
    QCOMPARE(form.NormalWidth, form.width());
    QCOMPARE(form.NormalHeight, form.height());
    QCOMPARE(form.QT1->DefaultRowHeight(), 16);
    QCOMPARE(form.RT1->DefaultRowHeight(), 12);
    QCOMPARE(form.QT1->RowCount(), 40);
    QCOMPARE(form.RT1->RowCount(), 45);
    QVERIFY(!form.windowIcon().isNull());
}

void MainWindowTest::menus() {
    TFormQuote& form = TickwellWindows();
    const QList<QAction*> top = form.MainMenu1->actions();
    QCOMPARE(top.size(), 3);
    QCOMPARE(top[0]->text(), QString("Sort"));
    QCOMPARE(top[1]->text(), QString("Help"));
    QCOMPARE(top[2]->text(), QString("Window Sizing"));
    auto items = [](QMenu* menu) {
        QStringList list;
        for (QAction* action : menu->actions())
            list << action->objectName() + "=" + action->text() + "|" + action->shortcut().toString();
        return list;
    };
    QCOMPARE(items(form.Sort1), QStringList({"Alphabetically1=Alphabetically|Ctrl+A", "byChange1=by %Change|Ctrl+R"}));
    QCOMPARE(items(form.Help1), QStringList({"About1=About Tickwell|", "AddingStockSymbols1=Add/Delete Stock Symbols|",
                                             "Aboutautomaticrefreshfeature1=Automatic Refresh Feature|",
                                             "Aboutautomaticsort1=Automatic Sort Options|"}));
    QCOMPARE(items(form.WindowSizing1), QStringList({"Reduced1=Reduced|", "Normal=Normal|", "Enlarged1=Enlarged|"}));
    QVERIFY(!form.Reduced1->isChecked());
    QVERIFY(form.Normal->isChecked());
    QVERIFY(!form.Enlarged1->isChecked());
}

void MainWindowTest::components() {
    TFormQuote& form = TickwellWindows();
    for (QTimer* timer : {form.Timer, form.Timer1}) {
        QVERIFY(!timer->isActive());
        QCOMPARE(timer->interval(), 3000);
    }
    QCOMPARE(form.Timer->objectName(), QString("Timer"));
    QCOMPARE(form.Timer1->objectName(), QString("Timer1"));
    QCOMPARE(TOpenDialog::qtFilter(form.OpenFile->Filter), QString("Text File (*.txt *.TXT);;All (*)"));
    QCOMPARE(form.OpenFile1->Filter, form.OpenFile->Filter);
    QStringList quotesItems, realTimeItems;
    for (int i = 0; i < form.ComboBox->count(); ++i)
        quotesItems << form.ComboBox->itemText(i);
    for (int i = 0; i < form.ComboBox1->count(); ++i)
        realTimeItems << form.ComboBox1->itemText(i);
    QCOMPARE(quotesItems, QStringList({"2 minutes", "5 minutes", "10 minutes", "15 minutes", "20 minutes", "30 minutes",
                                       "45 minutes", "60 minutes"}));
    QCOMPARE(realTimeItems, QStringList({"30 seconds", "1 minute", "2 minutes", "5 minutes", "10 minutes", "15 minutes",
                                         "20 minutes"}));
}

void MainWindowTest::startState() {
    TFormQuote& form = TickwellWindows();
    QCOMPARE(form.PgC1->currentWidget(), form.Quotes);
    QVERIFY(form.StatusBar1->SimplePanel());
    for (QLineEdit* count : {form.Adv, form.Decl, form.NoChg})
        QVERIFY(count->text().isEmpty());
    QVERIFY(!form.CheckBox->isChecked());
    QVERIFY(!form.CheckBox3->isChecked());
    QCOMPARE(form.ComboBox->currentIndex(), -1);
    QCOMPARE(form.ComboBox1->currentIndex(), -1);
    QVERIFY(form.PortfolioFileName.isEmpty());
    QVERIFY(!form.PortfolioFile);
    // The RealTime status bar takes simple texts once its tab has been shown.
    QVERIFY(!form.StatusBar2->SimplePanel());
    form.PgC1->setCurrentWidget(form.RealTime);
    QVERIFY(form.StatusBar2->SimplePanel());
    form.PgC1->setCurrentWidget(form.Quotes);
}

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
