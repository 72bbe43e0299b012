#pragma once
// Where the quote requests go. The one configuration the program reads:
// TICKWELL_QUOTE_SERVER = host, host:port or [v6]:port (default localhost:8080, where
// tickwell-quoted listens unless told otherwise).
#include <string>

extern std::string QuoteServerHost;
extern int QuoteServerPort;

// Parses "host" or "host:port" (port 1 to 65535; "[::1]:port" style brackets accepted).
// Returns false and leaves host/port alone when the text is not such an address.
bool parseQuoteServer(const std::string& text, std::string& host, int& port);

constexpr char QuoteServerVariable[] = "TICKWELL_QUOTE_SERVER";

// Applies TICKWELL_QUOTE_SERVER when it is set and valid. Returns an empty text, or when the
// variable is set but malformed, a sentence for the user that names it and the default used.
std::string loadQuoteServerFromEnvironment();

// The authority of a server as requests and the user see it: host (in brackets when it is
// an IPv6 address), and ":port" unless the port is 80.
std::string serverAuthority(const std::string& host, int port);
std::string quoteServerAuthority();
