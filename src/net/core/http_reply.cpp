#include "net/core/http_reply.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

constexpr char StatusPrefix[] = "HTTP/1.";
constexpr std::size_t StatusPrefixLength = sizeof StatusPrefix - 1;
// No status or header line of a quote server comes near this; a longer one is not HTTP framing.
constexpr std::size_t MaxLineLength = 8192;
// A body far beyond what the reply buffer takes is not a quote page.
constexpr long long MaxBodyLength = 64LL * 1024 * 1024;
constexpr std::size_t MaxReasonLength = 60;
// A quote server's header block is a few hundred bytes. A server that sends header lines (or
// interim answers, or trailers) without end is turned away here rather than at the deadline.
constexpr std::size_t MaxHeaderBlock = 64 * 1024;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string trimmed(const std::string& text, std::size_t from) {
    std::size_t begin = from, end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

// True, with the header's value, when line is "name: value" (name compared without case).
bool headerValue(const std::string& line, const char* name, std::string* value) {
    const std::size_t length = std::strlen(name);
    if (line.size() <= length || line[length] != ':')
        return false;
    for (std::size_t i = 0; i < length; ++i) {
        if (std::tolower(static_cast<unsigned char>(line[i])) != name[i])
            return false;
    }
    *value = trimmed(line, length + 1);
    return true;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// A decimal length, at most MaxBodyLength; -1 when text is not one.
long long parseLength(const std::string& text) {
    if (text.empty())
        return -1;
    long long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
        if (value > MaxBodyLength)
            return -1;
    }
    return value;
}

// "chunked" as the last of the codings listed.
bool endsInChunked(const std::string& codings) {
    std::string last = codings.substr(codings.rfind(',') == std::string::npos ? 0 : codings.rfind(',') + 1);
    last = trimmed(last, 0);
    std::transform(last.begin(), last.end(), last.begin(), [](unsigned char c) { return std::tolower(c); });
    return last == "chunked";
}

} // namespace

HttpReplyReader::State HttpReplyReader::fail(State state) {
    state_ = state;
    phase_ = Phase::Done;
    return state_;
}

HttpReplyReader::State HttpReplyReader::notHttp() {
    return fail(statusSeen() ? State::Malformed : State::NotHttp);
}

void HttpReplyReader::toPage(const char* data, std::size_t size) {
    const std::size_t take = std::min(size, pageCapacity_ - pageLength_);
    if (take > 0)
        std::memcpy(page_ + pageLength_, data, take);
    pageLength_ += take;
}

bool HttpReplyReader::takeLineByte(char c) {
    if (c == '\n') {
        if (!line_.empty() && line_.back() == '\r')
            line_.pop_back();
        return true;
    }
    line_.push_back(c);
    if (line_.size() > MaxLineLength) {
        if (phase_ == Phase::StatusLine)
            notHttp();
        else
            fail(State::Malformed);
    }
    return false;
}

// "HTTP/1.x ddd reason": 200 and the interim 1xx answers go on to the headers, any other
// status ends the reply there. 101 Switching Protocols leaves HTTP: no page follows it.
void HttpReplyReader::statusLine() {
    const std::string& line = line_;
    if (line.size() < StatusPrefixLength + 5 || !std::isdigit(static_cast<unsigned char>(line[7])) || line[8] != ' ')
        return void(notHttp());
    int status = 0;
    for (std::size_t i = 9; i < 12; ++i) {
        if (i >= line.size() || !std::isdigit(static_cast<unsigned char>(line[i])))
            return void(notHttp());
        status = status * 10 + (line[i] - '0');
    }
    if (line.size() > 12 && line[12] != ' ')
        return void(notHttp());
    status_ = status;
    reason_.clear();
    for (std::size_t i = 13; i < line.size() && reason_.size() < MaxReasonLength; ++i) {
        if (line[i] >= 32 && line[i] <= 126)
            reason_.push_back(line[i]);
    }
    reason_ = trimmed(reason_, 0);
    interim_ = status >= 100 && status <= 199 && status != 101;
    if (status != 200 && !interim_)
        return void(fail(State::NotOk));
    phase_ = Phase::Headers;
}

