#include "net/core/http_request.h"

std::string requestText(const std::string& path, const std::string& authority) {
    std::string text;
    text.reserve(path.size() + authority.size() + 28);
    text.append("GET ").append(path).append(" HTTP/1.1\r\nHost: ").append(authority).append("\r\n\r\n");
    return text;
}
