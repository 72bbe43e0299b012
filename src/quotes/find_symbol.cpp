// Find symbol: moves the Quotes grid to a symbol's row and marks it while the search runs.
#include <QLineEdit>
#include <QPushButton>
#include <QThread>

#include "platform/message_box.h"
#include "platform/mirror_text_edit.h"
#include "platform/quote_grid.h"
#include "quotes/quotes_tab.h"

namespace {
// The C library's toupper on each character: a to z become A to Z, nothing else changes.
QString asciiUpper(QString text) {
    for (QChar& c : text)
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 'a' + 'A');
    return text;
}

// Row of the first symbol equal to the key, ignoring ASCII case; -1 when none. Symbols
// have at most 6 characters, so a longer key matches nothing.
int findSymbolRow(const QuoteRows& rows, const QString& key) {
    const QString upperKey = asciiUpper(key);
    if (upperKey.size() >= SymbolSlotSize)
        return -1;
    for (int j = 0; j < rows.count && j < QuoteTableCapacity; ++j) {
        const char* slot = rows.symbols[j];
        if (asciiUpper(QString::fromLatin1(slot, qstrnlen(slot, SymbolSlotSize))) == upperKey)
            return j;
    }
    return -1;
}
} // namespace

void QuotesTab::findSymbol() {
    if (loadRunning()) {
        MessageBox("Find symbol function is not available until all quotes have loaded", "Find Symbol");
        return;
    }
    mirror_->setSelStart(0);
    // Disabling the focused button hands the focus on; that is no move of the user's, so the
    // focus-out step does not run. A search that finds nothing gives the focus back.
    const bool hadFocus = findButton_->hasFocus();
    searching_ = true;
    findButton_->setEnabled(false);
    searching_ = false;
    const int row = findSymbolRow(*rows_, findKey_->text());
    if (row >= 0) {
        mirror_->selectLineStart(row, 67);
        grid_->setCurrentRow(row);
        // The keyboard goes to the grid on the found row, never into the hidden mirror.
        grid_->setFocus(Qt::OtherFocusReason);
        tellCurrentRow();
        grid_->repaintNow();
    } else {
        MessageBox("Symbol Not Found!", "Alter");
    }
    findButton_->setEnabled(true);
    if (row < 0 && hadFocus)
        findButton_->setFocus();
    // Half a second's rest after each search: a burst of Enter presses searches at most twice a second.
    QThread::msleep(500);
}

void QuotesTab::findKeyPressed(int key) {
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        findSymbol();
}

void QuotesTab::findButtonLeft() {
    grid_->setCurrentRow(0);
}
