#include "net/core/server_address.h"

#include <algorithm>

namespace {
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isHostName(std::string_view name) {
    return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
        return isDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '.' || c == '-';
    });
}

// What may stand between the brackets: hexadecimal groups and colons, an IPv4 tail.
bool isIpv6Literal(std::string_view text) {
    return text.find(':') != std::string_view::npos && std::all_of(text.begin(), text.end(), [](char c) {
               return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || c == ':' || c == '.';
           });
}

std::optional<int> portNumber(std::string_view text) {
    if (text.empty() || text.size() > 5 || !std::all_of(text.begin(), text.end(), isDigit))
        return std::nullopt;
    int value = 0;
    for (char c : text)
        value = value * 10 + (c - '0');
    if (value < 1 || value > 65535)
        return std::nullopt;
    return value;
}
} // namespace

std::optional<ServerAddress> ServerAddress::parse(std::string_view text) {
    std::string_view host = text;
    std::optional<std::string_view> portText;
    if (text.starts_with('[')) {
        const auto close = text.find(']');
        if (close == std::string_view::npos)
            return std::nullopt;
        host = text.substr(1, close - 1);
        const std::string_view rest = text.substr(close + 1);
        if (!rest.empty()) {
            if (!rest.starts_with(':'))
                return std::nullopt;
            portText = rest.substr(1);
        }
        if (!isIpv6Literal(host))
            return std::nullopt;
    } else {
        if (const auto colon = text.find(':'); colon != std::string_view::npos) {
            host = text.substr(0, colon);
            portText = text.substr(colon + 1);
        }
        if (!isHostName(host))
            return std::nullopt;
    }
    ServerAddress address{std::string(host), 80};
    if (portText) {
        const std::optional<int> port = portNumber(*portText);
        if (!port)
            return std::nullopt;
        address.port = *port;
    }
    return address;
}

std::string ServerAddress::authority() const {
    std::string authority = host.find(':') != std::string::npos ? "[" + host + "]" : host;
    if (port != 80)
        authority.append(1, ':').append(std::to_string(port));
    return authority;
}

ServerAddress serverFromVariable(const char* text, std::string* why) {
    if (!text)
        return {};
    if (const std::optional<ServerAddress> address = ServerAddress::parse(text))
        return *address;
    const ServerAddress fallback;
    *why = std::string(QuoteServerVariable) + "=\"" + text +
           "\" is not a server address (host, host:port or [v6]:port). Quotes are requested from " +
           fallback.authority() + ".";
    return fallback;
}
