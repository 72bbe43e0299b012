#pragma once
// A quote tab's portfolio: a file name in a folder. The folder is the folder the program started
// in until a portfolio is chosen elsewhere; each tab keeps its own, so choosing on one tab never
// moves what the other tab reads or writes.
#include <QString>

class PortfolioPath {
public:
    // input.txt in the start folder.
    PortfolioPath() = default;
    // The portfolio at path (a chosen file, or one named on the command line).
    explicit PortfolioPath(const QString& path);

    // The name the tab's Portfolio box shows.
    QString fileName() const { return name_; }
    // The portfolio's absolute path, as a load opens it.
    QString absolutePath() const { return pathOf(name_); }
    // The absolute path of another portfolio beside this one (a bare name, or a path of its own).
    QString pathOf(const QString& name) const;
    // Another portfolio in the same folder.
    PortfolioPath named(const QString& name) const;

private:
    QString folder_; // empty: the start folder
    QString name_ = "input.txt";
};
