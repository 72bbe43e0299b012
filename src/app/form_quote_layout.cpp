// The main window's controls, each at its designed place within its tab sheet.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include "app/form_quote.h"
#include "app/quote_colours.h"
#include "app/refresh_intervals.h"
#include "platform/fonts.h"
#include "platform/open_dialog.h"
#include "platform/rich_edit.h"
#include "platform/status_bar.h"
#include "platform/string_grid.h"

namespace {
constexpr int ClientWidth = 641;
constexpr int ClientHeight = 522;

template <typename W> W* place(W* widget, const char* name, int left, int top, int width, int height) {
    widget->setObjectName(name);
    widget->setGeometry(left, top, width, height);
    return widget;
}

// Labels size themselves to their text, from their designed left and top.
void autoSize(QLabel* widget) {
    widget->resize(std::max(widget->width(), widget->sizeHint().width()), widget->height());
}

QLabel* label(QWidget* tab, const char* name, const QString& caption, int l, int t, int w, int h) {
    auto* widget = place(new QLabel(caption, tab), name, l, t, w, h);
    widget->setWordWrap(false);
    autoSize(widget);
    return widget;
}

QLabel* header(QWidget* tab, const char* name, const QString& caption, int l, int t, int w, int h) {
    auto* widget = label(tab, name, caption, l, t, w, h);
    widget->setFont(pixelFont("MS Sans Serif", 12, true));
    autoSize(widget);
    return widget;
}

QLabel* colouredLabel(QWidget* tab, const char* name, const QString& caption, QColor colour, int l, int t, int w,
                      int h) {
    auto* widget = label(tab, name, caption, l, t, w, h);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
    return widget;
}

QLineEdit* edit(QWidget* tab, const char* name, const QString& text, int l, int t, int w, int h) {
    return place(new QLineEdit(text, tab), name, l, t, w, h);
}

QPushButton* button(QWidget* tab, const char* name, const QString& caption, int l, int t, int w, int h) {
    auto* widget = place(new QPushButton(caption, tab), name, l, t, w, h);
    widget->setAutoDefault(false);
    return widget;
}

QCheckBox* checkBox(QWidget* tab, const char* name, const QString& caption, int l, int t, int w, int h) {
    return place(new QCheckBox(caption, tab), name, l, t, w, h);
}

QComboBox* refreshCombo(QWidget* tab, const char* name, const RefreshChoice* choices, int count, int l, int t) {
    auto* combo = place(new QComboBox(tab), name, l, t, 145, 21);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    // A typed text stays a typed text: no completion to an item, and no silent match to an item
    // when the box loses the focus (the handlers could not tell either from a choice).
    combo->setCompleter(nullptr);
    QObject::disconnect(combo->lineEdit(), &QLineEdit::editingFinished, nullptr, nullptr);
    for (int i = 0; i < count; ++i)
        combo->addItem(choices[i].text);
    combo->setCurrentIndex(-1);
    combo->setEditText("Refresh Time");
    return combo;
}

TStatusBar* statusBarAt(QWidget* tab, const char* name) {
    return place(new TStatusBar(tab), name, 0, 475, 633, 19);
}

TRichEdit* mirror(QWidget* tab, const char* name, int l, int t, int w, int h) {
    // Kept off-screen for the program's own use: the user can neither reach nor type into it.
    auto* widget = place(new TRichEdit(tab), name, l, t, w, h);
    widget->setReadOnly(true);
    widget->setFocusPolicy(Qt::NoFocus);
    return widget;
}

TStringGrid* grid(QWidget* tab, const char* name, int l, int t, int w, int h) {
    auto* widget = place(new TStringGrid(tab), name, l, t, w, h);
    widget->setColCount(7);
    return widget;
}
} // namespace

