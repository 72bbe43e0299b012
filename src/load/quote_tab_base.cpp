#include "load/quote_tab_base.h"

#include <QLineEdit>
#include <QPushButton>

#include "load/portfolio_choice.h"
#include "platform/command_keys.h"
#include "platform/quote_grid.h"
#include "platform/status_line.h"

QuoteTabBase::QuoteTabBase(QWidget* parent, OpenDialog& openDialog, const char* name, const QFont& cellFont)
    : QWidget(parent), openDialog_(openDialog), cellFont_(cellFont) {
    setObjectName(name);
}

void QuoteTabBase::connectCommonControls(const char* timerName, std::span<const RefreshChoice> refreshChoices,
                                         RefreshTimeRule refreshRule) {
    setLoadControls({getQuotesButton_, grid_, mirror_, portfolioName_, status_, objectName()});
    getQuotesButton_->setToolTip(withKey("Get Quotes", GetQuotesKey));
    selectPortfolioButton_->setToolTip(withKey("Select Portfolio", ChoosePortfolioKey));
    connect(getQuotesButton_, &QPushButton::clicked, this, [this] { getQuotes(); });
    autoRefresh_ = new AutoRefresh(this, refreshBox_, refreshTimeBox_, timerName, refreshChoices, refreshRule,
                                   [this] { getQuotes(); });
    setRefresh(autoRefresh_);
    grid_->setDrawCell(
        [this](int col, int row, const QRect& rect, QPainter& canvas) { drawCell(col, row, rect, canvas); });
    connect(selectPortfolioButton_, &QPushButton::clicked, this, [this] { selectPortfolio(); });
    connect(portfolioName_, &QLineEdit::textChanged, this, [this] { portfolioNameChanged(); });
}

bool QuoteTabBase::startLoad(const QuoteLoadKind& kind, int searchStart) {
    if (!claimLoad(portfolio_.absolutePath()))
        return false;
    grid_->setCurrentRow(0);
    new QuoteLoadThread(kind, {portfolio_.absolutePath(), server_, this, searchStart});
    return true;
}

void QuoteTabBase::pageShown() {
    status_->setSimplePanel(true);
    window()->repaint();
}

void QuoteTabBase::usePortfolio(const PortfolioPath& portfolio) {
    ::usePortfolio(portfolio, portfolioName_, portfolio_);
    emit portfolioChosen();
}

void QuoteTabBase::selectPortfolio() {
    if (choosePortfolio(openDialog_, portfolioName_, portfolio_))
        emit portfolioChosen();
}

void QuoteTabBase::portfolioNameChanged() {
    resetGrid();
    forgetShownRows();
}
