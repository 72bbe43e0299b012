#pragma once
// Find symbol: the Find box and its button move the Quotes grid to a symbol's row and mark it
// while the search runs.
#include <QObject>
#include <functional>

#include "parsing/quote_table.h"

class MirrorTextEdit;
class QLineEdit;
class QPushButton;
class QuoteGrid;

class SymbolFinder : public QObject {
public:
    // The tab's rows, as they are when a search runs; loadRunning refuses a search while a load
    // runs; tellRow has the found row read to a screen reader.
    SymbolFinder(QObject* parent, QLineEdit* key, QPushButton* button, QuoteGrid* grid, MirrorTextEdit* mirror,
                 const QuoteRows& rows, std::function<bool()> loadRunning, std::function<void()> tellRow);

    // "Find symbol": the grid on the key's row, or the box that says there is none.
    void find();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void keyPressed(int key);
    void buttonLeft();

    QLineEdit* key_;
    QPushButton* button_;
    QuoteGrid* grid_;
    MirrorTextEdit* mirror_;
    const QuoteRows& rows_;
    const std::function<bool()> loadRunning_;
    const std::function<void()> tellRow_;
    bool searching_ = false; // the search is moving the focus itself
};
