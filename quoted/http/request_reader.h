#pragma once
// Frames requests out of a connection's bytes by the letter of HTTP/1.1 (RFC 9112). The head is
// read byte by byte as it arrives, so a fault is answered at once rather than at the idle
// deadline; a body is framed by its Content-Length or its chunks and dropped, never taken for
// the next request.
#include "http/http_request.h"

#include "net/core/http_grammar.h"

#include <QByteArray>
#include <QByteArrayView>

#include <string_view>

class RequestReader {
public:
    // A longer head is refused, and a longer body as sent (chunk lines and trailers included).
    static constexpr qsizetype MaxHeadBytes = 16384;
    static constexpr quint64 MaxBodyBytes = 65536;

    enum class Step { More, Request, Refused };

    // Takes bytes from the front of data up to the end of a request or its first fault; how many
    // it took.
    qsizetype take(QByteArrayView data);
    Step step() const { return step_; }
    // The head so far, byte for byte (empty lines before the request line included).
    const QByteArray& head() const { return head_; }
    // Step::Request: the request, its body read and dropped.
    const HttpRequest& request() const { return request_; }
    // Step::Refused: the status to answer with and why, in one line.
    int refusalStatus() const { return refusalStatus_; }
    const QByteArray& refusalReason() const { return refusalReason_; }
    // After a request: reads the next one.
    void next() { *this = RequestReader(); }

private:
    enum class Phase { Start, Fields, LengthBody, ChunkSize, ChunkData, ChunkEnd, Trailer };

    void takeLine(std::string_view line);
    void takeLineFault(HttpGrammar::HeadLine::Step fault);
    void takeRequestLine(std::string_view line);
    void takeField(std::string_view line);
    void takeFraming(std::string_view name, std::string_view value);
    void endHead();
    void takeChunkSize(std::string_view line);
    void takeChunkEnd(char c);
    void takeTrailer(std::string_view line);
    void refuse(int status, const char* reason);

    HttpGrammar::HeadLine line_{MaxHeadBytes};
    HttpGrammar::BodyFraming framing_;
    Phase phase_ = Phase::Start;
    Step step_ = Step::More;
    QByteArray head_;
    HttpRequest request_;
    int fields_ = 0;
    int hosts_ = 0;
    bool closeAsked_ = false;
    bool keepAliveAsked_ = false;
    quint64 bodyBytes_ = 0; // as sent so far
    quint64 dataLeft_ = 0;  // of the Content-Length body or of the chunk under way
    bool chunkEndCr_ = false;
    int refusalStatus_ = 0;
    QByteArray refusalReason_;
};