void HttpReplyReader::headerLine() {
    if (line_.empty() && interim_) { // the next response follows; the page starts with it
        interim_ = false;
        phase_ = Phase::StatusLine;
        pageLength_ = 0;
        return;
    }
    if (line_.empty()) { // the body follows
        if (chunked_)
            phase_ = Phase::ChunkSize;
        else if (contentLength_ >= 0)
            phase_ = Phase::Body, remaining_ = contentLength_;
        else
            phase_ = Phase::UntilClose;
        if (phase_ == Phase::Body && remaining_ == 0)
            state_ = State::Complete, phase_ = Phase::Done;
        return;
    }
    std::string value;
    if (interim_) // an interim answer has no body: its framing headers say nothing
        return;
    if (headerValue(line_, "content-length", &value)) {
        const long long length = parseLength(value);
        if (length < 0 || (contentLength_ >= 0 && contentLength_ != length))
            return void(fail(State::Malformed));
        contentLength_ = length;
    } else if (headerValue(line_, "transfer-encoding", &value)) {
        chunked_ = endsInChunked(value);
    }
}

void HttpReplyReader::chunkSizeLine() {
    long long size = 0;
    std::size_t i = 0;
    for (; i < line_.size() && hexDigit(line_[i]) >= 0; ++i) {
        size = size * 16 + hexDigit(line_[i]);
        if (size > MaxBodyLength)
            return void(fail(State::Malformed));
    }
    // Chunk extensions (";name=value") may follow the size.
    if (i == 0 || (i < line_.size() && line_[i] != ';' && !isBlank(line_[i])))
        return void(fail(State::Malformed));
    remaining_ = size;
    phase_ = size == 0 ? Phase::Trailers : Phase::ChunkData;
}

HttpReplyReader::State HttpReplyReader::feed(const char* data, std::size_t size) {
    std::size_t at = 0;
    while (at < size && state_ == State::Reading) {
        switch (phase_) {
        case Phase::StatusLine: {
            const char c = data[at++];
            ++received_;
            // Garbage shows in the first bytes; there is no need to wait for a line end.
            if (line_.size() < StatusPrefixLength && c != StatusPrefix[line_.size()])
                return notHttp();
            if (++headerBytes_ > MaxHeaderBlock)
                return fail(State::Malformed);
            toPage(&c, 1);
            if (takeLineByte(c))
                statusLine(), line_.clear();
            continue;
        }
        case Phase::Headers:
        case Phase::ChunkSize:
        case Phase::Trailers: {
            const char c = data[at++];
            ++received_;
            if (phase_ != Phase::ChunkSize && ++headerBytes_ > MaxHeaderBlock)
                return fail(State::Malformed);
            if (phase_ == Phase::Headers)
                toPage(&c, 1);
            if (!takeLineByte(c))
                continue;
            if (phase_ == Phase::Headers)
                headerLine();
            else if (phase_ == Phase::ChunkSize)
                chunkSizeLine();
            else if (line_.empty())
                state_ = State::Complete, phase_ = Phase::Done;
            line_.clear();
            continue;
        }
        case Phase::Body:
        case Phase::ChunkData: {
            const std::size_t take = static_cast<std::size_t>(std::min<long long>(remaining_, size - at));
            toPage(data + at, take);
            at += take;
            received_ += take;
            remaining_ -= static_cast<long long>(take);
            if (remaining_ == 0 && phase_ == Phase::Body)
                state_ = State::Complete, phase_ = Phase::Done;
            else if (remaining_ == 0)
                phase_ = Phase::ChunkEnd, chunkEndCr_ = false;
            continue;
        }
        case Phase::ChunkEnd: {
            const char c = data[at++];
            ++received_;
            if (c == '\r' && !chunkEndCr_)
                chunkEndCr_ = true;
            else if (c == '\n')
                phase_ = Phase::ChunkSize;
            else
                return fail(State::Malformed);
            continue;
        }
        case Phase::UntilClose:
            toPage(data + at, size - at);
            received_ += size - at;
            at = size;
            continue;
        case Phase::Done:
            return state_;
        }
    }
    return state_;
}

HttpReplyReader::State HttpReplyReader::close() {
    if (state_ != State::Reading)
        return state_;
    if (phase_ == Phase::UntilClose) {
        state_ = State::Complete;
        phase_ = Phase::Done;
        return state_;
    }
    return fail(State::CutShort);
}

std::string HttpReplyReader::failure() const {
    switch (state_) {
    case State::Reading:
        return "reply not complete";
    case State::Complete:
        return {};
    case State::NotOk:
        return "answered " + std::to_string(status_) + (reason_.empty() ? "" : " " + reason_);
    case State::NotHttp:
        return "not an HTTP reply";
    case State::Malformed:
        return "malformed reply";
    case State::CutShort:
        return received_ == 0 ? "closed without answering" : "reply cut short";
    }
    return {};
}