void TFormQuote::createQuotesTab() {
    QWidget* tab = Quotes;
    Label16 = header(tab, "Label16", "Last Trade", 132, 0, 62, 13);
    Label3 = header(tab, "Label3", "Symbol", 16, 16, 41, 13);
    Label4 = header(tab, "Label4", "Time", 111, 16, 28, 13);
    Label5 = header(tab, "Label5", "Price", 189, 16, 30, 13);
    Label6 = header(tab, "Label6", "Change", 306, 16, 44, 13);
    Label7 = header(tab, "Label7", "%Change", 390, 16, 53, 13);
    Label8 = header(tab, "Label8", "Volume", 481, 16, 42, 13);

    QT1 = grid(tab, "QT1", 16, 34, 587, 306);
    QT1->setRowCount(40);
    QT1->setDefaultColWidth(81);
    QT1->setRangeSelect(true);
    QT1->setBackgroundColor(Qt::white);
    QT1->defaultDrawing = false;
    QT1->setFont(pixelFont("Courier", 12));

    CheckBox1 = checkBox(tab, "CheckBox1", "Automatic alphabetical sort", 16, 352, 225, 17);
    CheckBox2 = checkBox(tab, "CheckBox2", "Automatic sort by %change", 16, 372, 238, 17);
    BtnQuote = button(tab, "BtnQuote", "Get Quotes", 260, 361, 86, 25);
    // Designed with a 3-pixel font, which no one can read; it takes CheckBox3's 12 pixels.
    CheckBox = checkBox(tab, "CheckBox", "Automatic  Refresh Enabled", 448, 349, 190, 17);
    CheckBox->setFont(pixelFont("MS Sans Serif", 12));
    ComboBox = refreshCombo(tab, "ComboBox", QuotesRefreshChoices, QuotesRefreshChoiceCount, 448, 372);

    Bevel1 = place(new QFrame(tab), "Bevel1", 0, 404, 641, 37);
    Bevel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Bevel1->lower();

    Edit2 = edit(tab, "Edit2", "", 19, 410, 47, 24);
    Button2 = button(tab, "Button2", "Find symbol", 72, 411, 91, 19);
    Edit1 = edit(tab, "Edit1", "", 210, 410, 57, 24);
    Button3 = button(tab, "Button3", "Display Details", 273, 410, 109, 20);
    Portfolio = edit(tab, "Portfolio", "input.txt", 421, 410, 97, 24);
    Portfolio->setReadOnly(true);
    PortName = button(tab, "PortName", "Select Portfolio", 525, 410, 105, 20);

    AdvLabel = colouredLabel(tab, "AdvLabel", "Adv", RisingColour, 43, 453, 19, 13);
    Adv = edit(tab, "Adv", "", 77, 449, 50, 24);
    Label1 = colouredLabel(tab, "Label1", "Decl", FallingColour, 244, 453, 22, 13);
    Decl = edit(tab, "Decl", "", 282, 449, 50, 24);
    Label2 = colouredLabel(tab, "Label2", "UnChg", QColor(0, 0, 255), 475, 453, 33, 13);
    NoChg = edit(tab, "NoChg", "", 526, 449, 49, 24);

    StatusBar1 = statusBarAt(tab, "StatusBar1");
    // The text mirror of the rows lies beyond the visible client width.
    DisplayQR = mirror(tab, "DisplayQR", 731, 124, 86, 50);
    DisplayQR->setFont(pixelFont("Courier", 5));
}

void TFormQuote::createRealTimeTab() {
    QWidget* tab = RealTime;
    Label9 = header(tab, "Label9", "Symbol", 33, 13, 41, 13);
    Label10 = header(tab, "Label10", "Time", 98, 13, 28, 13);
    Label11 = header(tab, "Label11", "Trade", 176, 13, 34, 13);
    Label12 = header(tab, "Label12", "Change", 260, 13, 44, 13);
    Label13 = header(tab, "Label13", "After Hrs Chg", 358, 13, 77, 13);
    Label14 = header(tab, "Label14", "Bid", 468, 13, 19, 13);
    Label15 = header(tab, "Label15", "Ask", 533, 13, 22, 13);

    RT1 = grid(tab, "RT1", 32, 32, 576, 365);
    RT1->setRowCount(45);
    RT1->setDefaultColWidth(100);
    RT1->setRangeSelect(false);
    RT1->setBackgroundColor(palette().color(QPalette::Base));
    RT1->defaultDrawing = true;
    RT1->setFont(pixelFont("Courier New", 16));

    BtnQuote1 = button(tab, "BtnQuote1", "Get Quotes", 267, 408, 88, 25);
    CheckBox3 = checkBox(tab, "CheckBox3", "Automatic  Refresh Enabled", 32, 421, 229, 17);
    CheckBox3->setFont(pixelFont("MS Sans Serif", 12));
    ComboBox1 = refreshCombo(tab, "ComboBox1", RealTimeRefreshChoices, RealTimeRefreshChoiceCount, 32, 448);
    Portfolio1 = edit(tab, "Portfolio1", "input.txt", 388, 448, 105, 21);
    Portfolio1->setReadOnly(true);
    Button1 = button(tab, "Button1", "Select Portfolio", 501, 448, 116, 20);
    StatusBar2 = statusBarAt(tab, "StatusBar2");
    DisplayQR1 = mirror(tab, "DisplayQR1", 731, 72, 577, 81);
}

