#pragma once
// The main window: the three tabs on one page control, the main menu, the two file-open
// dialogs, the help windows and the window sizes.
#include <QMainWindow>
#include <memory>

#include "app/remembered_choices.h"

class AboutWindow;
class CreatePortfolioDialog;
class HelpTextWindow;
class PortfoliosTab;
class QAction;
class QActionGroup;
class QMenu;
class QMenuBar;
class QTabWidget;
class QuotesTab;
class StatusAnnouncer;
class RealTimeTab;
class OpenDialog;
struct ServerAddress;

class MainWindow : public QMainWindow {
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // Both quote tabs start with the portfolio at path (absolute) instead of input.txt.
    void startWithPortfolio(const QString& path);
    // Both quote tabs' loads and Display Details ask that server from now on.
    void useServer(const ServerAddress& server);

    QuotesTab& quotesTab() { return *quotesTab_; }
    RealTimeTab& realTimeTab() { return *realTimeTab_; }
    // "OpenFile" (Select Portfolio on Quotes, and Edit Portfolio) and "OpenFile1" (Select
    // Portfolio on RealTime).
    QList<OpenDialog*> openDialogs() const;

protected:
    // Unsaved text in the portfolio editor is not closed away without asking.
    void closeEvent(QCloseEvent* event) override;

private:
    void createTabs();
    void createMenu();
    void chainFocus();
    void connectHandlers();
    void bindKeys();
    void pageChanged(int index);
    // Ctrl+Tab and the like, from anywhere in the window: the page step pages on, its caption
    // told to a screen reader first.
    void switchPage(int step);
    // F5: "Get Quotes" on the quote tab in front.
    void getQuotesInFront();
    // Ctrl+O: "Select Portfolio" on a quote tab, "Edit Portfolio" on the editor's.
    void choosePortfolioInFront();

    // A refresh tick of tab: the tab comes to the front with the keyboard on one of its controls.
    void showRefreshedTab(QWidget* tab, const QList<QWidget*>& focusChain);

    // Window Sizing: controls and fonts at percent of the normal size (80, 100 or 115).
    void applySize(int percent);

    RememberedChoices choices_;
    QSize normalSize_;      // outer size at creation, which Window Sizing starts from
    int sizePercent_ = 100; // the size the window is at, as the menu's marks tell it

    std::unique_ptr<OpenDialog> quotesOpenDialog_, realTimeOpenDialog_;
    CreatePortfolioDialog* createPortfolioDialog_;
    std::unique_ptr<HelpTextWindow> addSymbolsHelp_, refreshHelp_, autoSortHelp_;
    std::unique_ptr<AboutWindow> about_;

    QTabWidget* pages_;
    StatusAnnouncer* pageAnnouncer_;
    QuotesTab* quotesTab_;
    RealTimeTab* realTimeTab_;
    PortfoliosTab* portfoliosTab_;

    QMenuBar* menuBar_;
    QMenu *sortMenu_, *helpMenu_, *sizingMenu_;
    QAction *sortAlphabeticallyAction_, *sortByChangeAction_;
    QAction *aboutAction_, *addSymbolsHelpAction_, *refreshHelpAction_, *autoSortHelpAction_;
    QActionGroup* sizes_;
};
