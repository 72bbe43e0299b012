#pragma once
// Display Details: the symbol box and its button open the symbol's details page on the quote
// server in the user's browser.
#include <QObject>
#include <QString>

class QLineEdit;
class QPushButton;
struct ServerAddress;

// "http://" + the quote server (":port" unless 80) + "/q/bc?s=" + the symbol, its bytes outside
// letters, digits and ".^-_~" percent-encoded, + "&t=1y".
QString detailsAddress(const ServerAddress& server, const QString& symbol);

class DetailsOpener : public QObject {
public:
    // server is the tab's, as it is when the button is clicked.
    DetailsOpener(QObject* parent, QLineEdit* symbol, QPushButton* button, const ServerAddress& server);

    // The symbol the next click opens.
    void setSymbol(const QString& symbol);
    // "Display Details": nothing for an empty or blank symbol.
    void open();

private:
    QLineEdit* symbol_;
    const ServerAddress& server_;
};