void TFormQuote::createPortfoliosTab() {
    QWidget* tab = Historical;
    StaticText12 = header(tab, "StaticText12", "input.txt", 24, 31, 51, 17);
    StaticText12->setMinimumWidth(0);
    StaticText12->hide();
    RichEdit2 = place(new TRichEdit(tab), "RichEdit2", 24, 50, 209, 401);
    Button5 = button(tab, "Button5", "Edit Portfolio", 328, 48, 113, 22);
    Button6 = button(tab, "Button6", "Create Portfolio", 328, 80, 113, 22);
    Button7 = button(tab, "Button7", "Save", 328, 112, 113, 22);
    Button8 = button(tab, "Button8", "Cancel", 328, 144, 113, 22);
    RichEdit3 = place(new TRichEdit(tab), "RichEdit3", 328, 216, 212, 253);
    RichEdit3->setFrameStyle(QFrame::NoFrame);
    RichEdit3->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    RichEdit3->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    RichEdit3->setReadOnly(true);
    // A caret shows where the focus is when Tab reaches the hint.
    RichEdit3->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    QPalette palette = RichEdit3->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    RichEdit3->setPalette(palette);
    RichEdit3->setPlainText("Add or Delete stock symbols in the box on \n"
                            "the left.  Type only one symbol per line.  \n"
                            "Click Save after making changes to the list \n"
                            "on the left.  ");
    RichEdit3->hide();
}

void TFormQuote::createMenu() {
    MainMenu1 = new QMenuBar(this);
    MainMenu1->setObjectName("MainMenu1");
    MainMenu1->setFont(windowFont()); // its own font: the menu does not follow the window's rescale
    setMenuBar(MainMenu1);
    auto item = [](QMenu* menu, const char* name, const QString& caption) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(name);
        return action;
    };
    Sort1 = MainMenu1->addMenu("Sort");
    Sort1->setObjectName("Sort1");
    Alphabetically1 = item(Sort1, "Alphabetically1", "Alphabetically");
    Alphabetically1->setShortcut(QKeySequence("Ctrl+A"));
    byChange1 = item(Sort1, "byChange1", "by %Change");
    byChange1->setShortcut(QKeySequence("Ctrl+R"));

    Help1 = MainMenu1->addMenu("Help");
    Help1->setObjectName("Help1");
    About1 = item(Help1, "About1", "About Tickwell");
    AddingStockSymbols1 = item(Help1, "AddingStockSymbols1", "Add/Delete Stock Symbols");
    Aboutautomaticrefreshfeature1 = item(Help1, "Aboutautomaticrefreshfeature1", "Automatic Refresh Feature");
    Aboutautomaticsort1 = item(Help1, "Aboutautomaticsort1", "Automatic Sort Options");

    WindowSizing1 = MainMenu1->addMenu("Window Sizing");
    WindowSizing1->setObjectName("WindowSizing1");
    Reduced1 = item(WindowSizing1, "Reduced1", "Reduced");
    Normal = item(WindowSizing1, "Normal", "Normal");
    Enlarged1 = item(WindowSizing1, "Enlarged1", "Enlarged");
    for (QAction* size : {Reduced1, Normal, Enlarged1})
        size->setCheckable(true);
    Normal->setChecked(true);
}

void TFormQuote::createComponents() {
    Timer = new QTimer(this);
    Timer->setObjectName("Timer");
    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    for (QTimer* timer : {Timer, Timer1}) {
        timer->setInterval(3000);
        timer->setSingleShot(false);
    }
    OpenFile = new TOpenDialog("OpenFile");
    OpenFile1 = new TOpenDialog("OpenFile1");
}

void TFormQuote::setTabOrder() {
    // One focus chain after the page control (first, as it was created first): each tab's
    // controls in their designed order. The hidden mirrors and the editor's file name are
    // no stops: neither shows a focus.
    const std::initializer_list<QWidget*> order = {
        BtnQuote,  CheckBox,   ComboBox, CheckBox1, CheckBox2, Edit2,   Button2, Portfolio, PortName,
        Adv,       Decl,       NoChg,    Edit1,     Button3,   QT1,     RT1,     BtnQuote1, CheckBox3,
        ComboBox1, Portfolio1, Button1,  RichEdit2, RichEdit3, Button5, Button6, Button7,   Button8};
    QWidget* previous = nullptr;
    for (QWidget* widget : order) {
        if (widget->focusPolicy() == Qt::NoFocus)
            widget->setFocusPolicy(Qt::TabFocus);
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}
