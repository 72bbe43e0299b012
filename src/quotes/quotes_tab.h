#pragma once
// The Quotes tab: delayed quotes of the chosen portfolio in an owner-drawn grid, green and red
// by change, the counts of advancing, declining and unchanged issues, the automatic sorts,
// Find symbol, Display Details and the portfolio choice. Its loads report to the tab itself.
#include <QFont>
#include <QWidget>
#include <memory>

#include "load/core/portfolio_path.h"
#include "load/grid_cells.h"
#include "load/grid_columns.h"
#include "load/quote_colours.h"
#include "load/tab_load_view.h"
#include "net/core/server_address.h"
#include "parsing/quote_table.h"

class AutoRefresh;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPainter;
class QPushButton;
class OpenDialog;
class MirrorTextEdit;
class StatusLine;
class QuoteGrid;

class QuotesTab : public QWidget, public TabLoadView {
    Q_OBJECT
public:
    // openDialog is the main window's "OpenFile", which the Portfolios tab's editor shares.
    QuotesTab(QWidget* parent, OpenDialog& openDialog);

    // "Get Quotes": starts a delayed load of the portfolio unless one is running.
    void getQuotes();
    // The tab has become the current page.
    void pageShown();
    // The tab's portfolio from now on (as on the command line); its box shows the name.
    void usePortfolio(const PortfolioPath& portfolio);
    const PortfolioPath& portfolio() const { return portfolio_; }
    // The quote server the tab's loads ask from now on.
    void useServer(const ServerAddress& server) { server_ = server; }
    // Whether a delayed load is running: sorting and Find symbol refuse to run while it is.
    bool loadRunning() const;
    // The rows of the last load put in another order (order sorts rows first..last), the grid
    // and the mirror rewritten; repaintWhileFilling shows the grid as it fills.
    void sortRows(void (*order)(QuoteRows& rows, int first, int last), bool repaintWhileFilling);
    // The symbol Display Details opens; a click on the RealTime grid sets it too.
    void setDetailsSymbol(const QString& symbol);
    // "Select Portfolio": the open dialog, and the chosen file becomes the tab's portfolio.
    void selectPortfolio();
    // The keyboard into the Find box.
    void focusFindBox();

    // The sort after every load, as the two boxes choose it (at most one is checked).
    enum class AutoSort { None, Alphabetical, ByChange };
    AutoSort autoSort() const;
    // Checks the box of that sort, as a start puts back the choice of the run before.
    void restoreAutoSort(AutoSort sort);

    // The tab's automatic refresh; each tick asks the window to show the tab.
    AutoRefresh& autoRefresh() { return *autoRefresh_; }
    // The tab's stops for the Tab key, in order.
    QList<QWidget*> focusChain() const;

    // The rows the tab shows, in their present order.
    QuoteRows& rows() { return *rows_; }

    // The load's view.
    void portfolioOpened() override;
    void showPage(const ParsedPage& page) override;
    void finished(const QString& doneText) override;

signals:
    // The tab has a new portfolio: chosen with the dialog or named on the command line.
    void portfolioChosen();
    // One of the automatic-sort boxes was clicked.
    void autoSortChosen();

protected:
    QColor mirrorColour(float change) const override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildControls();
    void connectHandlers();

    void alphabeticalSortClicked();
    void changeSortClicked();
    void drawCell(int col, int row, const QRect& rect, QPainter& canvas);
    void gridClicked();
    void findSymbol();
    void findKeyPressed(int key);
    void findButtonLeft();
    void showDetails();
    void portfolioNameChanged();
    void nameKeys();

    void refillFromTable(bool repaintWhileFilling);
    // A screen reader hears the row that is current now: the grid's cell when it has the focus,
    // else the row's values.
    void tellCurrentRow();
    void showCounts();
    void completeLoad(const QString& doneText);
    bool foundRowMarked(int row) const;
    // The grid's and the count labels' colours for the palette the tab is shown in.
    void followPalette();

    OpenDialog& openDialog_;
    PortfolioPath portfolio_;
    ServerAddress server_;
    const std::unique_ptr<QuoteRows> rows_ = std::make_unique<QuoteRows>();
    bool searching_ = false; // Find symbol is moving the focus itself
    CellFont cellFont_;
    ColumnFit columnFit_{QuoteColumnWeights, 15, 564};
    GridColours colours_;

    QLabel *lastTradeHeader_, *symbolHeader_, *timeHeader_, *priceHeader_, *changeHeader_, *pctChangeHeader_,
        *volumeHeader_;
    QuoteGrid* grid_;
    QCheckBox *alphabeticalSortBox_, *changeSortBox_;
    QPushButton* getQuotesButton_;
    QCheckBox* refreshBox_;
    QComboBox* refreshTimeBox_;
    AutoRefresh* autoRefresh_;
    QFrame* toolPanel_;
    QLineEdit* findKey_;
    QPushButton* findButton_;
    QLineEdit* detailsSymbol_;
    QPushButton* detailsButton_;
    QLineEdit* portfolioName_;
    QPushButton* selectPortfolioButton_;
    QLabel *advancingLabel_, *decliningLabel_, *unchangedLabel_;
    QLineEdit *advancing_, *declining_, *unchanged_;
    StatusLine* status_;
    MirrorTextEdit* mirror_;
};
