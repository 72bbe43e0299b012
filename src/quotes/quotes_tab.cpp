// The Quotes tab's controls, each at its designed place, and its handlers.
#include "quotes/quotes_tab.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "load/portfolio_choice.h"
#include "platform/command_keys.h"
#include "platform/control_table.h"
#include "platform/fonts.h"
#include "platform/mirror_text_edit.h"
#include "platform/quote_colours.h"
#include "platform/quote_grid.h"
#include "platform/readable_colours.h"
#include "platform/status_line.h"
#include "quotes/core/delayed_load.h"
#include "quotes/details_opener.h"
#include "quotes/symbol_finder.h"

namespace {
void colourText(QLabel* label, QColor colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}
} // namespace

QuotesTab::QuotesTab(QWidget* parent, OpenDialog& openDialog)
    : QuoteTabBase(parent, openDialog, "Quotes", pointFont("Courier", 8)) {
    buildControls();
    connectCommonControls("Timer", QuotesRefreshChoices, RefreshTimeRule::CheckFirst);
    connectHandlers();
    findKey_->setToolTip(withKey("Symbol to find", FindKey));
}

void QuotesTab::buildControls() {
    using K = ControlKind;
    const ControlRow controls[] = {
        {"Label16", K::Header, "Last Trade", {132, 0, 62, 13}, &lastTradeHeader_},
        {"Label3", K::Header, "Symbol", {16, 16, 41, 13}, &symbolHeader_},
        {"Label4", K::Header, "Time", {111, 16, 28, 13}, &timeHeader_},
        {"Label5", K::Header, "Price", {189, 16, 30, 13}, &priceHeader_},
        {"Label6", K::Header, "Change", {306, 16, 44, 13}, &changeHeader_},
        {"Label7", K::Header, "%Change", {390, 16, 53, 13}, &pctChangeHeader_},
        {"Label8", K::Header, "Volume", {481, 16, 42, 13}, &volumeHeader_},
        {"QT1", K::Grid, nullptr, {16, 34, 587, 306}, &grid_},
        {"CheckBox1", K::CheckBox, "Automatic alphabetical sort", {16, 352, 225, 17}, &alphabeticalSortBox_},
        {"CheckBox2", K::CheckBox, "Automatic sort by %change", {16, 372, 238, 17}, &changeSortBox_},
        {"BtnQuote", K::Button, "Get Quotes", {260, 361, 86, 25}, &getQuotesButton_},
        {"CheckBox", K::CheckBox, "Automatic  Refresh Enabled", {448, 349, 190, 17}, &refreshBox_},
        {"ComboBox", K::ChoiceBox, "Refresh Time", {448, 372, 145, 21}, &refreshTimeBox_},
        {"Bevel1", K::Panel, nullptr, {0, 404, 641, 37}, &toolPanel_},
        {"Edit2", K::Edit, "", {19, 410, 47, 24}, &findKey_},
        {"Button2", K::Button, "Find symbol", {72, 411, 91, 19}, &findButton_},
        {"Edit1", K::Edit, "", {210, 410, 57, 24}, &detailsSymbol_},
        {"Button3", K::Button, "Display Details", {273, 410, 109, 20}, &detailsButton_},
        {"Portfolio", K::ReadOnly, "input.txt", {421, 410, 97, 24}, &portfolioName_},
        {"PortName", K::Button, "Select Portfolio", {525, 410, 105, 20}, &selectPortfolioButton_},
        {"AdvLabel", K::Label, "Adv", {43, 453, 19, 13}, &advancingLabel_},
        // The counts are the load's: read-only, yet reachable by Tab to be read or copied.
        {"Adv", K::ReadOnly, "", {77, 449, 50, 24}, &advancing_},
        {"Label1", K::Label, "Decl", {244, 453, 22, 13}, &decliningLabel_},
        {"Decl", K::ReadOnly, "", {282, 449, 50, 24}, &declining_},
        {"Label2", K::Label, "UnChg", {475, 453, 33, 13}, &unchangedLabel_},
        {"NoChg", K::ReadOnly, "", {526, 449, 49, 24}, &unchanged_},
        {"StatusBar1", K::StatusBar, nullptr, {0, 475, 633, 19}, &status_},
        // The text mirror of the rows lies beyond the visible client width.
        {"DisplayQR", K::Mirror, nullptr, {731, 124, 86, 50}, &mirror_},
    };
    ::buildControls(this, controls);

    grid_->setRowCount(40);
    grid_->setDefaultColWidth(81);
    grid_->setDefaultRowHeight(16);
    grid_->setRangeSelect(true);
    grid_->setDefaultDrawing(false);
    grid_->setFont(pixelFont("Courier", 12));
    // Designed with a 3-pixel font, which no one can read; it takes the RealTime box's 12 pixels.
    refreshBox_->setFont(pixelFont("MS Sans Serif", 12));
    followPalette();
    mirror_->setFont(pixelFont("Courier", 5));
    nameAfter(advancing_, advancingLabel_);
    nameAfter(declining_, decliningLabel_);
    nameAfter(unchanged_, unchangedLabel_);
    nameAfter(findKey_, findButton_);
    nameAfter(detailsSymbol_, detailsButton_);
    nameAfter(portfolioName_, selectPortfolioButton_);
    grid_->setColumnTitles({symbolHeader_->text(), timeHeader_->text(), priceHeader_->text(), QString(),
                            changeHeader_->text(), pctChangeHeader_->text(), volumeHeader_->text()});
    grid_->setAccessibleName("Quotes");
    grid_->setAccessibleDescription("A row per symbol: time, last price, change, percent change and volume");
}

