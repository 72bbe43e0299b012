#include "quotes/details_opener.h"

#include <QLineEdit>
#include <QPushButton>

#include "net/core/server_address.h"
#include "parsing/batch_path.h"
#include "platform/url_opener.h"

QString detailsAddress(const ServerAddress& server, const QString& symbol) {
    return "http://" + QString::fromStdString(server.authority()) +
           "/q/bc?s=" + QString::fromStdString(percentEncodeSymbol(symbol.toStdString())) + "&t=1y";
}

DetailsOpener::DetailsOpener(QObject* parent, QLineEdit* symbol, QPushButton* button, const ServerAddress& server)
    : QObject(parent), symbol_(symbol), server_(server) {
    connect(button, &QPushButton::clicked, this, [this] { open(); });
}

void DetailsOpener::setSymbol(const QString& symbol) {
    symbol_->setText(symbol);
}

void DetailsOpener::open() {
    const QString symbol = symbol_->text();
    if (symbol.isEmpty() || symbol == " " || symbol == "   ")
        return;
    openUrl(detailsAddress(server_, symbol));
}
