// The letter of HTTP/1.1 both ends read by: each rule given a text, and what it makes of it.
#include <QtTest>

#include "net/core/http_grammar.h"

using namespace HttpGrammar;

namespace {

enum class Rule { Lines, Field, Framing, ChunkSize, Status };

// Each rule's reading of text, spelled out so that one table holds every rule.
std::string reading(Rule rule, std::string_view text) {
    switch (rule) {
    case Rule::Lines: { // the lines HeadLine gathers, each in brackets
        HeadLine line(16);
        std::string lines;
        for (char c : text) {
            const HeadLine::Step step = line.take(c);
            if (step == HeadLine::Step::BareCr || step == HeadLine::Step::TooLong)
                return lines + (step == HeadLine::Step::BareCr ? "bare CR" : "too long");
            if (step == HeadLine::Step::Line)
                lines += "[" + line.line() + "]", line.clear();
        }
        return lines;
    }
    case Rule::Field: {
        const FieldLine field = splitFieldLine(text);
        const char* verdicts[] = {"field", "continuation", "malformed", "bare CR"};
        return std::string(verdicts[static_cast<int>(field.verdict)]) + " [" + std::string(field.name) + "][" +
               std::string(field.value) + "]";
    }
    case Rule::Framing: { // field lines split by '|'
        BodyFraming framing;
        for (std::size_t at = 0; at <= text.size();) {
            const std::size_t end = std::min(text.find('|', at), text.size());
            const FieldLine field = splitFieldLine(text.substr(at, end - at));
            framing.add(field.name, field.value);
            at = end + 1;
        }
        const char* verdicts[] = {"sound", "malformed length", "conflicting length", "unsupported coding"};
        std::string said = verdicts[static_cast<int>(framing.verdict())];
        if (framing.verdict() != BodyFraming::Verdict::Sound)
            return said;
        if (framing.contentLength())
            said += " length " + std::to_string(*framing.contentLength());
        return said + (framing.chunked() ? " chunked" : "") + (framing.bothFields() ? " both" : "");
    }
    case Rule::ChunkSize: {
        const std::optional<std::uint64_t> size = parseChunkSize(text);
        return size ? std::to_string(*size) : "refused";
    }
    case Rule::Status: {
        const std::optional<StatusLine> status = parseStatusLine(text);
        return status ? std::to_string(status->minorVersion) + " " + std::to_string(status->code) + " [" +
                            std::string(status->reason) + "]"
                      : "refused";
    }
    }
    return {};
}

} // namespace

Q_DECLARE_METATYPE(Rule)

class TestHttpGrammar : public QObject {
    Q_OBJECT

private slots:
    void reads_data();
    void reads();
};

void TestHttpGrammar::reads_data() {
    QTest::addColumn<Rule>("rule");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("expected");

    const auto row = [](const char* name, Rule rule, QByteArray text, const char* said) {
        QTest::newRow(name) << rule << text << QByteArray(said);
    };
    row("CRLF and bare LF end lines", Rule::Lines, "a\r\nb\n\r\n", "[a][b][]");
    row("a CR before anything but LF", Rule::Lines, "a\r\nb\rc\r\n", "[a]bare CR");
    row("a line past the longest", Rule::Lines, QByteArray(17, 'x'), "too long");

    row("a field", Rule::Field, "Content-Length:  12 \t", "field [Content-Length][12]");
    row("every tchar in a name", Rule::Field, "!#$%&'*+-.^_`|~09az: v", "field [!#$%&'*+-.^_`|~09az][v]");
    row("obs-text and tabs in a value", Rule::Field, "X: a\t\xe9 b", "field [X][a\t\xe9 b]");
    row("a separator in the name", Rule::Field, "X(y): 1", "malformed [][]");
    row("no colon", Rule::Field, "Content-Length 1", "malformed [][]");
    row("NUL in the value", Rule::Field, QByteArray("X: a\0b", 6), "malformed [][]");
    row("a control byte in the value", Rule::Field, "X: a\x01", "malformed [][]");
    row("a CR in the line", Rule::Field, "Foo: 1\rTransfer-Encoding: chunked", "bare CR [][]");
    row("a folded line", Rule::Field, " \tmore text ", "continuation [][more text]");

    row("no framing fields", Rule::Framing, "Host: a|X: 1", "sound");
    row("a length", Rule::Framing, "content-LENGTH: 42", "sound length 42");
    row("a list of equal lengths", Rule::Framing, "Content-Length: 42 , 42,42", "sound length 42");
    row("equal lengths in two fields", Rule::Framing, "Content-Length: 7|Content-Length: 7", "sound length 7");
    row("differing lengths in a list", Rule::Framing, "Content-Length: 42, 43", "conflicting length");
    row("differing lengths in two fields", Rule::Framing, "Content-Length: 7|Content-Length: 8", "conflicting length");
    row("a signed length", Rule::Framing, "Content-Length: +7", "malformed length");
    row("an empty list item", Rule::Framing, "Content-Length: 7,,7", "malformed length");
    row("a length past 64 bits", Rule::Framing, "Content-Length: 18446744073709551616", "malformed length");
    row("chunked", Rule::Framing, "Transfer-Encoding: \tChunked ", "sound chunked");
    row("chunked and a length", Rule::Framing, "Content-Length: 3|Transfer-Encoding: chunked",
        "sound length 3 chunked both");
    row("a coding over chunked", Rule::Framing, "Transfer-Encoding: gzip, chunked", "unsupported coding");
    row("chunked twice", Rule::Framing, "Transfer-Encoding: chunked|Transfer-Encoding: chunked", "unsupported coding");

    row("a size", Rule::ChunkSize, "2f", "47");
    row("blanks after the size", Rule::ChunkSize, "A \t", "10");
    row("an empty extension", Rule::ChunkSize, "2;", "2");
    row("extensions", Rule::ChunkSize, "2 ; a ; b = c;d=\"x; \\\"y\"", "2");
    row("a value with no name", Rule::ChunkSize, "2;=b", "refused");
    row("an empty value", Rule::ChunkSize, "2;a=", "refused");
    row("an unclosed quoted value", Rule::ChunkSize, "2;a=\"b", "refused");
    row("a blank inside a value", Rule::ChunkSize, "2;a=b c", "refused");
    row("a size past 64 bits", Rule::ChunkSize, "10000000000000000", "refused");

    row("a status line", Rule::Status, "HTTP/1.1 200 OK", "1 200 [OK]");
    row("no reason", Rule::Status, "HTTP/1.0 404", "0 404 []");
    row("an empty reason", Rule::Status, "HTTP/1.1 200 ", "1 200 []");
    row("a reason with blanks and obs-text", Rule::Status, "HTTP/1.1 200 \xe9 t\tok", "1 200 [\xe9 t\tok]");
    row("two blanks", Rule::Status, "HTTP/1.1  200 OK", "refused");
    row("a fourth digit", Rule::Status, "HTTP/1.1 2000 OK", "refused");
    row("HTTP/2", Rule::Status, "HTTP/2.0 200 OK", "refused");
}

void TestHttpGrammar::reads() {
    QFETCH(Rule, rule);
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, expected);
    QCOMPARE(QByteArray::fromStdString(reading(rule, std::string_view(text.constData(), text.size()))), expected);
}

QTEST_APPLESS_MAIN(TestHttpGrammar)
#include "test_http_grammar.moc"