void QuotesTab::followPalette() {
    colours_ = gridColoursFor(palette());
    grid_->setBackgroundColor(colours_.evenRow);
    colourText(advancingLabel_, windowInk(RisingColour, palette()));
    colourText(decliningLabel_, windowInk(FallingColour, palette()));
    colourText(unchangedLabel_, windowInk(UnchangedColour, palette()));
}

void QuotesTab::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange)
        followPalette();
    QWidget::changeEvent(event);
}

QList<QWidget*> QuotesTab::focusChain() const {
    return {getQuotesButton_, refreshBox_, refreshTimeBox_, alphabeticalSortBox_,   changeSortBox_,
            findKey_,         findButton_, portfolioName_,  selectPortfolioButton_, advancing_,
            declining_,       unchanged_,  detailsSymbol_,  detailsButton_,         grid_};
}

void QuotesTab::connectHandlers() {
    connect(alphabeticalSortBox_, &QCheckBox::clicked, this, [this] {
        alphabeticalSortClicked();
        emit autoSortChosen();
    });
    connect(changeSortBox_, &QCheckBox::clicked, this, [this] {
        changeSortClicked();
        emit autoSortChosen();
    });
    new SymbolFinder(
        this, findKey_, findButton_, grid_, mirror_, *rows_, [this] { return loadRunning(); },
        [this] { tellCurrentRow(); });
    details_ = new DetailsOpener(this, detailsSymbol_, detailsButton_, server_);
    grid_->setOnClick([this] { gridClicked(); });
}

void QuotesTab::getQuotes() {
    if (!startLoad(DelayedLoad, rows_->searchStart))
        return;
    advancing_->setText("");
    declining_->setText("");
    unchanged_->setText("");
}

bool QuotesTab::loadRunning() const {
    // The load disables "Get Quotes" for its whole run; the flag also covers the moment
    // between the click and the load's first step.
    return loadFlagged() || !getQuotesButton_->isEnabled();
}

void QuotesTab::alphabeticalSortClicked() {
    if (alphabeticalSortBox_->isChecked() && changeSortBox_->isChecked())
        changeSortBox_->setChecked(false);
}

void QuotesTab::changeSortClicked() {
    if (changeSortBox_->isChecked() && alphabeticalSortBox_->isChecked())
        alphabeticalSortBox_->setChecked(false);
}

void QuotesTab::gridClicked() {
    setDetailsSymbol(grid_->cell(0, grid_->currentRow()));
}

void QuotesTab::setDetailsSymbol(const QString& symbol) {
    details_->setSymbol(symbol);
}

QuotesTab::AutoSort QuotesTab::autoSort() const {
    if (alphabeticalSortBox_->isChecked())
        return AutoSort::Alphabetical;
    return changeSortBox_->isChecked() ? AutoSort::ByChange : AutoSort::None;
}

void QuotesTab::restoreAutoSort(AutoSort sort) {
    alphabeticalSortBox_->setChecked(sort == AutoSort::Alphabetical);
    changeSortBox_->setChecked(sort == AutoSort::ByChange);
}

void QuotesTab::focusFindBox() {
    findKey_->setFocus(Qt::ShortcutFocusReason);
}

void QuotesTab::resetGrid() {
    ::resetGrid(grid_, {0, 1, 2, 4, 5, 6});
}
