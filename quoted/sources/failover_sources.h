#pragma once
// --sources FILE: the quotes of several sources (feed files, commands, URLs), in the sources
// file's order. A symbol is served by the first source that holds it with a fresh price; when no
// source holding it is fresh, by the one that had it last, as it had it. docs/quote-sources.md.
#include "sources/feed_csv.h"
#include "sources/quote_feed.h"
#include "sources/quote_source.h"
#include "sources/source_fetch.h"
#include "sources/sources_file.h"

#include <QDeadlineTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QThreadPool>
#include <QTimer>

#include <memory>
#include <vector>

class FailoverSources : public QuoteSource {
public:
    // Starts every command and url source's first refresh, and reads every file source.
    explicit FailoverSources(const QList<SourceSettings>& sources);
    ~FailoverSources() override;

    // Until every command and url source has ended its first refresh (a few seconds at most), a
    // request waits for it; then for a look at each file source that changed.
    void whenCurrent(QObject* context, std::function<void()> ready) override;
    std::optional<Quote> quote(const QByteArray& symbol, const QDateTime& now) const override;
    std::optional<DetailsContent> details(const QByteArray& symbol, const QDateTime& now) const override;
    QByteArray pageIntro() const override;
    QByteArray pageFootnote() const override;
    NoQuoteReason noQuoteReason() const override;
    QByteArray statusText(const QDateTime& now) const override;
    void keepHistory(std::shared_ptr<HistoryStore> store) override;

private:
    struct Source;
    struct Held {
        QPointer<QObject> context;
        std::function<void()> ready;
    };

    const Source* serving(const QByteArray& symbol, const QDateTime& now) const;
    void refreshed(Source& source, const FetchOutcome& outcome);
    void parsed(Source& source, quint64 run, FeedContent content);
    void failed(Source& source, const QString& why);
    void firstRefreshEnded(Source& source);
    void releaseHeld();
    // The history keeps the prices of the source that serves each symbol.
    void offerServed(const Source& source, std::shared_ptr<const FeedTable> table, const QDateTime& at);
    void lookAtFiles(QObject* context, std::function<void()> ready);

    QObject mailbox_; // timers, fetches and parsed feeds report here, on the server's thread
    std::vector<std::unique_ptr<Source>> sources_;
    int firstRefreshesLeft_ = 0;
    QDeadlineTimer firstRefreshDeadline_;
    QTimer firstRefreshTimer_;
    QList<Held> held_;
    QThreadPool parsers_; // large feeds are parsed off the server's thread
};
