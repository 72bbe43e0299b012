// Find symbol (moves QT1 to a symbol's row and marks it) and Display Details (opens the
// symbol's details page on the quote server in the user's browser).
#include <QLineEdit>
#include <QPushButton>

#include "app/find_details.h"
#include "app/form_quote.h"
#include "app/quote_load_state.h"
#include "parsing/batch_path.h"
#include "parsing/quote_table.h"
#include "platform/core/quote_server.h"
#include "platform/message_box.h"
#include "platform/rich_edit.h"
#include "platform/string_grid.h"
#include "platform/t_thread.h"
#include "platform/url_opener.h"

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
int findSymbolRow(const QString& key) {
    const QString upperKey = asciiUpper(key);
    if (upperKey.size() >= SymbolSlotSize)
        return -1;
    for (int j = 0; j < QuoteTable.rowsLoaded && j < QuoteTableCapacity; ++j) {
        const char* slot = QuoteTable.symbols[j];
        if (asciiUpper(QString::fromLatin1(slot, qstrnlen(slot, SymbolSlotSize))) == upperKey)
            return j;
    }
    return -1;
}
} // namespace

void TFormQuote::Button2Click() {
    if (DelayedLoadRunning(*this)) {
        MessageBox("Find symbol function is not available until all quotes have loaded", "Find Symbol");
        return;
    }
    DisplayQR->setSelStart(0);
    // Disabling the focused button hands the focus on; that is no move of the user's, so the
    // focus-out step does not run. A search that finds nothing gives the focus back.
    const bool hadFocus = Button2->hasFocus();
    searching_ = true;
    Button2->setEnabled(false);
    searching_ = false;
    const int row = findSymbolRow(Edit2->text());
    if (row >= 0) {
        DisplayQR->selectLineStart(row, 67);
        QT1->setRow(row);
        // The keyboard goes to the grid on the found row, never into the hidden mirror.
        QT1->setFocus(Qt::OtherFocusReason);
        QT1->repaintNow();
    } else {
        MessageBox("Symbol Not Found!", "Alter");
    }
    Button2->setEnabled(true);
    if (row < 0 && hadFocus)
        Button2->setFocus();
    Sleep(500);
}

void TFormQuote::Edit2KeyDown(int key) {
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        Button2Click();
}

void TFormQuote::Button2Exit() {
    QT1->setRow(0);
}

QString DetailsAddress(const QString& symbol) {
    return "http://" + QString::fromStdString(quoteServerAuthority()) +
           "/q/bc?s=" + QString::fromStdString(percentEncodeSymbol(symbol.toStdString())) + "&t=1y";
}

void TFormQuote::Button3Click() {
    const QString symbol = Edit1->text();
    if (symbol.isEmpty() || symbol == " " || symbol == "   ")
        return;
    OpenUrl(DetailsAddress(symbol));
}
