#include "sources/url_fetch.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslError>
#include <QSslSocket>
#include <QTimer>
#include <QUrl>

namespace {

QString networkErrorText(const QNetworkReply& reply) {
    switch (reply.error()) {
    case QNetworkReply::ConnectionRefusedError:
        return "connection refused";
    case QNetworkReply::HostNotFoundError:
        return "host not found: " + reply.url().host();
    default:
        return reply.errorString();
    }
}

class UrlFetch : public SourceFetch {
public:
    UrlFetch(const SourceSettings& settings, QObject* parent)
        : SourceFetch(parent), url_(settings.target), caFile_(settings.caFile),
          timeoutSeconds_(testBoundSeconds() > 0 ? testBoundSeconds() : url_fetch::TimeoutSeconds), manager_(this) {
        deadline_.setSingleShot(true);
        deadline_.setTimerType(Qt::PreciseTimer); // a coarse one may end the fetch half a second early
        deadline_.setInterval(timeoutSeconds_ * 1000);
        connect(&deadline_, &QTimer::timeout, this,
                [this] { stop(QString("timed out after %1 s").arg(timeoutSeconds_)); });
    }

    ~UrlFetch() override {
        if (reply_) {
            reply_->disconnect(this);
            reply_->abort();
        }
    }

    void start() override {
        if (reply_)
            return;
        body_.clear();
        stopReason_.clear();
        sslProblem_.clear();
        redirects_ = 0;
        sentValidators_ = !etag_.isEmpty() || !lastModified_.isEmpty();
        deadline_.start();
        get(url_);
    }

private:
    // One GET of the fetch: of the source's URL, or of where it was redirected.
    void get(const QUrl& url) {
        QString problem;
        const QNetworkRequest request = makeRequest(url, &problem);
        if (!problem.isEmpty()) {
            // Still one done() per start(), and after start() has returned.
            deadline_.stop();
            QTimer::singleShot(0, this, [this, problem] { emit done({FetchOutcome::Kind::Failed, {}, problem}); });
            return;
        }
        reply_ = manager_.get(request);
        connect(reply_, &QNetworkReply::metaDataChanged, this, &UrlFetch::headersArrived);
        connect(reply_, &QNetworkReply::readyRead, this, &UrlFetch::bodyArrived);
        connect(reply_, &QNetworkReply::sslErrors, this, &UrlFetch::certificateRefused);
        connect(reply_, &QNetworkReply::finished, this, &UrlFetch::finished);
    }

    QNetworkRequest makeRequest(const QUrl& url, QString* problem) const {
        QNetworkRequest request(url);
        const QString scheme = url.scheme();
        if (!url.isValid() || (scheme != "http" && scheme != "https") || url.host().isEmpty()) {
            *problem = "not an http:// or https:// URL: " + url.toString();
            return request;
        }
        // Redirects are followed here, one request each: Qt's own following loses count, and even
        // the answer, when the server closes each connection.
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
        request.setHeader(QNetworkRequest::UserAgentHeader, "tickwell-quoted/" TICKWELL_VERSION);
        if (!etag_.isEmpty())
            request.setRawHeader("If-None-Match", etag_);
        if (!lastModified_.isEmpty())
            request.setRawHeader("If-Modified-Since", lastModified_);
        if (scheme == "https") {
            if (!QSslSocket::supportsSsl()) {
                *problem = "no TLS: Qt's TLS plugin or the OpenSSL library is missing";
                return request;
            }
            QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
            if (!caFile_.isEmpty()) {
                // Read at each fetch, so that a ca_file put right is used without a restart.
                if (!caFileUsable(caFile_, problem))
                    return request;
                tls.addCaCertificates(caFile_, QSsl::Pem);
            }
            request.setSslConfiguration(tls);
        }
        return request;
    }

    void headersArrived() {
        const qint64 length = reply_->header(QNetworkRequest::ContentLengthHeader).toLongLong();
        if (length > url_fetch::MaxBodyBytes)
            stop(tooLarge());
    }

