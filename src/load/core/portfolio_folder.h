#pragma once
// The folder a tab's portfolio lives in: the folder of the portfolio last chosen on that tab,
// at first the folder the program started in. A bare name typed in the tab's Portfolio box
// resolves against it, so choosing on one tab never moves what the other tab reads or writes.
#include <QString>

class PortfolioFolder {
public:
    // A portfolio was chosen: its folder becomes the tab's folder.
    void choose(const QString& portfolioPath);
    // The absolute path of the portfolio named (a bare name, or a path of its own).
    QString pathOf(const QString& name) const;

private:
    QString folder_; // empty: the start folder
};
