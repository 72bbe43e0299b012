#include "app/form_quote.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include "app/app_icon.h"
#include "help/about_window.h"
#include "help/help_text_window.h"
#include "help/show_help_window.h"
#include "platform/core/quote_server.h"
#include "platform/fonts.h"
#include "platform/message_box.h"
#include "platform/open_dialog.h"
#include "platform/rich_edit.h"
#include "platform/status_bar.h"
#include "platform/string_grid.h"
#include "portfolio/portfolio_editor.h"
#include "quotes/delayed_load.h"
#include "quotes/quote_views.h"
#include "realtime/real_time_load.h"
#include "realtime/rt_views.h"

TFormQuote* FormQuote = nullptr;

TFormQuote::TFormQuote(QWidget* parent) : QMainWindow(parent) {
    setObjectName("FormQuote");
    setWindowTitle("Tickwell");
    setWindowIcon(TickwellIcon());
    setFont(windowFont());
    // Single fixed border: system menu and minimise, no maximise.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

    PgC1 = new QTabWidget(this);
    PgC1->setObjectName("PgC1");
    setCentralWidget(PgC1);
    Quotes = new QWidget;
    Quotes->setObjectName("Quotes");
    RealTime = new QWidget;
    RealTime->setObjectName("RealTime");
    Historical = new QWidget;
    Historical->setObjectName("Historical");
    PgC1->addTab(Quotes, "Quotes");
    PgC1->addTab(RealTime, "RealTime");
    PgC1->addTab(Historical, "Portfolios");

    createQuotesTab();
    createRealTimeTab();
    createPortfoliosTab();
    createMenu();
    createComponents();
    setTabOrder();
    quotesLoadView_ = new QuotesLoadView(*this);
    realTimeLoadView_ = new RealTimeLoadView(*this);

    setFixedSize(641, 522 + MainMenu1->sizeHint().height());
    PgC1->setCurrentWidget(Quotes);
    connectHandlers();
    FormCreate();
    QuotesShow();
}

TFormQuote::~TFormQuote() {
    delete quotesLoadView_;
    delete realTimeLoadView_;
    delete OpenFile;
    delete OpenFile1;
    if (PortfolioFile)
        std::fclose(PortfolioFile);
}

void TFormQuote::connectHandlers() {
    connect(BtnQuote, &QPushButton::clicked, this, [this] { BtnQuoteClick(); });
    connect(BtnQuote1, &QPushButton::clicked, this, [this] { BtnQuote1Click(); });
    connect(PgC1, &QTabWidget::currentChanged, this, [this](int index) {
        if (PgC1->widget(index) == Quotes)
            QuotesShow();
        else if (PgC1->widget(index) == RealTime)
            RealTimeShow();
    });
    connect(CheckBox1, &QCheckBox::clicked, this, [this] { CheckBox1Click(); });
    connect(CheckBox2, &QCheckBox::clicked, this, [this] { CheckBox2Click(); });

    connect(Alphabetically1, &QAction::triggered, this, [this] { Alphabetically1Click(Alphabetically1); });
    connect(byChange1, &QAction::triggered, this, [this] { byChange1Click(byChange1); });
    connect(About1, &QAction::triggered, this, [this] { About1Click(); });
    connect(AddingStockSymbols1, &QAction::triggered, this, [this] { AddingStockSymbols1Click(); });
    connect(Aboutautomaticrefreshfeature1, &QAction::triggered, this, [this] { Aboutautomaticrefreshfeature1Click(); });
    connect(Aboutautomaticsort1, &QAction::triggered, this, [this] { Aboutautomaticsort1Click(); });
    // A checkable item flips its mark before it reports the click; the sizing handlers read
    // the marks as they stood before it, so the flip is undone first.
    auto sizingItem = [this](QAction* item, void (TFormQuote::*handler)()) {
        connect(item, &QAction::triggered, this, [this, item, handler] {
            item->setChecked(!item->isChecked());
            (this->*handler)();
        });
    };
    sizingItem(Reduced1, &TFormQuote::Reduced1Click);
    sizingItem(Normal, &TFormQuote::NormalClick);
    sizingItem(Enlarged1, &TFormQuote::Enlarged1Click);

    QT1->onDrawCell = [this](int col, int row, const QRect& rect, QPainter& canvas) {
        QT1DrawCell(col, row, rect, canvas);
    };
    RT1->onDrawCell = [this](int col, int row, const QRect& rect, QPainter& canvas) {
        RT1DrawCell(col, row, rect, canvas);
    };
    QT1->onClick = [this] { QT1Click(); };
    RT1->onClick = [this] { RT1Click(); };

    connect(CheckBox, &QCheckBox::toggled, this, [this] { CheckBoxClick(); });
    connect(CheckBox3, &QCheckBox::toggled, this, [this] { CheckBox3Click(); });
    connect(ComboBox, &QComboBox::editTextChanged, this, [this] { ComboBoxChange(); });
    connect(ComboBox1, &QComboBox::editTextChanged, this, [this] { ComboBox1Change(); });
    // Picking the item whose text the user had just typed changes no text, yet it is a choice.
    auto pickWithoutTextChange = [this](QComboBox* combo, void (TFormQuote::*change)()) {
        connect(combo, &QComboBox::activated, this, [this, combo, change] {
            if (combo->lineEdit()->isModified()) {
                combo->lineEdit()->setModified(false);
                (this->*change)();
            }
        });
    };
    pickWithoutTextChange(ComboBox, &TFormQuote::ComboBoxChange);
    pickWithoutTextChange(ComboBox1, &TFormQuote::ComboBox1Change);
    connect(Timer, &QTimer::timeout, this, [this] { TimerTimer(); });
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });

    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
    Edit2->installEventFilter(this);
    Button2->installEventFilter(this);

    connect(PortName, &QPushButton::clicked, this, [this] { PortNameClick(); });
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Portfolio, &QLineEdit::textChanged, this, [this] { PortfolioChange(); });
    connect(Portfolio1, &QLineEdit::textChanged, this, [this] { Portfolio1Change(); });
    connect(Button5, &QPushButton::clicked, this, [this] { Button5Click(); });
    connect(Button6, &QPushButton::clicked, this, [this] { Button6Click(); });
    connect(Button7, &QPushButton::clicked, this, [this] { Button7Click(); });
    connect(Button8, &QPushButton::clicked, this, [this] { Button8Click(); });
}

