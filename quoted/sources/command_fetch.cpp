#include "sources/command_fetch.h"

#include <QPointer>
#include <QProcess>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

constexpr int RunBoundSeconds = 30;
constexpr qint64 MaxOutputBytes = qint64(64) << 20;
// Standard error is logged line by line, each cut to this length, and only so many lines a run:
// a command that floods it must not flood the server's log.
constexpr qsizetype MaxLoggedLineBytes = 1000;
constexpr int MaxLoggedLines = 100;
constexpr int StopWaitMs = 2000;

class CommandFetch : public SourceFetch {
public:
    CommandFetch(const SourceSettings& settings, QObject* parent)
        : SourceFetch(parent), name_(settings.name), command_(settings.target), folder_(settings.folder),
          boundSeconds_(testBoundSeconds() > 0 ? testBoundSeconds() : RunBoundSeconds) {
        bound_.setSingleShot(true);
        connect(&bound_, &QTimer::timeout, this,
                [this] { stop(QStringLiteral("did not finish within %1 s").arg(boundSeconds_)); });
    }

    ~CommandFetch() override {
        if (!process_)
            return;
        process_->disconnect(this);
        killAll();
        process_->waitForFinished(StopWaitMs);
    }

    void start() override {
        if (process_)
            return;
        output_.clear();
        errorLine_.clear();
        linesLogged_ = 0;
        failure_.clear();
        process_ = new QProcess(this);
        process_->setWorkingDirectory(folder_);
        process_->setStandardInputFile(QProcess::nullDevice());
        // A group of its own: a run past its bound is killed with all it started, and a hang-up of
        // the server's terminal is the server's to handle.
        process_->setChildProcessModifier([] { ::setsid(); });
        connect(process_, &QProcess::readyReadStandardOutput, this, &CommandFetch::takeOutput);
        connect(process_, &QProcess::readyReadStandardError, this, &CommandFetch::logErrors);
        connect(process_, &QProcess::finished, this, &CommandFetch::finished);
        connect(process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart)
                end(QStringLiteral("cannot be started: %1").arg(process_->errorString()));
        });
        process_->start("/bin/sh", {"-c", command_});
        bound_.start(boundSeconds_ * 1000);
    }

private:
    void takeOutput() {
        if (!failure_.isEmpty())
            return;
        output_ += process_->readAllStandardOutput();
        if (output_.size() > MaxOutputBytes)
            stop(QStringLiteral("wrote more than %1 MB").arg(MaxOutputBytes >> 20));
    }

    void logErrors() {
        errorLine_ += process_->readAllStandardError();
        for (qsizetype end; (end = errorLine_.indexOf('\n')) >= 0;) {
            logLine(errorLine_.first(end));
            errorLine_.remove(0, end + 1);
        }
        if (errorLine_.size() > MaxLoggedLineBytes) { // a line that never ends: its start, once
            logLine(errorLine_);
            errorLine_.clear();
        }
    }

    void logLine(QByteArray line) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (++linesLogged_ > MaxLoggedLines)
            return;
        if (line.size() > MaxLoggedLineBytes)
            line = line.first(MaxLoggedLineBytes) + "...";
        if (linesLogged_ == MaxLoggedLines)
            line = "(more lines on standard error of this run are not shown)";
        std::fprintf(stderr, "tickwell-quoted: [%s] %s\n", name_.toUtf8().constData(), line.constData());
        std::fflush(stderr);
    }

    // Ends the run as a failure: the command and all it started are killed.
    void stop(const QString& why) {
        if (!process_ || !failure_.isEmpty())
            return;
        failure_ = why;
        output_.clear();
        killAll();
    }

    void killAll() {
        const qint64 pid = process_->processId();
        if (pid > 0)
            ::kill(-pid_t(pid), SIGKILL);
        process_->kill();
    }

    void finished(int exitCode, QProcess::ExitStatus status) {
        takeOutput();
        logErrors();
        if (!errorLine_.isEmpty())
            logLine(errorLine_);
        if (!failure_.isEmpty())
            return end(failure_);
        if (status != QProcess::NormalExit)
            return end("was ended by a signal");
        if (exitCode != 0)
            return end(QStringLiteral("exited with status %1").arg(exitCode));
        FetchOutcome outcome;
        outcome.kind = FetchOutcome::Kind::NewFeed;
        outcome.csv = std::move(output_);
        output_ = QByteArray();
        end({}, std::move(outcome));
    }

    void end(const QString& error, FetchOutcome outcome = {}) {
        bound_.stop();
        process_->disconnect(this);
        process_->deleteLater();
        process_ = nullptr;
        if (!error.isEmpty())
            outcome.error = error;
        emit done(outcome);
    }

    const QString name_;
    const QString command_;
    const QString folder_;
    const int boundSeconds_;
    QTimer bound_;
    QProcess* process_ = nullptr; // while a run is under way
    QByteArray output_;
    QByteArray errorLine_; // standard error not yet ended by a line feed
    int linesLogged_ = 0;
    QString failure_; // why a run under way was stopped
};

} // namespace

std::unique_ptr<SourceFetch> makeCommandFetch(const SourceSettings& settings, QObject* parent) {
    return std::make_unique<CommandFetch>(settings, parent);
}
