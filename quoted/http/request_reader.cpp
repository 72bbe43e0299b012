#include "http/request_reader.h"

#include <algorithm>

namespace {

using HttpGrammar::fieldNameIs;

// The items of a comma list, blanks around them taken off, each handed to f.
template <typename F> void forEachListItem(std::string_view value, F f) {
    while (true) {
        const std::size_t comma = value.find(',');
        std::string_view item = value.substr(0, comma);
        while (!item.empty() && HttpGrammar::isBlank(item.front()))
            item.remove_prefix(1);
        while (!item.empty() && HttpGrammar::isBlank(item.back()))
            item.remove_suffix(1);
        f(item);
        if (comma == std::string_view::npos)
            return;
        value.remove_prefix(comma + 1);
    }
}

} // namespace

qsizetype RequestReader::take(QByteArrayView data) {
    qsizetype at = 0;
    while (at < data.size() && step_ == Step::More) {
        if (phase_ == Phase::LengthBody || phase_ == Phase::ChunkData) {
            const quint64 part = std::min<quint64>(dataLeft_, static_cast<quint64>(data.size() - at));
            at += static_cast<qsizetype>(part);
            dataLeft_ -= part;
            if (dataLeft_ > 0)
                continue;
            if (phase_ == Phase::LengthBody)
                step_ = Step::Request;
            else
                phase_ = Phase::ChunkEnd, chunkEndCr_ = false;
            continue;
        }
        const char c = data[at++];
        if (phase_ == Phase::Start || phase_ == Phase::Fields) {
            head_.append(c);
            if (head_.size() > MaxHeadBytes) {
                takeLineFault(HttpGrammar::HeadLine::Step::TooLong);
                break;
            }
        } else if (++bodyBytes_ > MaxBodyBytes) {
            refuse(413, "A request body holds at most 65536 bytes.");
            break;
        }
        if (phase_ == Phase::ChunkEnd) {
            takeChunkEnd(c);
            continue;
        }
        const HttpGrammar::HeadLine::Step lineStep = line_.take(c);
        if (lineStep == HttpGrammar::HeadLine::Step::Line) {
            takeLine(line_.line());
            line_.clear();
        } else if (lineStep != HttpGrammar::HeadLine::Step::More) {
            takeLineFault(lineStep);
        }
    }
    return at;
}

void RequestReader::takeLine(std::string_view line) {
    switch (phase_) {
    case Phase::Start:
        // Empty lines before the request line are passed over (RFC 9112 section 2.2).
        if (!line.empty())
            takeRequestLine(line);
        break;
    case Phase::Fields:
        if (line.empty())
            endHead();
        else
            takeField(line);
        break;
    case Phase::ChunkSize:
        takeChunkSize(line);
        break;
    case Phase::Trailer:
        takeTrailer(line);
        break;
    default:
        break;
    }
}

void RequestReader::takeLineFault(HttpGrammar::HeadLine::Step fault) {
    const bool tooLong = fault == HttpGrammar::HeadLine::Step::TooLong;
    switch (phase_) {
    case Phase::Start:
        // A request line too long to read is a list of symbols too long to serve.
        return tooLong ? refuse(414, "") : refuse(400, "Bare CR in the header section.");
    case Phase::Fields:
        return tooLong ? refuse(400, "The request head is longer than 16384 bytes.")
                       : refuse(400, "Bare CR in the header section.");
    case Phase::ChunkSize:
        return refuse(400, "Malformed chunk size.");
    default:
        return refuse(400, "Malformed trailer line.");
    }
}

void RequestReader::takeRequestLine(std::string_view line) {
    switch (parseRequestLine(QByteArrayView(line.data(), static_cast<qsizetype>(line.size())), request_)) {
    case RequestLineVerdict::Malformed:
        return refuse(400, "Malformed request line: it is a method, a blank, a target, a blank and HTTP/1.x.");
    case RequestLineVerdict::UnsupportedVersion:
        return refuse(505, "Only HTTP/1.0 and HTTP/1.1 are answered here.");
    case RequestLineVerdict::Sound:
        phase_ = Phase::Fields;
        return;
    }
}

