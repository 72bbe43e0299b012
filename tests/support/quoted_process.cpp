#include "quoted_process.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTest>

#include <algorithm>

namespace {

constexpr int StartTimeoutMs = 10000;
constexpr int StopTimeoutMs = 3000;

} // namespace

QuotedProcess::QuotedProcess(const QStringList& extraArgs, Recording recording) {
    QStringList args{"--port", "0", "--exit-after", "120"};
    args += extraArgs;
    if (recording == Recording::On) {
        recordFile_ = scratchDir_.filePath("requests.txt");
        args += {"--record", recordFile_};
    }
    process_.setProcessChannelMode(QProcess::SeparateChannels);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_DATA_HOME", scratchDir_.filePath("data"));
    process_.setProcessEnvironment(environment);
    errorFile_ = scratchDir_.filePath("stderr.txt");
    process_.setStandardErrorFile(errorFile_);
    process_.start(QStringLiteral(TICKWELL_QUOTED_BINARY), args);
    if (!process_.waitForStarted(StartTimeoutMs)) {
        error_ = "cannot start " + QStringLiteral(TICKWELL_QUOTED_BINARY) + ": " + process_.errorString();
        return;
    }

    static const QRegularExpression listening("^tickwell-quoted listening on 127\\.0\\.0\\.1:(\\d+)$");
    const QDeadlineTimer deadline(StartTimeoutMs);
    while (!deadline.hasExpired()) {
        if (!process_.canReadLine() && !process_.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
            break;
        while (process_.canReadLine()) {
            const QString line = QString::fromLatin1(process_.readLine()).trimmed();
            const QRegularExpressionMatch match = listening.match(line);
            if (match.hasMatch()) {
                port_ = static_cast<quint16>(match.captured(1).toUInt());
                return;
            }
        }
    }
    error_ = "no listening line; stderr: " + QString::fromLocal8Bit(errorOutput());
}

QuotedProcess::~QuotedProcess() {
    if (process_.state() == QProcess::NotRunning)
        return;
    process_.terminate();
    if (!process_.waitForFinished(StopTimeoutMs)) {
        process_.kill();
        process_.waitForFinished(StopTimeoutMs);
    }
}

QList<QByteArray> QuotedProcess::recordedRequests() const {
    QFile file(recordFile_);
    if (recordFile_.isEmpty() || !file.open(QIODevice::ReadOnly))
        return {};
    QList<QByteArray> requests;
    QByteArray rest = file.readAll();
    static const QByteArray separator = "----\n";
    // Each entry ends in a line feed and is followed by the separator line.
    qsizetype at = 0;
    while (at < rest.size()) {
        qsizetype end = rest.indexOf("\n" + separator, at);
        if (end < 0)
            break;
        requests.append(rest.sliced(at, end + 1 - at));
        at = end + 1 + separator.size();
    }
    return requests;
}

QByteArray QuotedProcess::errorOutput() const {
    QFile file(errorFile_);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool QuotedProcess::waitForErrorOutput(const QByteArray& text, int timeoutMs) const {
    return QTest::qWaitFor([&] { return errorOutput().contains(text); }, timeoutMs);
}

bool QuotedProcess::waitForExit(int timeoutMs) {
    if (process_.state() != QProcess::NotRunning && !process_.waitForFinished(timeoutMs))
        return false;
    return process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
}

void QuotedProcess::killNow() {
    process_.kill();
    process_.waitForFinished(StopTimeoutMs);
}

RawExchange exchangeRaw(quint16 port, const QByteArray& request, int timeoutMs) {
    RawExchange result;
    const QDeadlineTimer deadline(timeoutMs);
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!socket.waitForConnected(static_cast<int>(deadline.remainingTime())))
        return result;
    result.connected = true;
    socket.write(request);
    socket.waitForBytesWritten(static_cast<int>(deadline.remainingTime()));
    while (!deadline.hasExpired()) {
        const bool arrived = socket.waitForReadyRead(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())));
        result.bytes += socket.readAll();
        if (!arrived && socket.state() != QAbstractSocket::ConnectedState) {
            result.closedByServer = true;
            break;
        }
    }
    return result;
}

QByteArray quoteRequest(const QByteArray& path) {
    return "GET " + path + " HTTP/1.1\nHost: localhost\n\n";
}
