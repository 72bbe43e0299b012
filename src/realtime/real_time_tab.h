#pragma once
// The RealTime tab: real-time quotes (trade, change, after-hours change, bid, ask) of the first
// 60 symbols of its portfolio in an owner-drawn grid, its automatic refresh and its portfolio
// choice. Its loads report to the tab itself.
#include <memory>

#include "load/quote_tab_base.h"
#include "parsing/rt_table.h"

class QLabel;

class RealTimeTab : public QuoteTabBase {
    Q_OBJECT
public:
    // openDialog is the main window's "OpenFile1".
    RealTimeTab(QWidget* parent, OpenDialog& openDialog);

    void getQuotes() override;
    QList<QWidget*> focusChain() const;

    // The rows the tab shows.
    RtRows& rows() { return *rows_; }

    void portfolioOpened() override;
    void showPage(const ParsedPage& page) override;
    void finished(const QString& doneText) override;

signals:
    // A click on the grid (or a move of its current row) names that row's symbol.
    void symbolClicked(const QString& symbol);

protected:
    QColor mirrorColour(float tradeDirection) const override;
    void resetGrid() override;
    void drawCell(int col, int row, const QRect& rect, QPainter& canvas) override;
    void changeEvent(QEvent* event) override;

private:
    void buildControls();

    const std::unique_ptr<RtRows> rows_ = std::make_unique<RtRows>();
    ColumnFit columnFit_{RealTimeColumnWeights, 10, 554};

    QLabel *symbolHeader_, *timeHeader_, *tradeHeader_, *changeHeader_, *afterHoursHeader_, *bidHeader_, *askHeader_;
};