void RequestReader::takeField(std::string_view line) {
    const HttpGrammar::FieldLine field = HttpGrammar::splitFieldLine(line);
    switch (field.verdict) {
    case HttpGrammar::FieldVerdict::Continuation:
        // Obsolete line folding, which RFC 9112 section 5.2 lets a server refuse.
        return refuse(400, fields_ == 0 ? "Whitespace before the first header." : "Folded header line.");
    case HttpGrammar::FieldVerdict::Malformed:
        return refuse(400, "Malformed header line.");
    case HttpGrammar::FieldVerdict::BareCr:
        return refuse(400, "Bare CR in the header section.");
    case HttpGrammar::FieldVerdict::Field:
        break;
    }
    ++fields_;
    if (fieldNameIs(field.name, "host")) {
        ++hosts_;
    } else if (fieldNameIs(field.name, "connection")) {
        forEachListItem(field.value, [this](std::string_view option) {
            closeAsked_ = closeAsked_ || fieldNameIs(option, "close");
            keepAliveAsked_ = keepAliveAsked_ || fieldNameIs(option, "keep-alive");
        });
    } else {
        takeFraming(field.name, field.value);
    }
}

void RequestReader::takeFraming(std::string_view name, std::string_view value) {
    const bool coding = fieldNameIs(name, "transfer-encoding");
    if (coding && request_.minorVersion == 0)
        return refuse(400, "Transfer-Encoding in an HTTP/1.0 request.");
    switch (framing_.add(name, value)) {
    case HttpGrammar::BodyFraming::Verdict::Sound:
        return;
    case HttpGrammar::BodyFraming::Verdict::MalformedLength:
        return refuse(400, "Malformed Content-Length.");
    case HttpGrammar::BodyFraming::Verdict::ConflictingLength:
        return refuse(400, "Conflicting Content-Length.");
    case HttpGrammar::BodyFraming::Verdict::UnsupportedCoding: {
        // A coding not understood is 501; without chunked last, the body's end is unknown: 400.
        bool chunkedLast = false;
        forEachListItem(value, [&](std::string_view item) { chunkedLast = fieldNameIs(item, "chunked"); });
        return chunkedLast ? refuse(501, "Only the chunked transfer coding is read here.")
                           : refuse(400, "Chunked is not the last transfer coding.");
    }
    }
}

void RequestReader::endHead() {
    if (framing_.bothFields())
        return refuse(400, "Both Content-Length and Transfer-Encoding.");
    if (hosts_ > 1 || (hosts_ == 0 && request_.minorVersion == 1))
        return refuse(400, hosts_ > 1 ? "More than one Host header." : "No Host header.");
    request_.keepAlive = !closeAsked_ && (request_.minorVersion == 1 || keepAliveAsked_);
    if (framing_.chunked()) {
        phase_ = Phase::ChunkSize;
    } else if (framing_.contentLength().value_or(0) > MaxBodyBytes) {
        refuse(413, "A request body holds at most 65536 bytes.");
    } else if (framing_.contentLength().value_or(0) > 0) {
        phase_ = Phase::LengthBody;
        dataLeft_ = *framing_.contentLength();
    } else {
        step_ = Step::Request;
    }
}

void RequestReader::takeChunkSize(std::string_view line) {
    const std::optional<std::uint64_t> size = HttpGrammar::parseChunkSize(line);
    if (!size)
        return refuse(400, "Malformed chunk size.");
    if (*size == 0) {
        phase_ = Phase::Trailer;
    } else if (*size > MaxBodyBytes - bodyBytes_) {
        refuse(413, "A request body holds at most 65536 bytes.");
    } else {
        bodyBytes_ += *size;
        dataLeft_ = *size;
        phase_ = Phase::ChunkData;
    }
}

void RequestReader::takeChunkEnd(char c) {
    if (c == '\n')
        phase_ = Phase::ChunkSize;
    else if (c == '\r' && !chunkEndCr_)
        chunkEndCr_ = true;
    else
        refuse(400, "Malformed chunk: its data runs past its size.");
}

void RequestReader::takeTrailer(std::string_view line) {
    if (line.empty())
        step_ = Step::Request;
    else if (HttpGrammar::splitFieldLine(line).verdict != HttpGrammar::FieldVerdict::Field)
        refuse(400, "Malformed trailer line.");
}

void RequestReader::refuse(int status, const char* reason) {
    step_ = Step::Refused;
    refusalStatus_ = status;
    refusalReason_ = reason;
}
