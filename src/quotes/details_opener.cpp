// Display Details: opens the symbol's details page on the quote server in the user's browser.
#include "quotes/details_opener.h"

#include <QLineEdit>

#include "net/core/server_address.h"
#include "parsing/batch_path.h"
#include "platform/url_opener.h"
#include "quotes/quotes_tab.h"

QString DetailsAddress(const ServerAddress& server, const QString& symbol) {
    return "http://" + QString::fromStdString(server.authority()) +
           "/q/bc?s=" + QString::fromStdString(percentEncodeSymbol(symbol.toStdString())) + "&t=1y";
}

void QuotesTab::showDetails() {
    const QString symbol = detailsSymbol_->text();
    if (symbol.isEmpty() || symbol == " " || symbol == "   ")
        return;
    OpenUrl(DetailsAddress(server_, symbol));
}