    void bodyArrived() {
        const int status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (status / 100 != 2) {
            reply_->readAll(); // an error page: only its status line matters
            return;
        }
        body_ += reply_->readAll();
        if (body_.size() > url_fetch::MaxBodyBytes)
            stop(tooLarge());
    }

    void certificateRefused(const QList<QSslError>& errors) {
        QStringList texts;
        for (const QSslError& error : errors)
            texts.append(error.errorString());
        sslProblem_ = "certificate of " + reply_->url().host() + " not trusted: " + texts.join("; ");
    }

    // Ends the fetch with the reason; finished() follows from abort().
    void stop(const QString& reason) {
        if (!reply_ || !stopReason_.isEmpty())
            return;
        stopReason_ = reason;
        reply_->abort();
    }

    static QString tooLarge() { return QString("answer larger than %1 MB").arg(url_fetch::MaxBodyBytes >> 20); }

    void finished() {
        QNetworkReply* reply = reply_;
        if (!reply)
            return;
        reply_ = nullptr;
        reply->deleteLater();
        const QUrl target = reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl();
        if (stopReason_.isEmpty() && reply->error() == QNetworkReply::NoError && !target.isEmpty()) {
            const QUrl to = reply->url().resolved(target);
            if (++redirects_ > url_fetch::MaxRedirects)
                stopReason_ = QString("too many redirects (more than %1)").arg(url_fetch::MaxRedirects);
            else if (to.scheme() == "http" && reply->url().scheme() == "https")
                stopReason_ = "redirected from https to " + to.toString();
            else
                return get(to);
        }
        deadline_.stop();
        emit done(outcome(*reply));
    }

    FetchOutcome outcome(QNetworkReply& reply) {
        const auto failed = [](const QString& error) { return FetchOutcome{FetchOutcome::Kind::Failed, {}, error}; };
        if (!stopReason_.isEmpty())
            return failed(stopReason_);
        const QVariant statusCode = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
        if (!statusCode.isValid()) {
            if (!sslProblem_.isEmpty())
                return failed(sslProblem_);
            return failed(networkErrorText(reply));
        }
        const int status = statusCode.toInt();
        if (status == 304 && sentValidators_)
            return {FetchOutcome::Kind::Unchanged, {}, {}};
        if (status / 100 != 2) {
            const QString reason = reply.attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
            return failed(QString("HTTP %1 %2").arg(status).arg(reason).trimmed());
        }
        if (reply.error() != QNetworkReply::NoError)
            return failed(networkErrorText(reply)); // cut off mid-body
        body_ += reply.readAll();
        if (body_.size() > url_fetch::MaxBodyBytes)
            return failed(tooLarge());
        etag_ = reply.rawHeader("ETag");
        lastModified_ = reply.rawHeader("Last-Modified");
        return {FetchOutcome::Kind::NewFeed, std::exchange(body_, {}), {}};
    }

    const QUrl url_;
    const QString caFile_;
    const int timeoutSeconds_;
    QNetworkAccessManager manager_;
    QTimer deadline_;
    QPointer<QNetworkReply> reply_; // the fetch under way
    QByteArray body_;
    QString stopReason_;
    QString sslProblem_;
    int redirects_ = 0;
    bool sentValidators_ = false;
    // The last good answer's validators, sent back so that an unchanged feed costs a 304.
    QByteArray etag_;
    QByteArray lastModified_;
};

} // namespace

bool caFileUsable(const QString& path, QString* why) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        *why = "ca_file " + path + " cannot be read (" + file.errorString() + ')';
    else if (QSslCertificate::fromDevice(&file, QSsl::Pem).isEmpty())
        *why = "ca_file " + path + " holds no PEM certificate";
    else
        return true;
    return false;
}

std::unique_ptr<SourceFetch> makeUrlFetch(const SourceSettings& settings, QObject* parent) {
    return std::make_unique<UrlFetch>(settings, parent);
}
