#pragma once
// One refresh of a source's feed CSV, whichever way the source gets it: reading a file,
// running a command, fetching a URL. Lives on the server's thread; start() begins a refresh,
// which ends with exactly one done().
#include "sources/sources_file.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>

struct FetchOutcome {
    enum class Kind { NewFeed, Unchanged, Failed };
    Kind kind = Kind::Failed;
    QByteArray csv; // NewFeed: the feed as the source gave it, before its columns are mapped
    QString error;  // Failed: what went wrong, for the log and the status page
};

class SourceFetch : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Begins one refresh; a refresh under way when start() is called again goes on unchanged.
    virtual void start() = 0;

signals:
    void done(const FetchOutcome& outcome);
};
