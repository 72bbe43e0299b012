#pragma once
// The request line and headers of a GET, as the quote server is asked.
#include <string>

// "GET <path> HTTP/1.1\r\nHost: <authority>\r\n\r\n"; the authority carries the port unless it is 80.
std::string requestText(const std::string& path, const std::string& authority);
