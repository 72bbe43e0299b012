#include "net/core/http_grammar.h"

#include <cstring>

namespace HttpGrammar {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int hexDigit(char c) {
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// Blanks, then a token; the rest of text after them. Empty when no token is there.
std::string_view takeToken(std::string_view& text) {
    std::size_t end = 0;
    while (end < text.size() && isTokenChar(text[end]))
        ++end;
    const std::string_view token = text.substr(0, end);
    text.remove_prefix(end);
    return token;
}

void skipBlanks(std::string_view& text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
}

// A quoted string at the front of text, taken off; false when it is broken or unclosed.
bool takeQuotedString(std::string_view& text) {
    if (text.empty() || text.front() != '"')
        return false;
    for (std::size_t i = 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            text.remove_prefix(i + 1);
            return true;
        }
        if (c == '\\') {
            if (++i == text.size() || !isFieldValueChar(text[i]))
                return false;
        } else if (!isFieldValueChar(c)) {
            return false;
        }
    }
    return false;
}

} // namespace

bool isTokenChar(char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || isDigit(c))
        return true;
    return c != '\0' && std::strchr("!#$%&'*+-.^_`|~", c) != nullptr;
}

bool isToken(std::string_view text) {
    if (text.empty())
        return false;
    for (char c : text) {
        if (!isTokenChar(c))
            return false;
    }
    return true;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool isFieldValueChar(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return c == '\t' || (byte >= 0x20 && byte != 0x7f);
}

HeadLine::Step HeadLine::take(char c) {
    if (cr_ && c != '\n')
        return Step::BareCr;
    if (c == '\n')
        return Step::Line;
    if (c == '\r') {
        cr_ = true;
        return Step::More;
    }
    if (line_.size() >= maxLength_)
        return Step::TooLong;
    line_.push_back(c);
    return Step::More;
}

FieldLine splitFieldLine(std::string_view line) {
    FieldLine field;
    if (line.find('\r') != std::string_view::npos) {
        field.verdict = FieldVerdict::BareCr;
        return field;
    }
    std::string_view name, value = line;
    if (line.empty() || !isBlank(line.front())) {
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos || !isToken(line.substr(0, colon)))
            return field;
        name = line.substr(0, colon);
        value = line.substr(colon + 1);
    }
    for (char c : value) {
        if (!isFieldValueChar(c))
            return field;
    }
    field.name = name;
    field.value = trimmed(value);
    field.verdict = name.empty() ? FieldVerdict::Continuation : FieldVerdict::Field;
    return field;
}

bool fieldNameIs(std::string_view name, std::string_view wanted) {
    if (name.size() != wanted.size())
        return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (lower(name[i]) != lower(wanted[i]))
            return false;
    }
    return true;
}

ContentLength parseContentLength(std::string_view value) {
    ContentLength result;
    bool first = true;
    while (true) {
        const std::size_t comma = value.find(',');
        const std::string_view item = trimmed(value.substr(0, comma));
        if (item.empty())
            return ContentLength{};
        std::uint64_t length = 0;
        for (char c : item) {
            if (!isDigit(c) || length > (UINT64_MAX - static_cast<unsigned>(c - '0')) / 10)
                return ContentLength{};
            length = length * 10 + static_cast<unsigned>(c - '0');
        }
        if (first)
            result.length = length, first = false;
        else if (length != result.length)
            result.verdict = LengthVerdict::Conflicting;
        if (comma == std::string_view::npos)
            break;
        value.remove_prefix(comma + 1);
    }
    if (result.verdict != LengthVerdict::Conflicting)
        result.verdict = LengthVerdict::Length;
    return result;
}

CodingVerdict transferCoding(std::string_view value) {
    return fieldNameIs(trimmed(value), "chunked") ? CodingVerdict::Chunked : CodingVerdict::Unsupported;
}

BodyFraming::Verdict BodyFraming::add(std::string_view name, std::string_view value) {
    if (verdict_ != Verdict::Sound)
        return verdict_;
    if (fieldNameIs(name, "content-length")) {
        const ContentLength length = parseContentLength(value);
        if (length.verdict == LengthVerdict::Malformed)
            verdict_ = Verdict::MalformedLength;
        else if (length.verdict == LengthVerdict::Conflicting || (length_ && *length_ != length.length))
            verdict_ = Verdict::ConflictingLength;
        else
            length_ = length.length;
    } else if (fieldNameIs(name, "transfer-encoding")) {
        chunked_ = ++codings_ == 1 && transferCoding(value) == CodingVerdict::Chunked;
        if (!chunked_)
            verdict_ = Verdict::UnsupportedCoding;
    }
    return verdict_;
}

std::optional<std::uint64_t> parseChunkSize(std::string_view line) {
    std::uint64_t size = 0;
    std::size_t digits = 0;
    for (; digits < line.size() && hexDigit(line[digits]) >= 0; ++digits) {
        if (size >> 60)
            return std::nullopt;
        size = size * 16 + static_cast<unsigned>(hexDigit(line[digits]));
    }
    if (digits == 0)
        return std::nullopt;
    std::string_view rest = line.substr(digits);
    skipBlanks(rest);
    while (!rest.empty()) {
        if (rest.front() != ';')
            return std::nullopt;
        rest.remove_prefix(1);
        skipBlanks(rest);
        const bool named = !takeToken(rest).empty();
        skipBlanks(rest);
        if (named && !rest.empty() && rest.front() == '=') {
            rest.remove_prefix(1);
            skipBlanks(rest);
            if (takeToken(rest).empty() && !takeQuotedString(rest))
                return std::nullopt;
            skipBlanks(rest);
        }
    }
    return size;
}

std::optional<HttpVersion> parseHttpVersion(std::string_view text) {
    if (text.size() != 8 || text.substr(0, 5) != "HTTP/" || !isDigit(text[5]) || text[6] != '.' || !isDigit(text[7]))
        return std::nullopt;
    return HttpVersion{text[5] - '0', text[7] - '0'};
}

std::optional<StatusLine> parseStatusLine(std::string_view line) {
    const std::optional<HttpVersion> version = parseHttpVersion(line.substr(0, 8));
    if (!version || version->major != 1 || line.size() < 12 || line[8] != ' ')
        return std::nullopt;
    StatusLine status;
    status.minorVersion = version->minor;
    for (std::size_t i = 9; i < 12; ++i) {
        if (!isDigit(line[i]))
            return std::nullopt;
        status.code = status.code * 10 + (line[i] - '0');
    }
    if (line.size() > 12) {
        if (line[12] != ' ')
            return std::nullopt;
        status.reason = line.substr(13);
        for (char c : status.reason) {
            if (!isFieldValueChar(c))
                return std::nullopt;
        }
    }
    return status;
}

} // namespace HttpGrammar
