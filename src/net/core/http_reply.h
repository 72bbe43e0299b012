#pragma once
// Follows an HTTP/1.x response as its bytes arrive and says when it is whole and whether it
// is a page of quotes: a 200 status line and a complete body (Content-Length reached, the
// last chunk seen, or an unframed body ended by the server's close). Interim 1xx answers
// before it are passed over. The verdict does not depend on how the bytes are cut into
// pieces, and every byte is looked at once.
//
// Given a page buffer, the reader also writes there what the page parsers read: the final
// response's status line and headers as they came, then its body decoded (no chunk sizes,
// extensions or trailers), so a chunked page reads like a plain one.
//
// The head and the chunk framing are read by the letter (net/core/http_grammar): a reply that
// breaks them is malformed as soon as the breaking bytes have arrived, and says how.
#include <cstddef>
#include <string>

#include "net/core/http_grammar.h"

class HttpReplyReader {
public:
    HttpReplyReader() = default;
    // Bytes of the page beyond capacity are dropped; the rest of the reply is still followed.
    HttpReplyReader(char* page, std::size_t capacity) : page_(page), pageCapacity_(capacity) {}

    enum class State {
        Reading,   // the response is not whole yet
        Complete,  // a whole 200 response
        NotOk,     // the status line says something other than 200
        NotHttp,   // the first bytes are not an HTTP/1.x status line
        Malformed, // the head or the body framing is broken: malformation() says how
        CutShort,  // the server closed before the response was whole
    };

    // Takes the next bytes of the response. Once the state is no longer Reading, further
    // bytes change nothing.
    State feed(const char* data, std::size_t size);
    // The server closed the connection: an unframed body ends here, anything else unfinished
    // is cut short.
    State close();

    State state() const { return state_; }
    // Bytes written to the page buffer so far, at most its capacity.
    std::size_t pageLength() const { return pageLength_; }
    bool statusSeen() const { return status_ != 0; }
    bool anythingReceived() const { return received_ > 0; }
    int status() const { return status_; }
    // The reason phrase as the server sent it, reduced to printable ASCII and cut to 60 characters.
    const std::string& reason() const { return reason_; }

    // What broke a Malformed reply: "bare CR in the header section", "malformed chunk size", ...
    const std::string& malformation() const { return malformation_; }

    // What a reply that is not a page of quotes amounted to, for the user:
    // "answered 404 Not Found", "reply cut short", "malformed reply: malformed header line", ...
    std::string failure() const;

private:
    enum class Phase { StatusLine, Headers, Body, UntilClose, ChunkSize, ChunkData, ChunkEnd, Trailers, Done };

    State fail(State state);
    State malformed(const char* what);
    State notHttp(); // a status line that is not one: after an interim answer, a broken reply
    void statusLine();
    void headerLine();
    void endField();
    void trailerLine();
    void chunkSizeLine();
    void toPage(const char* data, std::size_t size);

    State state_ = State::Reading;
    Phase phase_ = Phase::StatusLine;
    // No status, header or chunk-size line of a quote server comes near this; a longer one is
    // not HTTP framing.
    HttpGrammar::HeadLine line_{8192};
    std::string field_; // the field line being read, folded lines unfolded into it
    HttpGrammar::BodyFraming framing_;
    std::string malformation_;
    std::size_t received_ = 0;
    int status_ = 0;
    std::string reason_;
    long long remaining_ = 0; // body or chunk bytes still to come
    bool chunkEndCr_ = false;
    bool interim_ = false;        // the response being read is a 1xx answer
    std::size_t headerBytes_ = 0; // status, header and trailer lines so far, interim answers included
    char* page_ = nullptr;
    std::size_t pageCapacity_ = 0;
    std::size_t pageLength_ = 0;
};
