#include "app/main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QMenuBar>
#include <QTabWidget>

#include "app/app_icon.h"
#include "app/window_size.h"
#include "help/about_window.h"
#include "help/help_text_window.h"
#include "help/help_texts.h"
#include "help/show_help_window.h"
#include "load/auto_refresh.h"
#include "platform/command_keys.h"
#include "platform/fonts.h"
#include "platform/open_dialog.h"
#include "platform/status_announcer.h"
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
    setWindowIcon(tickwellIcon());
    setFont(windowFont());
    // Single fixed border: system menu and minimise, no maximise.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

    createPortfolioDialog_ = new CreatePortfolioDialog(this);
    createTabs();
    createMenu();
    chainFocus();

    setFixedSize(ClientWidth, ClientHeight + menuBar_->sizeHint().height());
    pages_->setCurrentWidget(quotesTab_);
    connectHandlers();
    bindKeys();
    choices_.follow(this, *quotesTab_, *realTimeTab_);
    normalSize_ = size();
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
    pageAnnouncer_ = new StatusAnnouncer(pages_);
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
    // Alt with the caption's first letter opens a menu.
    sortMenu_ = menu("Sort1", "&Sort");
    sortAlphabeticallyAction_ = item(sortMenu_, "Alphabetically1", "Alphabetically");
    sortAlphabeticallyAction_->setShortcut(QKeySequence("Ctrl+A"));
    sortByChangeAction_ = item(sortMenu_, "byChange1", "by %Change");
    sortByChangeAction_->setShortcut(QKeySequence("Ctrl+R"));

    helpMenu_ = menu("Help1", "&Help");
    aboutAction_ = item(helpMenu_, "About1", "About Tickwell");
    addSymbolsHelpAction_ = item(helpMenu_, "AddingStockSymbols1", "Add/Delete Stock Symbols");
    refreshHelpAction_ = item(helpMenu_, "Aboutautomaticrefreshfeature1", "Automatic Refresh Feature");
    autoSortHelpAction_ = item(helpMenu_, "Aboutautomaticsort1", "Automatic Sort Options");

    sizingMenu_ = menu("WindowSizing1", "&Window Sizing");
    sizes_ = new QActionGroup(this); // one check mark among the sizes
    for (const WindowSize& size : WindowSizes) {
        QAction* action = item(sizingMenu_, size.objectName, size.caption);
        action->setCheckable(true);
        action->setChecked(size.contentPercent == 100);
        action->setData(size.contentPercent);
        sizes_->addAction(action);
        // The marks are the state: the size losing its mark is the one the next change leaves,
        // whoever moved the mark.
        connect(action, &QAction::toggled, this, [this, percent = size.contentPercent](bool checked) {
            if (!checked)
                sizePercent_ = percent;
        });
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
            [this] { sortFromMenu(*quotesTab_, MenuOrder::Alphabetical); });
    connect(sortByChangeAction_, &QAction::triggered, this, [this] { sortFromMenu(*quotesTab_, MenuOrder::ByChange); });

    connect(aboutAction_, &QAction::triggered, this, [this] { showHelpWindow(about_.get()); });
    connect(addSymbolsHelpAction_, &QAction::triggered, this, [this] {
        addSymbolsHelp_->caretToTop();
        showHelpWindow(addSymbolsHelp_.get());
    });
    connect(refreshHelpAction_, &QAction::triggered, this, [this] { showHelpWindow(refreshHelp_.get()); });
    connect(autoSortHelpAction_, &QAction::triggered, this, [this] { showHelpWindow(autoSortHelp_.get()); });

    connect(sizes_, &QActionGroup::triggered, this, [this](QAction* size) { applySize(size->data().toInt()); });

    connect(&quotesTab_->autoRefresh(), &AutoRefresh::ticked, this,
            [this] { showRefreshedTab(quotesTab_, quotesTab_->focusChain()); });
    connect(&realTimeTab_->autoRefresh(), &AutoRefresh::ticked, this,
            [this] { showRefreshedTab(realTimeTab_, realTimeTab_->focusChain()); });
}

void MainWindow::bindKeys() {
    auto bind = [this](const char* key, auto run) {
        auto* action = new QAction(this);
        action->setShortcut(QKeySequence(key));
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        connect(action, &QAction::triggered, this, run);
    };
    bind(GetQuotesKey, [this] { getQuotesInFront(); });
    bind(ChoosePortfolioKey, [this] { choosePortfolioInFront(); });
    bind(FindKey, [this] {
        pages_->setCurrentWidget(quotesTab_);
        quotesTab_->focusFindBox();
    });
    bind(CloseWindowKey, [this] { close(); });
    // Bound on the window, so that a page's own controls (the grid's Ctrl+PageDown) do not take them.
    for (const char* key : NextPageKeys)
        bind(key, [this] { switchPage(1); });
    for (const char* key : PreviousPageKeys)
        bind(key, [this] { switchPage(-1); });
}

void MainWindow::getQuotesInFront() {
    // Each tab's "Get Quotes" starts nothing while its load runs.
    if (pages_->currentWidget() == quotesTab_)
        quotesTab_->getQuotes();
    else if (pages_->currentWidget() == realTimeTab_)
        realTimeTab_->getQuotes();
}

void MainWindow::choosePortfolioInFront() {
    if (pages_->currentWidget() == quotesTab_)
        quotesTab_->selectPortfolio();
    else if (pages_->currentWidget() == realTimeTab_)
        realTimeTab_->selectPortfolio();
    else
        portfoliosTab_->editPortfolio();
}

// A tick shows its tab with the keyboard on one of its controls, so that no key goes into a
// page left behind; but a portfolio being typed and not saved stays in front, keys and all,
// while the tab loads behind it.
void MainWindow::showRefreshedTab(QWidget* tab, const QList<QWidget*>& focusChain) {
    if (portfoliosTab_->holdsUnsavedText())
        return;
    pages_->setCurrentWidget(tab);
    if (tab->isAncestorOf(focusWidget()))
        return;
    QList<QWidget*> candidates = focusChain;
    if (tab->isAncestorOf(tab->focusWidget()))
        candidates.prepend(tab->focusWidget()); // where the user left the keyboard on that tab
    for (QWidget* control : candidates) {
        if (control->isVisible() && control->isEnabled() && control->focusPolicy() != Qt::NoFocus) {
            control->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

void MainWindow::switchPage(int step) {
    const int index = (pages_->currentIndex() + step + pages_->count()) % pages_->count();
    pageAnnouncer_->announce(pages_->tabText(index));
    pages_->setCurrentIndex(index);
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
