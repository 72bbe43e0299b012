#pragma once
// Where the quote requests go: a host and a port, as the user names them with --server or
// TICKWELL_QUOTE_SERVER. The default is where tickwell-quoted listens unless told otherwise, so
// the two meet when started by hand.
#include <optional>
#include <string>
#include <string_view>

struct ServerAddress {
    std::string host = "localhost";
    int port = 8080;

    // "host", "host:port" or "[v6]:port" (port 1 to 65535, 80 when left out). A host name holds
    // letters, digits, '.' and '-' only, so nothing of a URL's other parts (user@, ?, #, /)
    // slips into the requests. Nothing when the text is not such an address.
    static std::optional<ServerAddress> parse(std::string_view text);

    // The server as requests and the user see it: the host (in brackets when it is an IPv6
    // address), and ":port" unless the port is 80.
    std::string authority() const;

    bool operator==(const ServerAddress&) const = default;
};

constexpr char QuoteServerVariable[] = "TICKWELL_QUOTE_SERVER";

// The server TICKWELL_QUOTE_SERVER names (text is its value, null when it is unset), or the
// default. A malformed value leaves the default, and why gets a sentence for the user that names
// the variable and the server used.
ServerAddress serverFromVariable(const char* text, std::string* why);
