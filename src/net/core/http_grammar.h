#pragma once
// The letter of HTTP/1.1 that both ends read by: what a head's lines, field lines, framing
// fields and chunk-size lines may hold (RFC 9112 and RFC 9110). Plain C++ with no Qt, so the
// quote server and the client's reply reader share one copy of each rule. Every function
// looks at text that has already arrived; none of them keeps a stream of its own but for
// HeadLine and BodyFraming, which gather one line and one head.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace HttpGrammar {

// RFC 9110 tchar: the characters of a token, so of a field name or a method.
bool isTokenChar(char c);
bool isToken(std::string_view text);
// SP or HTAB.
bool isBlank(char c);
// What a field value may hold: SP, HTAB, visible ASCII and obs-text (bytes 0x80 and up).
bool isFieldValueChar(char c);

// Gathers one line of a head byte by byte. A line ends in CRLF or in LF alone; a CR followed
// by anything but LF is a bare CR, found on the byte after it. The line is kept without its end.
class HeadLine {
public:
    enum class Step {
        More,    // the line goes on
        Line,    // line() is a whole line
        BareCr,  // a CR not followed by LF
        TooLong, // the line passed the longest the reader takes
    };
    explicit HeadLine(std::size_t maxLength) : maxLength_(maxLength) {}

    Step take(char c);
    const std::string& line() const { return line_; }
    // Starts the next line; a line must be cleared once it has been read.
    void clear() { line_.clear(), cr_ = false; }

private:
    std::string line_;
    std::size_t maxLength_;
    bool cr_ = false;
};

enum class FieldVerdict {
    Field,        // "name: value"
    Continuation, // begins with SP or HTAB: obsolete line folding, or whitespace before the first field
    Malformed,    // no token before the colon, a blank before it, no colon, or a NUL or control byte
    BareCr,       // a CR inside the line
};

// One field line (without its line end) split into its name and its value, blanks around the
// value taken off. For a continuation line the name is empty and the value is the folded text.
struct FieldLine {
    FieldVerdict verdict = FieldVerdict::Malformed;
    std::string_view name;
    std::string_view value;
};
FieldLine splitFieldLine(std::string_view line);

// A field name compared without case, as names are.
bool fieldNameIs(std::string_view name, std::string_view wanted);

enum class LengthVerdict {
    Length,     // the value is one length
    Malformed,  // not digits, or more than 64 bits
    Conflicting // a comma list of differing lengths
};
// A Content-Length value: digits, or a comma list of equal values (RFC 9110 section 8.6).
struct ContentLength {
    LengthVerdict verdict = LengthVerdict::Malformed;
    std::uint64_t length = 0;
};
ContentLength parseContentLength(std::string_view value);

// A Transfer-Encoding value: chunked alone, or a coding this program does not decode.
enum class CodingVerdict { Chunked, Unsupported };
CodingVerdict transferCoding(std::string_view value);

// What a head's framing fields say about its body, gathered field by field: several
// Content-Length fields must agree, and a second Transfer-Encoding field stacks a coding on
// chunked, which is never sound. Other fields are passed over.
class BodyFraming {
public:
    enum class Verdict { Sound, MalformedLength, ConflictingLength, UnsupportedCoding };

    // Takes one field; the verdict so far, which stays at its first fault.
    Verdict add(std::string_view name, std::string_view value);
    Verdict verdict() const { return verdict_; }
    bool chunked() const { return chunked_; }
    std::optional<std::uint64_t> contentLength() const { return length_; }
    // Both Content-Length and Transfer-Encoding: a client lets the coding win, a server refuses.
    bool bothFields() const { return codings_ > 0 && length_.has_value(); }

private:
    Verdict verdict_ = Verdict::Sound;
    std::optional<std::uint64_t> length_;
    int codings_ = 0;
    bool chunked_ = false;
};

// A chunk-size line (without its line end): hex digits, optional blanks, then nothing or
// chunk extensions (";name", ";name=token", ";name=\"quoted\"", an empty one kept too).
// No value when the line is malformed or the size passes 64 bits.
std::optional<std::uint64_t> parseChunkSize(std::string_view line);

// "HTTP/d.d": the major and minor version.
struct HttpVersion {
    int major = 0;
    int minor = 0;
};
std::optional<HttpVersion> parseHttpVersion(std::string_view text);

// A status line (without its line end): "HTTP/1.x", a space, three digits, then an optional
// space and reason of blanks, visible ASCII and obs-text.
struct StatusLine {
    int minorVersion = 0;
    int code = 0;
    std::string_view reason;
};
std::optional<StatusLine> parseStatusLine(std::string_view line);

} // namespace HttpGrammar
