#pragma once
// Which symbols the simulated market lists, and the fixed traits each one carries.
#include <QByteArray>
#include <QByteArrayView>

// The rule, as the usage text states it: a symbol is listed when it has 1 to 6
// characters, all letters, digits, '.', '-' or a leading '^', at least one letter,
// does not start with "ZZ" and is not "XXXX" (case ignored); a symbol starting with
// '^' must be one of the listed indexes.
bool isListedSymbol(QByteArrayView symbol);

QByteArray upperSymbol(QByteArrayView symbol);

enum class TradeState {
    Traded,       // a trade today: time cell "4:00PM ET"
    NoTradeEmpty, // five characters ending in Q: no trade yet, empty time cell
    NoTradeEt     // five characters ending in W: no trade yet, time cell holding only "ET"
};
TradeState tradeStateOf(QByteArrayView symbol);

// Real-time data is withdrawn for symbols with a '.' (BRK.A): their real-time row says so.
bool hasRealTimeData(QByteArrayView symbol);

struct ListingInfo {
    QByteArray name;
    double typicalPrice; // 0 when the market picks one
    bool isIndex;
};
// Name and character of a listed symbol: the indexes and some well-known issues have
// fixed names and levels; any other symbol gets a made-up company name.
ListingInfo listingOf(QByteArrayView symbol);

// Text of the usage paragraph that states the rules above.
const char* symbolRulesText();
