#pragma once
#include <QString>

struct ServerAddress;

// "http://" + the quote server (":port" unless 80) + "/q/bc?s=" + the symbol, its bytes outside
// letters, digits and ".^-_~" percent-encoded, + "&t=1y".
QString DetailsAddress(const ServerAddress& server, const QString& symbol);
