#include "portfolio/portfolio_choice.h"

#include <QFileInfo>
#include <QLineEdit>

#include "platform/open_dialog.h"
#include "platform/string_grid.h"
#include "platform/t_thread.h"
#include "portfolio/core/portfolio_folder.h"

void ChoosePortfolio(TOpenDialog& dialog, QLineEdit* portfolioName, PortfolioFolder& folder) {
    if (dialog.Execute()) {
        folder.choose(dialog.FileName);
        portfolioName->setText(QFileInfo(dialog.FileName).fileName());
    }
    Sleep(1000);
}

void ResetGrid(TStringGrid* grid, std::initializer_list<int> columns) {
    grid->setRowCount(40);
    for (int row = 0; row < 40; ++row) {
        grid->setRow(row);
        for (int col : columns)
            grid->setCell(col, row, QString());
    }
    grid->setRow(0);
}
