#include "app/main_window.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QTabWidget>
#include <QTimer>

#include "app/app_icon.h"
#include "help/about_window.h"
#include "help/help_text_window.h"
#include "help/help_texts.h"
#include "help/show_help_window.h"
#include "platform/fonts.h"
#include "platform/open_dialog.h"
#include "portfolio/create_portfolio_dialog.h"
#include "portfolio/portfolios_tab.h"
#include "quotes/menu_sort.h"
#include "quotes/quotes_tab.h"
#include "realtime/real_time_tab.h"

namespace {
constexpr int ClientWidth = 641;
constexpr int ClientHeight = 522;
} // namespace

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent), quotesOpenDialog_(std::make_unique<OpenDialog>("OpenFile")),
      realTimeOpenDialog_(std::make_unique<OpenDialog>("OpenFile1")) {
    setObjectName("FormQuote");
    setWindowTitle("Tickwell");
    setWindowIcon(TickwellIcon());
    setFont(windowFont());
    // Single fixed border: system menu and minimise, no maximise.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

    createPortfolioDialog_ = new CreatePortfolioDialog(this);
    createTabs();
    createMenu();
    createTimers();
    chainFocus();

    setFixedSize(ClientWidth, ClientHeight + menuBar_->sizeHint().height());
    pages_->setCurrentWidget(quotesTab_);
    connectHandlers();
    normalWidth_ = width();
    normalHeight_ = height();
    quotesTab_->pageShown();

    addSymbolsHelp_ = std::make_unique<HelpTextWindow>(AddSymbolsHelp);
    refreshHelp_ = std::make_unique<HelpTextWindow>(RefreshHelp);
    autoSortHelp_ = std::make_unique<HelpTextWindow>(AutoSortHelp);
    about_ = std::make_unique<AboutWindow>();
}

MainWindow::~MainWindow() = default;

void MainWindow::startWithPortfolio(const QString& path) {
    quotesTab_->usePortfolio(PortfolioPath(path));
    realTimeTab_->usePortfolio(PortfolioPath(path));
}

void MainWindow::useServer(const ServerAddress& server) {
    quotesTab_->useServer(server);
    realTimeTab_->useServer(server);
}

QList<OpenDialog*> MainWindow::openDialogs() const {
    return {quotesOpenDialog_.get(), realTimeOpenDialog_.get()};
}

void MainWindow::createTabs() {
    pages_ = new QTabWidget(this);
    pages_->setObjectName("PgC1");
    setCentralWidget(pages_);
    quotesTab_ = new QuotesTab(pages_, *quotesOpenDialog_);
    pages_->addTab(quotesTab_, "Quotes");
    realTimeTab_ = new RealTimeTab(pages_, *realTimeOpenDialog_);
    pages_->addTab(realTimeTab_, "RealTime");
    portfoliosTab_ = new PortfoliosTab(pages_, *quotesOpenDialog_, *createPortfolioDialog_, quotesTab_->portfolio());
    pages_->addTab(portfoliosTab_, "Portfolios");
}

void MainWindow::createMenu() {
    menuBar_ = new QMenuBar(this);
    menuBar_->setObjectName("MainMenu1");
    menuBar_->setFont(windowFont()); // its own font: the menu does not follow the window's rescale
    setMenuBar(menuBar_);
    auto menu = [this](const char* name, const QString& caption) {
        QMenu* menu = menuBar_->addMenu(caption);
        menu->setObjectName(name);
        return menu;
    };
    auto item = [](QMenu* menu, const char* name, const QString& caption) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(name);
        return action;
    };
    sortMenu_ = menu("Sort1", "Sort");
    sortAlphabeticallyAction_ = item(sortMenu_, "Alphabetically1", "Alphabetically");
    sortAlphabeticallyAction_->setShortcut(QKeySequence("Ctrl+A"));
    sortByChangeAction_ = item(sortMenu_, "byChange1", "by %Change");
    sortByChangeAction_->setShortcut(QKeySequence("Ctrl+R"));

    helpMenu_ = menu("Help1", "Help");
    aboutAction_ = item(helpMenu_, "About1", "About Tickwell");
    addSymbolsHelpAction_ = item(helpMenu_, "AddingStockSymbols1", "Add/Delete Stock Symbols");
    refreshHelpAction_ = item(helpMenu_, "Aboutautomaticrefreshfeature1", "Automatic Refresh Feature");
    autoSortHelpAction_ = item(helpMenu_, "Aboutautomaticsort1", "Automatic Sort Options");

    sizingMenu_ = menu("WindowSizing1", "Window Sizing");
    reducedAction_ = item(sizingMenu_, "Reduced1", "Reduced");
    normalAction_ = item(sizingMenu_, "Normal", "Normal");
    enlargedAction_ = item(sizingMenu_, "Enlarged1", "Enlarged");
    for (QAction* size : {reducedAction_, normalAction_, enlargedAction_})
        size->setCheckable(true);
    normalAction_->setChecked(true);
}

