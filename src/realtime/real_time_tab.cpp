// The RealTime tab's controls, each at its designed place, and its handlers.
#include "realtime/real_time_tab.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "load/portfolio_choice.h"
#include "platform/control_table.h"
#include "platform/fonts.h"
#include "platform/mirror_text_edit.h"
#include "platform/quote_grid.h"
#include "platform/status_line.h"
#include "realtime/core/real_time_load.h"

RealTimeTab::RealTimeTab(QWidget* parent, OpenDialog& openDialog)
    : QuoteTabBase(parent, openDialog, "RealTime", pointFont("Courier New", 8)) {
    buildControls();
    connectCommonControls("Timer1", RealTimeRefreshChoices, RefreshTimeRule::ChoiceKept);
    grid_->setOnClick([this] { emit symbolClicked(grid_->cell(0, grid_->currentRow())); });
}

void RealTimeTab::buildControls() {
    using K = ControlKind;
    const ControlRow controls[] = {
        {"Label9", K::Header, "Symbol", {33, 13, 41, 13}, &symbolHeader_},
        {"Label10", K::Header, "Time", {98, 13, 28, 13}, &timeHeader_},
        {"Label11", K::Header, "Trade", {176, 13, 34, 13}, &tradeHeader_},
        {"Label12", K::Header, "Change", {260, 13, 44, 13}, &changeHeader_},
        {"Label13", K::Header, "After Hrs Chg", {358, 13, 77, 13}, &afterHoursHeader_},
        {"Label14", K::Header, "Bid", {468, 13, 19, 13}, &bidHeader_},
        {"Label15", K::Header, "Ask", {533, 13, 22, 13}, &askHeader_},
        {"RT1", K::Grid, nullptr, {32, 32, 576, 365}, &grid_},
        {"BtnQuote1", K::Button, "Get Quotes", {267, 408, 88, 25}, &getQuotesButton_},
        {"CheckBox3", K::CheckBox, "Automatic  Refresh Enabled", {32, 421, 229, 17}, &refreshBox_},
        {"ComboBox1", K::ChoiceBox, "Refresh Time", {32, 448, 145, 21}, &refreshTimeBox_},
        {"Portfolio1", K::ReadOnly, "input.txt", {388, 448, 105, 21}, &portfolioName_},
        {"Button1", K::Button, "Select Portfolio", {501, 448, 116, 20}, &selectPortfolioButton_},
        {"StatusBar2", K::StatusBar, nullptr, {0, 475, 633, 19}, &status_},
        // The text mirror of the rows lies beyond the visible client width.
        {"DisplayQR1", K::Mirror, nullptr, {731, 72, 577, 81}, &mirror_},
    };
    ::buildControls(this, controls);

    grid_->setRowCount(45);
    grid_->setDefaultColWidth(100);
    grid_->setDefaultRowHeight(12);
    grid_->setRangeSelect(false);
    colours_ = gridColoursFor(palette());
    grid_->setBackgroundColor(palette().color(QPalette::Base));
    grid_->setDefaultDrawing(true);
    grid_->setFont(pixelFont("Courier New", 16));
    refreshBox_->setFont(pixelFont("MS Sans Serif", 12));
    nameAfter(portfolioName_, selectPortfolioButton_);
    grid_->setColumnTitles({symbolHeader_->text(), timeHeader_->text(), tradeHeader_->text(), changeHeader_->text(),
                            afterHoursHeader_->text(), bidHeader_->text(), askHeader_->text()});
    grid_->setAccessibleName("Real-time quotes");
    grid_->setAccessibleDescription("A row per symbol: time, trade price, change, after-hours change, bid and ask");
}

void RealTimeTab::changeEvent(QEvent* event) {
    // The grid's own palette holds the colour below the rows; the tab's is the one that changed.
    if (event->type() == QEvent::PaletteChange) {
        colours_ = gridColoursFor(palette());
        grid_->setBackgroundColor(palette().color(QPalette::Base));
    }
    QWidget::changeEvent(event);
}

QList<QWidget*> RealTimeTab::focusChain() const {
    return {grid_, getQuotesButton_, refreshBox_, refreshTimeBox_, portfolioName_, selectPortfolioButton_};
}

void RealTimeTab::getQuotes() {
    startLoad(RealTimeLoad, rows_->searchStart);
}

void RealTimeTab::resetGrid() {
    ::resetGrid(grid_, {0, 1, 2, 3, 4, 5, 6});
}
