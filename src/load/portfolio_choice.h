#pragma once
// Each quote tab's portfolio: chosen with "Select Portfolio"; a change of name resets the tab's
// grid. The tab keeps the chosen path; its Portfolio box shows the file name.
#include <initializer_list>

class PortfolioPath;
class QLineEdit;
class QString;
class OpenDialog;
class QuoteGrid;

// Runs the dialog; a chosen file becomes the tab's portfolio and its name goes into the tab's
// Portfolio box (which raises its change only when the name differs). True when a file was chosen.
bool choosePortfolio(OpenDialog& dialog, QLineEdit* portfolioName, PortfolioPath& portfolio);
// The same for a portfolio named without the dialog (on the command line).
void usePortfolio(const PortfolioPath& chosen, QLineEdit* portfolioName, PortfolioPath& portfolio);

// Empties the named columns of rows 0 to 39; every move of the current row on the way raises
// the grid's click, so the details symbol ends empty with the current row back at 0.
void resetGrid(QuoteGrid* grid, std::initializer_list<int> columns);
