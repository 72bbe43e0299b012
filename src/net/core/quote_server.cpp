#include "net/core/quote_server.h"

#include <cstdlib>

std::string QuoteServerHost = "localhost";
int QuoteServerPort = 8080;

bool parseQuoteServer(const std::string& text, std::string& host, int& port) {
    std::string name = text;
    std::string portText;
    if (!name.empty() && name.front() == '[') {
        const auto close = name.find(']');
        if (close == std::string::npos)
            return false;
        std::string rest = name.substr(close + 1);
        name = name.substr(1, close - 1);
        if (!rest.empty()) {
            if (rest.front() != ':')
                return false;
            portText = rest.substr(1);
            if (portText.empty())
                return false;
        }
    } else {
        const auto colon = name.find(':');
        if (colon != std::string::npos) {
            if (name.find(':', colon + 1) != std::string::npos)
                return false;
            portText = name.substr(colon + 1);
            name = name.substr(0, colon);
            if (portText.empty())
                return false;
        }
    }
    if (name.empty())
        return false;
    for (char c : name)
        if (c == ' ' || c == '/' || c == '\t' || static_cast<unsigned char>(c) < 32)
            return false;
    int value = 80;
    if (!portText.empty()) {
        if (portText.size() > 5)
            return false;
        value = 0;
        for (char c : portText) {
            if (c < '0' || c > '9')
                return false;
            value = value * 10 + (c - '0');
        }
        if (value < 1 || value > 65535)
            return false;
    }
    host = name;
    port = value;
    return true;
}

std::string loadQuoteServerFromEnvironment() {
    const char* text = std::getenv(QuoteServerVariable);
    if (!text || parseQuoteServer(text, QuoteServerHost, QuoteServerPort))
        return {};
    return std::string(QuoteServerVariable) + "=\"" + text +
           "\" is not a server address (host, host:port or [v6]:port). " + "Quotes are requested from " +
           quoteServerAuthority() + ".";
}

std::string serverAuthority(const std::string& host, int port) {
    std::string authority;
    if (host.find(':') != std::string::npos)
        authority.append(1, '[').append(host).append(1, ']');
    else
        authority = host;
    if (port != 80)
        authority.append(1, ':').append(std::to_string(port));
    return authority;
}

std::string quoteServerAuthority() {
    return serverAuthority(QuoteServerHost, QuoteServerPort);
}
