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
#include <cstddef>
#include <string>

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
        Malformed, // a header or the body framing is broken
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

    // What a reply that is not a page of quotes amounted to, for the user:
    // "answered 404 Not Found", "reply cut short", "not an HTTP reply", ...
    std::string failure() const;

private:
    enum class Phase { StatusLine, Headers, Body, UntilClose, ChunkSize, ChunkData, ChunkEnd, Trailers, Done };

    State fail(State state);
    State notHttp();           // a status line that is not one: after an interim answer, a broken reply
    bool takeLineByte(char c); // true once line_ holds a whole line
    void statusLine();
    void headerLine();
    void chunkSizeLine();
    void toPage(const char* data, std::size_t size);

    State state_ = State::Reading;
    Phase phase_ = Phase::StatusLine;
    std::string line_;
    std::size_t received_ = 0;
    int status_ = 0;
    std::string reason_;
    long long contentLength_ = -1;
    long long remaining_ = 0; // body or chunk bytes still to come
    bool chunked_ = false;
    bool chunkEndCr_ = false;
    bool interim_ = false;        // the response being read is a 1xx answer
    std::size_t headerBytes_ = 0; // status, header and trailer lines so far, interim answers included
    char* page_ = nullptr;
    std::size_t pageCapacity_ = 0;
    std::size_t pageLength_ = 0;
};
