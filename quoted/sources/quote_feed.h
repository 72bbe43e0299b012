#pragma once
// --quotes FILE: the quotes of a CSV file the user keeps (feed_csv.h), read again whenever it
// changes. What goes wrong is said on standard error: each skipped line once, and a file that
// vanishes or cannot be used once, while the last good prices stay on the pages.
//
// The file is read on a thread of its own, so that no page waits on it: a request that finds
// the file changed waits a little for the new prices, then is answered with the last ones.
#include "sources/feed_csv.h"
#include "sources/feed_reader.h"
#include "sources/quote_source.h"

#include <QDeadlineTimer>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <deque>
#include <memory>
#include <unordered_map>
#include <vector>

class QuoteFeed : public QuoteSource {
public:
    // Reads the file at once, then looks at it every 200 ms and before each request. The messages
    // name the file by label (its path when empty).
    explicit QuoteFeed(QString path, FeedFormat format = {}, QString label = {});
    ~QuoteFeed() override;

    // The last good prices (none before the file was first read cleanly), and what keeps the file
    // from being read now (empty while it reads cleanly).
    std::shared_ptr<const FeedSnapshot> snapshot() const { return current_; }
    QString problem() const { return problem_; }

    // Runs hook with each new set of good prices, the current one first (on this thread).
    void whenNewPrices(std::function<void(const std::shared_ptr<const FeedSnapshot>&)> hook);
    void keepHistory(std::shared_ptr<HistoryStore> store) override;

    // False, with why, for a file that can never serve as a feed (a FIFO, a device, a directory);
    // a file that is missing may yet appear.
    static bool canServe(const QString& path, QString* why);

    void whenCurrent(QObject* context, std::function<void()> ready) override;
    std::optional<Quote> quote(const QByteArray& symbol, const QDateTime& now) const override;
    std::optional<DetailsContent> details(const QByteArray& symbol, const QDateTime& now) const override;
    QByteArray pageIntro() const override;
    QByteArray pageFootnote() const override;
    NoQuoteReason noQuoteReason() const override;
    QByteArray statusText(const QDateTime& now) const override;

private:
    struct Waiter {
        QPointer<QObject> context;
        std::function<void()> ready;
        quint64 look; // answered once this look is done
        QDeadlineTimer deadline;
    };
    struct History {
        std::vector<std::pair<qint64, qint64>> prices; // (ms since the epoch, cents), oldest first
        quint64 updated = 0;                           // the update count when it last changed
    };

    void received(quint64 lookDone, std::shared_ptr<const FeedSnapshot> snapshot, std::vector<PriceSeen> prices,
                  QString problem);
    void releaseWaiters(quint64 lookDone);
    void recordSomePrices();
    void record(const PriceSeen& price);

    QString path_;
    QByteArray fileName_; // UTF-8, for the pages
    std::function<void(const std::shared_ptr<const FeedSnapshot>&)> newPrices_;
    QObject mailbox_; // the reader's results arrive through it, on this thread
    std::unique_ptr<FeedReader> reader_;

    std::shared_ptr<const FeedSnapshot> current_; // the last good prices
    QString problem_;                             // as the last look found it
    QList<Waiter> waiters_;
    QTimer waitTimer_;
    quint64 lookDone_ = 0;
    qint64 lastSeenState_ = 0; // what this thread's own look last found

    // The chart's prices, a bounded number in all; the symbols updated longest ago go first.
    std::vector<PriceSeen> toRecord_;
    size_t recorded_ = 0; // of toRecord_
    QTimer recordTimer_;
    std::unordered_map<quint64, History> history_;
    std::deque<std::pair<quint64, quint64>> updates_; // (update count, key), oldest first
    quint64 updateCount_ = 0;
    qsizetype pricesKept_ = 0;
};