namespace {
// Tab, Shift+Tab or a click: not a box, a menu or another window taking the focus.
bool movedByUser(Qt::FocusReason reason) {
    return reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::MouseFocusReason;
}
} // namespace

bool TFormQuote::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Edit2 && event->type() == QEvent::KeyPress)
        Edit2KeyDown(static_cast<QKeyEvent*>(event)->key());
    else if (watched == Button2 && event->type() == QEvent::FocusOut && !searching_ &&
             movedByUser(static_cast<QFocusEvent*>(event)->reason()))
        Button2Exit();
    return QMainWindow::eventFilter(watched, event);
}

void TFormQuote::closeEvent(QCloseEvent* event) {
    if (EditorHasUnsavedChanges(*this)) {
        const MsgAnswer answer = MessageBox("The portfolio " + StaticText12->text() +
                                                " has changes that are not saved. Save them before closing?",
                                            "Attention", MsgButtons::SaveDiscardCancel);
        const bool mayClose = answer == MsgAnswer::Discard || (answer == MsgAnswer::Save && SaveEditor(*this));
        if (!mayClose) {
            event->ignore();
            return;
        }
    }
    QMainWindow::closeEvent(event);
}

void TFormQuote::FormCreate() {
    NormalWidth = width();
    NormalHeight = height();
    RT1->setDefaultRowHeight(12);
    QT1->setDefaultRowHeight(16);
}

void TFormQuote::BtnQuoteClick() {
    if (QuotesLoading)
        return;
    QuotesLoading = true;
    QT1->setRow(0);
    Adv->setText("");
    Decl->setText("");
    NoChg->setText("");
    new QuoteLoadThread(DelayedLoad,
                        {QuotesFolder.pathOf(Portfolio->text()), QuoteServerHost, QuoteServerPort, quotesLoadView_});
}

void TFormQuote::BtnQuote1Click() {
    if (RealTimeLoading)
        return;
    RealTimeLoading = true;
    RT1->setRow(0);
    new QuoteLoadThread(
        RealTimeLoad, {RealTimeFolder.pathOf(Portfolio1->text()), QuoteServerHost, QuoteServerPort, realTimeLoadView_});
}

void TFormQuote::QuotesShow() {
    StatusBar1->setSimplePanel(true);
    repaint();
}

void TFormQuote::RealTimeShow() {
    StatusBar2->setSimplePanel(true);
    repaint();
}

void TFormQuote::CheckBox1Click() {
    if (CheckBox1->isChecked() && CheckBox2->isChecked())
        CheckBox2->setChecked(false);
}

void TFormQuote::CheckBox2Click() {
    if (CheckBox2->isChecked() && CheckBox1->isChecked())
        CheckBox1->setChecked(false);
}

void TFormQuote::About1Click() {
    ShowHelpWindow(AboutForm);
}

void TFormQuote::AddingStockSymbols1Click() {
    HelpAddSym->caretToTop();
    ShowHelpWindow(HelpAddSym);
}

void TFormQuote::Aboutautomaticrefreshfeature1Click() {
    ShowHelpWindow(HelpRefresh);
}

void TFormQuote::Aboutautomaticsort1Click() {
    ShowHelpWindow(HelpAutoSort);
}
