#pragma once
// tickwell-quoted as a child process for tests: on a free loopback port, stopped when
// the object goes away (and by itself after two minutes at the latest). What it writes on
// standard error is kept in a file for the test to read.
#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class QuotedProcess {
public:
    enum class Recording { Off, On };

    // Starts TICKWELL_QUOTED_BINARY with "--port 0 --exit-after 120", then extraArgs (a
    // later --exit-after wins), and with --record <temporary file> when asked; waits up
    // to 10 s for the listening line. XDG_DATA_HOME is a scratch folder of its own, so that a
    // feed's price history never goes to the user's.
    explicit QuotedProcess(const QStringList& extraArgs = {}, Recording recording = Recording::Off);
    ~QuotedProcess();
    QuotedProcess(const QuotedProcess&) = delete;
    QuotedProcess& operator=(const QuotedProcess&) = delete;

    bool isListening() const { return port_ != 0; }
    QString errorText() const { return error_; }
    quint16 port() const { return port_; }

    // The requests the server recorded so far, each exactly as received (Recording::On).
    QList<QByteArray> recordedRequests() const;

    // Everything the server wrote on standard error so far.
    QByteArray errorOutput() const;
    // Waits (bounded) until the standard error holds text; true when it does.
    bool waitForErrorOutput(const QByteArray& text, int timeoutMs = 5000) const;

    // Waits for the server to end by itself; true when it exited normally with status 0.
    bool waitForExit(int timeoutMs);
    // Ends it at once, as kill -9 does.
    void killNow();

private:
    QProcess process_;
    QTemporaryDir scratchDir_;
    QString recordFile_;
    QString errorFile_;
    quint16 port_ = 0;
    QString error_;
};

struct RawExchange {
    QByteArray bytes; // everything received
    bool connected = false;
    bool closedByServer = false; // false when the time ran out first
};

// Connects to 127.0.0.1:port, sends the request bytes as they are and reads until the
// server closes the connection or timeoutMs pass.
RawExchange exchangeRaw(quint16 port, const QByteArray& request, int timeoutMs = 10000);

// The request as Tickwell sends it: "GET <path> HTTP/1.1\nHost: localhost\n\n".
QByteArray quoteRequest(const QByteArray& path);
