// HttpReplyReader must reach the same verdict however the reply's bytes are cut into pieces.
// Input: one byte n (its low four bits), then n piece sizes of one byte each, then the reply.
// The reply goes whole to one reader, in those pieces (the rest as the last piece) to a
// second one and one byte at a time to a third; all three must agree before and after close().
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "net/core/http_reply.h"

namespace {

void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "reply framing: %s\n", what);
        std::abort();
    }
}

const char* stateName(HttpReplyReader::State state) {
    switch (state) {
    case HttpReplyReader::State::Reading:
        return "Reading";
    case HttpReplyReader::State::Complete:
        return "Complete";
    case HttpReplyReader::State::NotOk:
        return "NotOk";
    case HttpReplyReader::State::NotHttp:
        return "NotHttp";
    case HttpReplyReader::State::Malformed:
        return "Malformed";
    case HttpReplyReader::State::CutShort:
        return "CutShort";
    }
    return "?";
}

// What the window and the status bar learn from a reader; equal for equal verdicts.
struct Verdict {
    HttpReplyReader::State state;
    bool statusSeen;
    bool anythingReceived;
    int status;
    std::string reason;
    std::string failure;

    explicit Verdict(const HttpReplyReader& reader)
        : state(reader.state()), statusSeen(reader.statusSeen()), anythingReceived(reader.anythingReceived()),
          status(reader.status()), reason(reader.reason()), failure(reader.failure()) {}

    bool operator==(const Verdict&) const = default;
};

void requireSame(const Verdict& a, const Verdict& b, const char* when) {
    if (a == b)
        return;
    std::fprintf(stderr, "reply framing: verdicts differ %s: %s/%d/\"%s\"/\"%s\" vs %s/%d/\"%s\"/\"%s\"\n", when,
                 stateName(a.state), a.status, a.reason.c_str(), a.failure.c_str(), stateName(b.state), b.status,
                 b.reason.c_str(), b.failure.c_str());
    std::abort();
}

// Rules every verdict keeps, however it was reached.
void checkVerdict(const Verdict& v, bool closed) {
    require(!closed || v.state != HttpReplyReader::State::Reading, "still reading after close()");
    require(v.failure.empty() == (v.state == HttpReplyReader::State::Complete),
            "failure text empty exactly when the reply is complete");
    require(v.reason.size() <= 60, "reason longer than 60 characters");
    for (char c : v.reason)
        require(c >= 32 && c <= 126, "reason holds a byte that is not printable ASCII");
    require(v.reason.empty() || (v.reason.front() != ' ' && v.reason.back() != ' '), "reason not trimmed");
    require(v.status >= 0 && v.status <= 999, "status outside three digits");
    if (v.state == HttpReplyReader::State::Complete)
        require(v.status == 200, "complete reply without status 200");
    if (v.state == HttpReplyReader::State::NotOk)
        require(v.status != 200, "NotOk with status 200");
    if (v.state == HttpReplyReader::State::NotHttp)
        require(!v.statusSeen, "NotHttp after a status was seen");
}

// Feeds one piece; the return value must be the state the reader then reports.
void feedPiece(HttpReplyReader& reader, const char* data, std::size_t size) {
    const HttpReplyReader::State before = reader.state();
    const HttpReplyReader::State returned = reader.feed(data, size);
    require(returned == reader.state(), "feed() returned another state than state()");
    if (before != HttpReplyReader::State::Reading)
        require(returned == before, "a finished reader changed its state");
}

void closeReader(HttpReplyReader& reader) {
    const HttpReplyReader::State returned = reader.close();
    require(returned == reader.state(), "close() returned another state than state()");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const std::size_t pieceCount = data[0] & 15;
    const std::size_t header = 1 + pieceCount;
    if (size < header)
        return 0;
    const uint8_t* cuts = data + 1;
    // An exact-size copy, so that any read past the reply's end is caught.
    const std::size_t length = size - header;
    std::vector<char> reply(data + header, data + size);
    const char* bytes = reply.data();

    HttpReplyReader whole;
    feedPiece(whole, bytes, length);

    HttpReplyReader pieces;
    std::size_t at = 0;
    for (std::size_t i = 0; i < pieceCount; ++i) {
        const std::size_t take = std::min<std::size_t>(cuts[i], length - at);
        feedPiece(pieces, bytes + at, take); // empty pieces too: a read may return nothing
        at += take;
    }
    feedPiece(pieces, bytes + at, length - at);

    HttpReplyReader single;
    for (std::size_t i = 0; i < length; ++i)
        feedPiece(single, bytes + i, 1);

    const Verdict fed(whole);
    checkVerdict(fed, false);
    requireSame(fed, Verdict(pieces), "after the last byte (pieces)");
    requireSame(fed, Verdict(single), "after the last byte (single bytes)");

    closeReader(whole);
    closeReader(pieces);
    closeReader(single);
    const Verdict closed(whole);
    checkVerdict(closed, true);
    if (fed.state != HttpReplyReader::State::Reading)
        requireSame(fed, closed, "before and after close() of a finished reply");
    requireSame(closed, Verdict(pieces), "after close() (pieces)");
    requireSame(closed, Verdict(single), "after close() (single bytes)");

    // Bytes after the close and a second close change nothing.
    feedPiece(whole, bytes, length);
    closeReader(whole);
    requireSame(closed, Verdict(whole), "after feeding and closing again");
    return 0;
}
