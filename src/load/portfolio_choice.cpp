#include "load/portfolio_choice.h"

#include <QLineEdit>
#include <QThread>

#include "load/core/portfolio_path.h"
#include "platform/open_dialog.h"
#include "platform/quote_grid.h"

bool choosePortfolio(OpenDialog& dialog, QLineEdit* portfolioName, PortfolioPath& portfolio) {
    const bool chosen = dialog.exec();
    if (chosen)
        usePortfolio(PortfolioPath(dialog.fileName()), portfolioName, portfolio);
    // A second's rest after each choice: a click queued behind it (Get Quotes) comes after the new name shows.
    QThread::msleep(1000);
    return chosen;
}

void usePortfolio(const PortfolioPath& chosen, QLineEdit* portfolioName, PortfolioPath& portfolio) {
    portfolio = chosen;
    portfolioName->setText(portfolio.fileName());
}

void resetGrid(QuoteGrid* grid, std::initializer_list<int> columns) {
    grid->setRowCount(40);
    for (int row = 0; row < 40; ++row) {
        grid->setCurrentRow(row);
        for (int col : columns)
            grid->setCell(col, row, QString());
    }
    grid->setCurrentRow(0);
}
