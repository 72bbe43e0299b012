#include "market/symbols.h"

#include "market/sim_hash.h"

#include <array>
#include <cctype>

namespace {

struct Listing {
    const char* symbol;
    const char* name;
    double typicalPrice;
};

constexpr std::array<Listing, 7> Indexes{{
    {"^DJI", "Dow Jones Industrial Average", 38500.0},
    {"^IXIC", "NASDAQ Composite", 16100.0},
    {"^GSPC", "S&P 500", 5100.0},
    {"^NDX", "NASDAQ-100", 17800.0},
    {"^RUT", "Russell 2000", 2050.0},
    {"^NYA", "NYSE Composite", 17400.0},
    {"^VIX", "CBOE Volatility Index", 14.5},
}};

constexpr std::array<Listing, 30> WellKnown{{
    {"AAPL", "Apple Inc.", 190.0},
    {"AMD", "Advanced Micro Devices, Inc.", 160.0},
    {"AMZN", "Amazon.com, Inc.", 175.0},
    {"BAC", "Bank of America Corporation", 36.0},
    {"BRK.A", "Berkshire Hathaway Inc.", 61000.0},
    {"BRK.B", "Berkshire Hathaway Inc.", 405.0},
    {"C", "Citigroup Inc.", 60.0},
    {"CSCO", "Cisco Systems, Inc.", 49.0},
    {"DELL", "Dell Technologies Inc.", 110.0},
    {"DIS", "The Walt Disney Company", 112.0},
    {"F", "Ford Motor Company", 12.5},
    {"GE", "General Electric Company", 160.0},
    {"GOOG", "Alphabet Inc.", 150.0},
    {"HPQ", "HP Inc.", 29.0},
    {"IBM", "International Business Machines Corporation", 185.0},
    {"INTC", "Intel Corporation", 35.0},
    {"JNJ", "Johnson & Johnson", 155.0},
    {"JPM", "JPMorgan Chase & Co.", 195.0},
    {"KO", "The Coca-Cola Company", 61.0},
    {"MCD", "McDonald's Corporation", 280.0},
    {"MO", "Altria Group, Inc.", 43.0},
    {"MSFT", "Microsoft Corporation", 415.0},
    {"NVDA", "NVIDIA Corporation", 880.0},
    {"ORCL", "Oracle Corporation", 125.0},
    {"PFE", "Pfizer Inc.", 27.5},
    {"QQQ", "Invesco QQQ Trust", 440.0},
    {"SPY", "SPDR S&P 500 ETF Trust", 510.0},
    {"T", "AT&T Inc.", 17.0},
    {"WMT", "Walmart Inc.", 60.0},
    {"XOM", "Exxon Mobil Corporation", 118.0},
}};

template <std::size_t N> const Listing* findIn(const std::array<Listing, N>& table, QByteArrayView symbol) {
    for (const Listing& listing : table) {
        if (symbol == QByteArrayView(listing.symbol))
            return &listing;
    }
    return nullptr;
}

bool isSymbolCharacter(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-';
}

QByteArray madeUpName(QByteArrayView symbol) {
    static constexpr std::array<const char*, 8> suffixes{"Corporation",     "Holdings Inc.",     "Industries, Inc.",
                                                         "Group",           "Technologies Inc.", "Systems, Inc.",
                                                         "Resources Corp.", "Partners L.P."};
    QByteArray base;
    for (char c : symbol) {
        if (std::isalpha(static_cast<unsigned char>(c)))
            base += base.isEmpty() ? c : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    const std::uint64_t h = sim::hashText(std::string_view(symbol.data(), symbol.size()));
    return base + ' ' + suffixes[h % suffixes.size()];
}

} // namespace

QByteArray upperSymbol(QByteArrayView symbol) {
    return symbol.toByteArray().toUpper();
}

bool isListedSymbol(QByteArrayView symbol) {
    if (symbol.isEmpty() || symbol.size() > 6)
        return false;
    if (symbol.startsWith('^'))
        return findIn(Indexes, symbol) != nullptr;
    bool hasLetter = false;
    for (char c : symbol) {
        if (!isSymbolCharacter(c))
            return false;
        hasLetter = hasLetter || std::isalpha(static_cast<unsigned char>(c));
    }
    const QByteArray upper = upperSymbol(symbol);
    return hasLetter && !upper.startsWith("ZZ") && upper != "XXXX";
}

TradeState tradeStateOf(QByteArrayView symbol) {
    if (symbol.size() != 5)
        return TradeState::Traded;
    if (symbol.endsWith('Q'))
        return TradeState::NoTradeEmpty;
    if (symbol.endsWith('W'))
        return TradeState::NoTradeEt;
    return TradeState::Traded;
}

bool hasRealTimeData(QByteArrayView symbol) {
    return !symbol.contains('.');
}

ListingInfo listingOf(QByteArrayView symbol) {
    if (const Listing* index = findIn(Indexes, symbol))
        return {index->name, index->typicalPrice, true};
    if (const Listing* known = findIn(WellKnown, symbol))
        return {known->name, known->typicalPrice, false};
    return {madeUpName(symbol), 0.0, false};
}

const char* symbolRulesText() {
    return "Symbols (case ignored; rows show them in upper case):\n"
           "  listed:    1 to 6 characters, letters, digits, '.' and '-', at least one letter,\n"
           "             and the indexes ^DJI ^IXIC ^GSPC ^NDX ^RUT ^NYA ^VIX\n"
           "  unlisted:  anything else, symbols starting with ZZ, and XXXX; they have no row\n"
           "  no trade:  five characters ending in Q (empty time cell) or W (time cell \"ET\"),\n"
           "             unchanged at 0.00%\n"
           "  real-time: symbols with a '.' (BRK.A) get \"Real-time data no longer available\n"
           "             for this symbol\" on the real-time page\n"
           "Prices are fixed by seed, symbol and the wall clock's minute (US Eastern time);\n"
           "the direction of the day's change is fixed by seed and symbol.\n";
}
