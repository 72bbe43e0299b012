// Each quote tab's portfolio: chosen with "Select Portfolio"; a change of name resets the
// tab's grid. The chosen file's folder becomes that tab's folder, where its loads open it.
#include <QFileInfo>
#include <QLineEdit>

#include "app/form_quote.h"
#include "platform/open_dialog.h"
#include "platform/string_grid.h"
#include "platform/t_thread.h"

namespace {
void choosePortfolio(TOpenDialog* dialog, QLineEdit* name, PortfolioFolder& folder) {
    if (dialog->Execute()) {
        folder.choose(dialog->FileName);
        name->setText(QFileInfo(dialog->FileName).fileName()); // change event only when different
    }
    Sleep(1000);
}

// Empties the named columns of rows 0 to 39; every move of the current row on the way copies
// that row's symbol into Edit1, so Edit1 ends empty with the current row back at 0.
void resetGrid(TStringGrid* grid, std::initializer_list<int> columns) {
    grid->setRowCount(40);
    for (int row = 0; row < 40; ++row) {
        grid->setRow(row);
        for (int col : columns)
            grid->setCell(col, row, QString());
    }
    grid->setRow(0);
}
} // namespace

void TFormQuote::PortNameClick() {
    choosePortfolio(OpenFile, Portfolio, QuotesFolder);
}

void TFormQuote::Button1Click() {
    choosePortfolio(OpenFile1, Portfolio1, RealTimeFolder);
}

void TFormQuote::PortfolioChange() {
    resetGrid(QT1, {0, 1, 2, 4, 5, 6});
}

void TFormQuote::Portfolio1Change() {
    resetGrid(RT1, {0, 1, 2, 3, 4, 5, 6});
}
