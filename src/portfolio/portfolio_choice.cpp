#include "portfolio/portfolio_choice.h"

#include <QFileInfo>
#include <QLineEdit>

#include "platform/open_dialog.h"
#include "platform/string_grid.h"
#include "platform/t_thread.h"
#include "portfolio/core/portfolio_folder.h"

void ChoosePortfolio(TOpenDialog& dialog, QLineEdit* portfolioName, PortfolioFolder& folder) {
    if (dialog.Execute())
        UsePortfolio(dialog.FileName, portfolioName, folder);
    Sleep(1000);
}

void UsePortfolio(const QString& path, QLineEdit* portfolioName, PortfolioFolder& folder) {
    folder.choose(path);
    portfolioName->setText(QFileInfo(path).fileName());
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