void MainWindow::createTimers() {
    quotesRefreshTimer_ = new QTimer(this);
    quotesRefreshTimer_->setObjectName("Timer");
    realTimeRefreshTimer_ = new QTimer(this);
    realTimeRefreshTimer_->setObjectName("Timer1");
    for (QTimer* timer : {quotesRefreshTimer_, realTimeRefreshTimer_}) {
        timer->setInterval(3000);
        timer->setSingleShot(false);
    }
}

void MainWindow::chainFocus() {
    // One focus chain after the page control: each tab's controls in their designed order.
    // The hidden mirrors and the editor's file name are no stops: neither shows a focus.
    const QList<QWidget*> order = quotesTab_->focusChain() + realTimeTab_->focusChain() + portfoliosTab_->focusChain();
    QWidget* previous = nullptr;
    for (QWidget* widget : order) {
        if (widget->focusPolicy() == Qt::NoFocus)
            widget->setFocusPolicy(Qt::TabFocus);
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

void MainWindow::connectHandlers() {
    connect(pages_, &QTabWidget::currentChanged, this, [this](int index) { pageChanged(index); });
    connect(realTimeTab_, &RealTimeTab::symbolClicked, this,
            [this](const QString& symbol) { quotesTab_->setDetailsSymbol(symbol); });

    connect(sortAlphabeticallyAction_, &QAction::triggered, this,
            [this] { new MenuSort(false, *quotesTab_, MenuOrder::Alphabetical); });
    connect(sortByChangeAction_, &QAction::triggered, this,
            [this] { new MenuSort(false, *quotesTab_, MenuOrder::ByChange); });

    connect(aboutAction_, &QAction::triggered, this, [this] { ShowHelpWindow(about_.get()); });
    connect(addSymbolsHelpAction_, &QAction::triggered, this, [this] {
        addSymbolsHelp_->caretToTop();
        ShowHelpWindow(addSymbolsHelp_.get());
    });
    connect(refreshHelpAction_, &QAction::triggered, this, [this] { ShowHelpWindow(refreshHelp_.get()); });
    connect(autoSortHelpAction_, &QAction::triggered, this, [this] { ShowHelpWindow(autoSortHelp_.get()); });

    // A checkable item flips its mark before it reports the click; the sizing steps read the
    // marks as they stood before it, so the flip is undone first.
    auto sizingItem = [this](QAction* item, void (MainWindow::*chosen)()) {
        connect(item, &QAction::triggered, this, [this, item, chosen] {
            item->setChecked(!item->isChecked());
            (this->*chosen)();
        });
    };
    sizingItem(reducedAction_, &MainWindow::reducedChosen);
    sizingItem(normalAction_, &MainWindow::normalChosen);
    sizingItem(enlargedAction_, &MainWindow::enlargedChosen);

    connect(quotesTab_->refreshBox(), &QCheckBox::toggled, this, [this] { quotesRefreshClicked(); });
    connect(realTimeTab_->refreshBox(), &QCheckBox::toggled, this, [this] { realTimeRefreshClicked(); });
    connect(quotesTab_->refreshTimeBox(), &QComboBox::editTextChanged, this, [this] { quotesRefreshTimeChanged(); });
    connect(realTimeTab_->refreshTimeBox(), &QComboBox::editTextChanged, this,
            [this] { realTimeRefreshTimeChanged(); });
    // Picking the item whose text the user had just typed changes no text, yet it is a choice.
    auto pickWithoutTextChange = [this](QComboBox* box, void (MainWindow::*changed)()) {
        connect(box, &QComboBox::activated, this, [this, box, changed] {
            if (box->lineEdit()->isModified()) {
                box->lineEdit()->setModified(false);
                (this->*changed)();
            }
        });
    };
    pickWithoutTextChange(quotesTab_->refreshTimeBox(), &MainWindow::quotesRefreshTimeChanged);
    pickWithoutTextChange(realTimeTab_->refreshTimeBox(), &MainWindow::realTimeRefreshTimeChanged);
    connect(quotesRefreshTimer_, &QTimer::timeout, this, [this] { quotesRefreshTick(); });
    connect(realTimeRefreshTimer_, &QTimer::timeout, this, [this] { realTimeRefreshTick(); });
}

void MainWindow::pageChanged(int index) {
    if (pages_->widget(index) == quotesTab_)
        quotesTab_->pageShown();
    else if (pages_->widget(index) == realTimeTab_)
        realTimeTab_->pageShown();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!portfoliosTab_->agreesToClose()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}
