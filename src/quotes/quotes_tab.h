#pragma once
// The Quotes tab: delayed quotes of the chosen portfolio in an owner-drawn grid, green and red
// by change, the counts of advancing, declining and unchanged issues, the automatic sorts,
// Find symbol, Display Details and the portfolio choice. Its loads report to the tab itself.
#include <memory>

#include "load/quote_tab_base.h"
#include "parsing/quote_table.h"

class DetailsOpener;
class QFrame;
class QLabel;

class QuotesTab : public QuoteTabBase {
    Q_OBJECT
public:
    // openDialog is the main window's "OpenFile", which the Portfolios tab's editor shares.
    QuotesTab(QWidget* parent, OpenDialog& openDialog);

    void getQuotes() override;
    // Whether a delayed load is running: sorting and Find symbol refuse to run while it is.
    bool loadRunning() const;
    // The rows of the last load put in another order (order sorts rows first..last), the grid
    // and the mirror rewritten; repaintWhileFilling shows the grid as it fills.
    void sortRows(void (*order)(QuoteRows& rows, int first, int last), bool repaintWhileFilling);
    // The symbol Display Details opens; a click on the RealTime grid sets it too.
    void setDetailsSymbol(const QString& symbol);
    // The keyboard into the Find box.
    void focusFindBox();

    // The sort after every load, as the two boxes choose it (at most one is checked).
    enum class AutoSort { None, Alphabetical, ByChange };
    AutoSort autoSort() const;
    // Checks the box of that sort, as a start puts back the choice of the run before.
    void restoreAutoSort(AutoSort sort);

    // The tab's stops for the Tab key, in order.
    QList<QWidget*> focusChain() const;

    // The rows the tab shows, in their present order.
    QuoteRows& rows() { return *rows_; }

    // The load's view.
    void portfolioOpened() override;
    void showPage(const ParsedPage& page) override;
    void finished(const QString& doneText) override;

signals:
    // One of the automatic-sort boxes was clicked.
    void autoSortChosen();

protected:
    QColor mirrorColour(float change) const override;
    void resetGrid() override;
    void drawCell(int col, int row, const QRect& rect, QPainter& canvas) override;
    void changeEvent(QEvent* event) override;

private:
    void buildControls();
    void connectHandlers();

    void alphabeticalSortClicked();
    void changeSortClicked();
    void gridClicked();

    void refillFromTable(bool repaintWhileFilling);
    // A screen reader hears the row that is current now: the grid's cell when it has the focus,
    // else the row's values.
    void tellCurrentRow();
    void showCounts();
    void completeLoad(const QString& doneText);
    bool foundRowMarked(int row) const;
    // The grid's and the count labels' colours for the palette the tab is shown in.
    void followPalette();

    const std::unique_ptr<QuoteRows> rows_ = std::make_unique<QuoteRows>();
    ColumnFit columnFit_{QuoteColumnWeights, 15, 564};
    DetailsOpener* details_;

    QLabel *lastTradeHeader_, *symbolHeader_, *timeHeader_, *priceHeader_, *changeHeader_, *pctChangeHeader_,
        *volumeHeader_;
    QCheckBox *alphabeticalSortBox_, *changeSortBox_;
    QFrame* toolPanel_;
    QLineEdit* findKey_;
    QPushButton* findButton_;
    QLineEdit* detailsSymbol_;
    QPushButton* detailsButton_;
    QLabel *advancingLabel_, *decliningLabel_, *unchangedLabel_;
    QLineEdit *advancing_, *declining_, *unchanged_;
};
