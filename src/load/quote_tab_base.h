#pragma once
// What the two quote tabs share as widgets: the controls every quote tab has ("Get Quotes", the
// grid, the automatic refresh, the Portfolio box and its "Select Portfolio", the status bar, the
// hidden mirror), the tab's portfolio and server, and the handlers that do the same on both.
#include <QWidget>
#include <span>

#include "load/auto_refresh.h"
#include "load/core/portfolio_path.h"
#include "load/tab_load_view.h"
#include "net/core/server_address.h"
#include "platform/grid_cells.h"
#include "platform/grid_columns.h"
#include "platform/quote_colours.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPainter;
class QPushButton;
class OpenDialog;
class MirrorTextEdit;
class StatusLine;
class QuoteGrid;

class QuoteTabBase : public QWidget, public TabLoadView {
    Q_OBJECT
public:
    // "Get Quotes": starts the tab's load of its portfolio unless one is running.
    virtual void getQuotes() = 0;
    // The tab has become the current page.
    void pageShown();
    // The tab's portfolio from now on (as on the command line); its box shows the name.
    void usePortfolio(const PortfolioPath& portfolio);
    const PortfolioPath& portfolio() const { return portfolio_; }
    // The quote server the tab's loads ask from now on.
    void useServer(const ServerAddress& server) { server_ = server; }
    // "Select Portfolio": the open dialog, and the chosen file becomes the tab's portfolio.
    void selectPortfolio();
    // The tab's automatic refresh; each tick asks the window to show the tab.
    AutoRefresh& autoRefresh() { return *autoRefresh_; }

signals:
    // The tab has a new portfolio: chosen with the dialog or named on the command line.
    void portfolioChosen();

protected:
    // openDialog is the main window's dialog of this tab; name is the tab's objectName, which
    // its alert state goes by too.
    QuoteTabBase(QWidget* parent, OpenDialog& openDialog, const char* name, const QFont& cellFont);

    // Once the tab has made its controls: the load's view, the keys in the tooltips and the
    // handlers both tabs have; the refresh ticks with the tab's timer, choices and rule.
    void connectCommonControls(const char* timerName, std::span<const RefreshChoice> refreshChoices,
                               RefreshTimeRule refreshRule);
    // Starts a load of the kind from the search start, unless one is running; false then.
    bool startLoad(const QuoteLoadKind& kind, int searchStart);
    // The grid's columns emptied after the portfolio's name changed.
    virtual void resetGrid() = 0;
    // The grid's cell at (col, row), painted by the tab.
    virtual void drawCell(int col, int row, const QRect& rect, QPainter& canvas) = 0;

    OpenDialog& openDialog_;
    PortfolioPath portfolio_;
    ServerAddress server_;
    CellFont cellFont_;
    GridColours colours_;

    QuoteGrid* grid_;
    QPushButton* getQuotesButton_;
    QCheckBox* refreshBox_;
    QComboBox* refreshTimeBox_;
    AutoRefresh* autoRefresh_;
    QLineEdit* portfolioName_;
    QPushButton* selectPortfolioButton_;
    StatusLine* status_;
    MirrorTextEdit* mirror_;

private:
    void portfolioNameChanged();
};
