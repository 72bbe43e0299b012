#pragma once
// The sources file (--sources FILE): where tickwell-quoted takes its prices. One INI section
// per source; the sections' order in the file is their priority, first to last.
//
//   [broker]
//   command = python3 quotes-command.py < my-quotes.json
//   every = 60
//   stale_after = 180
//   columns = symbol=Ticker, last=Price, change=Change
//
// Relative paths are taken from the sources file's folder, and commands run there.
#include <QByteArray>
#include <QList>
#include <QString>

#include <utility>

enum class SourceKind { File, Command, Url };

struct SourceSettings {
    QString name; // the section's name
    int line = 0; // where its header stands, 1-based
    SourceKind kind = SourceKind::File;
    QString target; // the path (absolute), the command line or the URL
    QString folder; // the sources file's folder, absolute: where a command runs
    int everySeconds = 60;
    int staleAfterSeconds = 180; // 3 x every unless the section says otherwise
    QString caFile;              // a URL's private authority; empty: the system's alone
    // (feed column, the source's own header), in the order written; empty: the feed's names.
    QList<std::pair<QByteArray, QByteArray>> columns;
};

// The sources in the file's order; false, with why (naming the section and the line), when the
// file cannot be used.
bool readSourcesFile(const QString& path, QList<SourceSettings>* sources, QString* why);

// TICKWELL_QUOTED_TEST_BOUND=N, a test aid: a command's run is bounded by N seconds instead of 30,
// and every and stale_after may be as short as 1 s, so that tests of faults stay short. 0 when unset.
int testBoundSeconds();
