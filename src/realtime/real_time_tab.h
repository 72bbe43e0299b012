#pragma once
// The RealTime tab: real-time quotes (trade, change, after-hours change, bid, ask) of the first
// 60 symbols of its portfolio in an owner-drawn grid, its automatic refresh and its portfolio
// choice. Its loads report to the tab itself.
#include <QFont>
#include <QWidget>
#include <memory>

#include "load/core/portfolio_path.h"
#include "load/tab_load_view.h"
#include "net/core/server_address.h"
#include "parsing/rt_table.h"
#include "platform/grid_cells.h"
#include "platform/grid_columns.h"
#include "platform/quote_colours.h"

class AutoRefresh;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPainter;
class QPushButton;
class OpenDialog;
class MirrorTextEdit;
class StatusLine;
class QuoteGrid;

class RealTimeTab : public QWidget, public TabLoadView {
    Q_OBJECT
public:
    // openDialog is the main window's "OpenFile1".
    RealTimeTab(QWidget* parent, OpenDialog& openDialog);

    // "Get Quotes": starts a real-time load of the portfolio unless one is running.
    void getQuotes();
    // The tab has become the current page.
    void pageShown();
    // The tab's portfolio from now on (as on the command line); its box shows the name.
    void usePortfolio(const PortfolioPath& portfolio);
    const PortfolioPath& portfolio() const { return portfolio_; }
    // The quote server the tab's loads ask from now on.
    void useServer(const ServerAddress& server) { server_ = server; }
    // "Select Portfolio": the open dialog, and the chosen file becomes the tab's portfolio.
    void selectPortfolio();

    AutoRefresh& autoRefresh() { return *autoRefresh_; }
    QList<QWidget*> focusChain() const;

    // The rows the tab shows.
    RtRows& rows() { return *rows_; }

    void portfolioOpened() override;
    void showPage(const ParsedPage& page) override;
    void finished(const QString& doneText) override;

signals:
    // A click on the grid (or a move of its current row) names that row's symbol.
    void symbolClicked(const QString& symbol);
    // The tab has a new portfolio: chosen with the dialog or named on the command line.
    void portfolioChosen();

protected:
    QColor mirrorColour(float tradeDirection) const override;
    void changeEvent(QEvent* event) override;

private:
    void buildControls();
    void connectHandlers();
    void drawCell(int col, int row, const QRect& rect, QPainter& canvas);
    void portfolioNameChanged();

    OpenDialog& openDialog_;
    PortfolioPath portfolio_;
    ServerAddress server_;
    const std::unique_ptr<RtRows> rows_ = std::make_unique<RtRows>();
    CellFont cellFont_;
    ColumnFit columnFit_{RealTimeColumnWeights, 10, 554};
    GridColours colours_;

    QLabel *symbolHeader_, *timeHeader_, *tradeHeader_, *changeHeader_, *afterHoursHeader_, *bidHeader_, *askHeader_;
    QuoteGrid* grid_;
    QPushButton* getQuotesButton_;
    QCheckBox* refreshBox_;
    QComboBox* refreshTimeBox_;
    AutoRefresh* autoRefresh_;
    QLineEdit* portfolioName_;
    QPushButton* selectPortfolioButton_;
    StatusLine* status_;
    MirrorTextEdit* mirror_;
};
