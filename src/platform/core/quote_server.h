#pragma once
// Where the quote requests go. The one configuration the program reads:
// TICKWELL_QUOTE_SERVER = host or host:port (default localhost:80).
#include <string>

extern std::string QuoteServerHost;
extern int QuoteServerPort;

// Parses "host" or "host:port" (port 1 to 65535; "[::1]:port" style brackets accepted).
// Returns false and leaves host/port alone when the text is not such an address.
bool parseQuoteServer(const std::string& text, std::string& host, int& port);

// Applies TICKWELL_QUOTE_SERVER when it is set and valid.
void loadQuoteServerFromEnvironment();

// The authority for addresses shown to the user: host, and ":port" unless the port is 80.
std::string quoteServerAuthority();
