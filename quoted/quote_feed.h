#pragma once
// --quotes FILE: the quotes of a CSV file the user keeps (feed_csv.h), read again whenever it
// changes. What goes wrong is said on standard error: each skipped line once, and a file that
// vanishes or cannot be used once, while the last good prices stay on the pages.
#include "feed_csv.h"
#include "price_chart.h"
#include "quote_source.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QTimer>

#include <ctime>
#include <sys/types.h>

class QuoteFeed : public QuoteSource {
public:
    // Reads the file at once, then looks at it every 200 ms and before each request.
    explicit QuoteFeed(QString path);

    // Reads the file again when its size, modification time or identity has changed.
    void refresh() override;

    std::optional<Quote> quote(const QByteArray& symbol, const QDateTime& now) const override;
    std::optional<DetailsContent> details(const QByteArray& symbol, const QDateTime& now) const override;
    QByteArray pageIntro() const override;
    QByteArray pageFootnote() const override;
    QByteArray unknownSymbolHtml() const override;

private:
    struct FileState {
        int error = -1; // errno of the last look; 0 when the file was there
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        timespec modified{};
        bool operator==(const FileState& other) const;
    };
    static FileState stateOf(const QString& path);

    void read(const QDateTime& now);
    void use(const FeedContent& content, const QDateTime& now);
    void unusable(const QString& problem);
    void say(const QString& text) const;

    QString path_;
    QByteArray fileName_; // UTF-8, for the pages
    QTimer timer_;

    FileState seen_;
    bool lookAgain_ = false; // the file was read in the same moment as it was written
    QDateTime emptySince_;   // when the file was first seen empty, while it stays so
    bool haveRead_ = false;
    QByteArray readBytes_;
    bool readBytesUsable_ = false;
    QString readProblem_;           // why the bytes read last cannot be used
    QSet<QByteArray> skippedLines_; // lines already warned about, as they stand

    QHash<QByteArray, Quote> quotes_; // the last good prices
    QHash<QByteArray, QList<SeenPrice>> seenPrices_;
    QDateTime usedAt_;
    bool everUsable_ = false;
    QString problem_; // what keeps the file from being used; empty when it is used
};
