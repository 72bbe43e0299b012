#pragma once
// Each quote tab's portfolio: chosen with "Select Portfolio"; a change of name resets the tab's
// grid. The chosen file's folder becomes that tab's folder, where its loads open it.
#include <initializer_list>

class PortfolioFolder;
class QLineEdit;
class QString;
class OpenDialog;
class QuoteGrid;

// Runs the dialog; a chosen file's name goes into the tab's Portfolio box (which raises its
// change only when the name differs) and its folder becomes the tab's folder.
void ChoosePortfolio(OpenDialog& dialog, QLineEdit* portfolioName, PortfolioFolder& folder);
// The same for a portfolio named without the dialog (on the command line), as an absolute path.
void UsePortfolio(const QString& path, QLineEdit* portfolioName, PortfolioFolder& folder);

// Empties the named columns of rows 0 to 39; every move of the current row on the way raises
// the grid's click, so the details symbol ends empty with the current row back at 0.
void ResetGrid(QuoteGrid* grid, std::initializer_list<int> columns);
