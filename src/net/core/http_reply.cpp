#include "net/core/http_reply.h"

#include <algorithm>
#include <cstring>
#include <utility>

using namespace HttpGrammar;

namespace {

constexpr char StatusPrefix[] = "HTTP/1.";
constexpr std::size_t StatusPrefixLength = sizeof StatusPrefix - 1;
// A body far beyond what the reply buffer takes is not a quote page.
constexpr std::uint64_t MaxBodyLength = 64ULL * 1024 * 1024;
constexpr std::size_t MaxReasonLength = 60;
// A quote server's header block is a few hundred bytes. A server that sends header lines (or
// interim answers, or trailers) without end is turned away here rather than at the deadline.
constexpr std::size_t MaxHeaderBlock = 64 * 1024;

std::string trimmed(const std::string& text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

} // namespace

HttpReplyReader::State HttpReplyReader::fail(State state) {
    state_ = state;
    phase_ = Phase::Done;
    return state_;
}

HttpReplyReader::State HttpReplyReader::malformed(const char* what) {
    malformation_ = what;
    return fail(State::Malformed);
}

HttpReplyReader::State HttpReplyReader::notHttp() {
    return statusSeen() ? malformed("malformed status line") : fail(State::NotHttp);
}

void HttpReplyReader::toPage(const char* data, std::size_t size) {
    const std::size_t take = std::min(size, pageCapacity_ - pageLength_);
    if (take > 0)
        std::memcpy(page_ + pageLength_, data, take);
    pageLength_ += take;
}

// 200 and the interim 1xx answers go on to the headers, any other status ends the reply
// there. 101 Switching Protocols leaves HTTP: no page follows it.
void HttpReplyReader::statusLine() {
    const std::optional<StatusLine> status = parseStatusLine(line_.line());
    if (!status)
        return void(malformed("malformed status line"));
    status_ = status->code;
    reason_.clear();
    for (std::size_t i = 0; i < status->reason.size() && reason_.size() < MaxReasonLength; ++i) {
        if (status->reason[i] >= 32 && status->reason[i] <= 126)
            reason_.push_back(status->reason[i]);
    }
    reason_ = trimmed(reason_);
    interim_ = status_ >= 100 && status_ <= 199 && status_ != 101;
    if (status_ != 200 && !interim_)
        return void(fail(State::NotOk));
    phase_ = Phase::Headers;
}

// A field is whole once the next line does not fold into it. An interim answer has no body:
// its framing fields say nothing.
void HttpReplyReader::endField() {
    if (field_.empty())
        return;
    const std::string line = std::exchange(field_, {});
    if (interim_)
        return;
    const FieldLine field = splitFieldLine(line);
    switch (framing_.add(field.name, field.value)) {
    case BodyFraming::Verdict::Sound:
        return;
    case BodyFraming::Verdict::MalformedLength:
        return void(malformed("malformed Content-Length"));
    case BodyFraming::Verdict::ConflictingLength:
        return void(malformed("conflicting Content-Length"));
    case BodyFraming::Verdict::UnsupportedCoding:
        return void(malformed("unsupported transfer coding"));
    }
}

void HttpReplyReader::headerLine() {
    const std::string& line = line_.line();
    if (line.empty()) { // its first byte ended the last field
        if (interim_) { // the next response follows; the page starts with it
            interim_ = false;
            phase_ = Phase::StatusLine;
            pageLength_ = 0;
            return;
        }
        // The body follows. A coding wins over a length.
        if (framing_.chunked()) {
            phase_ = Phase::ChunkSize;
        } else if (const std::optional<std::uint64_t> length = framing_.contentLength()) {
            if (*length > MaxBodyLength)
                return void(malformed("body too long"));
            phase_ = Phase::Body, remaining_ = static_cast<long long>(*length);
            if (remaining_ == 0)
                state_ = State::Complete, phase_ = Phase::Done;
        } else {
            phase_ = Phase::UntilClose;
        }
        return;
    }
    const FieldLine field = splitFieldLine(line);
    if (field.verdict == FieldVerdict::Field) {
        field_ = line;
    } else if (field.verdict != FieldVerdict::Continuation) {
        malformed("malformed header line");
    } else if (field_.empty()) {
        malformed("whitespace before the first header");
    } else { // obsolete folding: a client reads it as one space
        field_ += ' ';
        field_ += field.value;
    }
}

// Trailer fields are checked like header fields, then dropped.
void HttpReplyReader::trailerLine() {
    const std::string& line = line_.line();
    if (line.empty()) {
        state_ = State::Complete, phase_ = Phase::Done;
        return;
    }
    const FieldVerdict verdict = splitFieldLine(line).verdict;
    if (verdict == FieldVerdict::Field)
        field_ = "trailer";
    else if (verdict != FieldVerdict::Continuation || field_.empty())
        malformed("malformed trailer");
}

void HttpReplyReader::chunkSizeLine() {
    const std::optional<std::uint64_t> size = parseChunkSize(line_.line());
    if (!size)
        return void(malformed("malformed chunk size"));
    if (*size > MaxBodyLength)
        return void(malformed("body too long"));
    remaining_ = static_cast<long long>(*size);
    phase_ = remaining_ == 0 ? Phase::Trailers : Phase::ChunkData;
}

HttpReplyReader::State HttpReplyReader::feed(const char* data, std::size_t size) {
    std::size_t at = 0;
    while (at < size && state_ == State::Reading) {
        switch (phase_) {
        case Phase::StatusLine:
        case Phase::Headers:
        case Phase::ChunkSize:
        case Phase::Trailers: {
            const char c = data[at++];
            ++received_;
            // Garbage shows in the first bytes; there is no need to wait for a line end.
            if (phase_ == Phase::StatusLine && line_.line().size() < StatusPrefixLength &&
                c != StatusPrefix[line_.line().size()])
                return notHttp();
            if (phase_ != Phase::ChunkSize && ++headerBytes_ > MaxHeaderBlock)
                return malformed("header section too long");
            if (phase_ == Phase::StatusLine || phase_ == Phase::Headers)
                toPage(&c, 1);
            // The field before is whole once a line starts that does not fold into it.
            if (phase_ == Phase::Headers && line_.line().empty() && !isBlank(c)) {
                endField();
                if (state_ != State::Reading)
                    return state_;
            }
            const HeadLine::Step step = line_.take(c);
            if (step == HeadLine::Step::More)
                continue;
            if (step == HeadLine::Step::Line) {
                if (phase_ == Phase::StatusLine)
                    statusLine();
                else if (phase_ == Phase::Headers)
                    headerLine();
                else if (phase_ == Phase::ChunkSize)
                    chunkSizeLine();
                else
                    trailerLine();
                line_.clear();
                continue;
            }
            if (phase_ == Phase::ChunkSize)
                return malformed("malformed chunk size");
            if (phase_ == Phase::Trailers)
                return malformed("malformed trailer");
            if (step == HeadLine::Step::BareCr)
                return malformed("bare CR in the header section");
            return phase_ == Phase::StatusLine ? notHttp() : malformed("header section too long");
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
                return malformed("malformed chunk");
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
        return "malformed reply: " + malformation_;
    case State::CutShort:
        return received_ == 0 ? "closed without answering" : "reply cut short";
    }
    return {};
}
