#pragma once
#include <QString>

// "http://" + the quote server (":port" unless 80) + "/q/bc?s=" + symbol as typed + "&t=1y".
QString DetailsAddress(const QString& symbol);
