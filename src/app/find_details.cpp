// Find symbol (moves QT1 to a symbol's row and marks it) and Display Details (opens the
// symbol's details page on the quote server in the user's browser).
#include <QLineEdit>
#include <QPushButton>

#include "app/find_details.h"
#include "app/form_quote.h"
#include "app/quote_load_state.h"
#include "platform/core/quote_server.h"
#include "platform/message_box.h"
#include "platform/rich_edit.h"
#include "platform/url_opener.h"
#include "platform/string_grid.h"
#include "platform/t_thread.h"
#include "quotes/core/quote_table.h"

namespace {
// The C library's toupper on each byte: a to z become A to Z, nothing else changes.
QByteArray asciiUpper(QByteArray text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

// Row of the first symbol equal to the key, ignoring ASCII case; -1 when none. A key
// longer than a symbol slot matches nothing.
int findSymbolRow(const QByteArray& key)
{
    const QByteArray upperKey = asciiUpper(key);
    for (int j = 0; j < RowsLoaded; ++j)
        if (asciiUpper(QByteArray(QuoteSymbols[j])) == upperKey)
            return j;
    return -1;
}
} // namespace

void TFormQuote::Button2Click()
{
    if (DelayedLoadRunning(*this)) {
        MessageBox("Find symbol function is not available until all quotes have loaded", "Find Symbol");
        return;
    }
    DisplayQR->setSelStart(0);
    Button2->setEnabled(false);
    const int row = findSymbolRow(Edit2->text().toLatin1());
    if (row >= 0) {
        DisplayQR->setFocus();
        DisplayQR->selectLineStart(row, 67);
        QT1->setRow(row);
        QT1->repaintNow();
    } else {
        MessageBox("Symbol Not Found!", "Alter");
    }
    Button2->setEnabled(true);
    Sleep(500);
}

void TFormQuote::Edit2KeyDown(int key)
{
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        Button2Click();
}

void TFormQuote::Button2Exit()
{
    QT1->setRow(0);
}

QString DetailsAddress(const QString& symbol)
{
    return "http://" + QString::fromStdString(quoteServerAuthority()) + "/q/bc?s=" + symbol + "&t=1y";
}

void TFormQuote::Button3Click()
{
    const QString symbol = Edit1->text();
    if (symbol.isEmpty() || symbol == " " || symbol == "   ")
        return;
    OpenUrl(DetailsAddress(symbol));
}
