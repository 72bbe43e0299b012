#include "sources/sources_file.h"

#include "sources/feed_csv.h"
#include "sources/url_fetch.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QUrl>

#include <algorithm>

namespace {

// A sources file names a few sources; anything this large is not one.
constexpr qint64 MaxSourcesFileBytes = 1 << 20;
constexpr int DefaultEverySeconds = 60;
constexpr int ShortestEverySeconds = 5;
constexpr int LongestSeconds = 7 * 24 * 3600; // a week, within what a timer holds

const QStringList KindKeys{"file", "command", "url"};
const QStringList OtherKeys{"every", "stale_after", "columns", "ca_file"};

struct Section {
    SourceSettings settings;
    QHash<QString, int> keyLines; // each key given, at its line
    QString kind;                 // its kind's key; empty until one is given
};

// "a=B, c=D": each feed column at most once, each of the source's headers at most once; false,
// with why, when the value breaks that.
bool readColumns(const QString& value, QList<std::pair<QByteArray, QByteArray>>* columns, QString* why) {
    const QByteArrayList known = feedColumnNames();
    QSet<QByteArray> headers;
    for (const QString& item : value.split(',')) {
        const qsizetype equals = item.indexOf('=');
        const QByteArray column = item.left(equals).trimmed().toLower().toUtf8();
        const QByteArray header = item.mid(equals + 1).trimmed().toUtf8();
        const bool mappedTwice =
            std::any_of(columns->cbegin(), columns->cend(), [&](const auto& mapped) { return mapped.first == column; });
        if (equals < 0)
            *why = QStringLiteral("columns: \"%1\" is not FEED=HEADER, such as last=Price").arg(item.trimmed());
        else if (column.isEmpty() || header.isEmpty())
            *why = QStringLiteral("columns: \"%1\" leaves a side of '=' empty").arg(item.trimmed());
        else if (!known.contains(column))
            *why = QStringLiteral("columns: \"%1\" is not a feed column (%2)")
                       .arg(QString::fromUtf8(column), QString::fromLatin1(known.join(", ")));
        else if (mappedTwice)
            *why = QStringLiteral("columns: %1 is mapped twice").arg(QString::fromUtf8(column));
        else if (headers.contains(header.toLower()))
            *why = QStringLiteral("columns: header \"%1\" is mapped twice").arg(QString::fromUtf8(header));
        else {
            headers.insert(header.toLower());
            columns->append({column, header});
            continue;
        }
        return false;
    }
    return true;
}

// Whether the path names a regular file; false, with why, when it does not.
bool isRegularFile(const QString& key, const QString& path, QString* why) {
    const QFileInfo info(path);
    if (!info.exists())
        *why = QStringLiteral("%1 %2 does not exist").arg(key, path);
    else if (!info.isFile())
        *why = QStringLiteral("%1 %2 is not a regular file").arg(key, path);
    else
        return true;
    return false;
}

class SourcesReader {
public:
    explicit SourcesReader(const QString& path)
        : path_(path), folder_(QFileInfo(path).absoluteDir()),
          shortestSeconds_(testBoundSeconds() > 0 ? 1 : ShortestEverySeconds) {}

    bool read(QList<SourceSettings>* sources, QString* why) {
        const QFileInfo info(path_);
        QFile file(path_);
        if (!info.exists() || !info.isFile())
            *why = path_ + (info.exists() ? ": is not a regular file" : ": does not exist");
        else if (info.size() > MaxSourcesFileBytes)
            *why = path_ + QStringLiteral(": is larger than %1 KB").arg(MaxSourcesFileBytes >> 10);
        else if (!file.open(QIODevice::ReadOnly))
            *why = path_ + ": cannot be read (" + file.errorString() + ')';
        if (!why->isEmpty())
            return false;

        QString text = QString::fromUtf8(file.read(MaxSourcesFileBytes));
        if (text.startsWith(QChar(0xFEFF))) // the byte-order mark some editors write
            text.remove(0, 1);
        const QStringList lines = text.split('\n');
        QList<Section> sections;
        for (int i = 0; i < lines.size() && error_.isEmpty(); ++i)
            readLine(i + 1, lines[i].trimmed(), &sections);
        if (error_.isEmpty() && !sections.isEmpty())
            finish(&sections.last());
        if (error_.isEmpty() && sections.isEmpty())
            error_ = path_ + ": names no source: give each one a [section]";
        if (!error_.isEmpty()) {
            *why = error_;
            return false;
        }
        for (const Section& section : sections)
            sources->append(section.settings);
        return true;
    }

private:
    void fail(int line, const Section* section, const QString& why) {
        error_ = QStringLiteral("%1:%2: %3%4")
                     .arg(path_)
                     .arg(line)
                     .arg(section ? '[' + section->settings.name + "] " : "", why);
    }

    void readLine(int line, const QString& text, QList<Section>* sections) {
        Section* current = sections->isEmpty() ? nullptr : &sections->last();
        if (text.isEmpty() || text.startsWith('#') || text.startsWith(';'))
            return;
        if (text.startsWith('[')) {
            if (current && !finish(current))
                return;
            const QString name = text.endsWith(']') ? text.mid(1, text.size() - 2).trimmed() : QString();
            if (name.isEmpty())
                return fail(line, nullptr, "a section starts with a line \"[name]\"");
            for (const Section& other : *sections) {
                if (other.settings.name == name)
                    return fail(line, &other,
                                QStringLiteral("a second section of this name (the first is at line %1)")
                                    .arg(other.settings.line));
            }
            Section section;
            section.settings.name = name;
            section.settings.line = line;
            section.settings.folder = folder_.absolutePath();
            sections->append(section);
            return;
        }
        const qsizetype equals = text.indexOf('=');
        if (equals < 0)
            return fail(line, current, QStringLiteral("\"%1\" is not a setting such as every = 60").arg(text));
        if (!current)
            return fail(line, nullptr, "a setting before any [section]");
        setting(line, text.left(equals).trimmed().toLower(), text.mid(equals + 1).trimmed(), current);
    }

    void setting(int line, const QString& key, const QString& value, Section* section) {
        SourceSettings& s = section->settings;
        if (!KindKeys.contains(key) && !OtherKeys.contains(key))
            return fail(line, section,
                        QStringLiteral("unknown setting \"%1\" (known: %2, %3)")
                            .arg(key, KindKeys.join(", "), OtherKeys.join(", ")));
        if (section->keyLines.contains(key))
            return fail(line, section,
                        QStringLiteral("%1 is given twice (first at line %2)").arg(key).arg(section->keyLines[key]));
        section->keyLines.insert(key, line);
        if (value.isEmpty())
            return fail(line, section, key + " has no value");

        if (KindKeys.contains(key)) {
            if (!section->kind.isEmpty())
                return fail(line, section,
                            QStringLiteral("two kinds in one section: %1 and %2 (a section is one source)")
                                .arg(section->kind, key));
            section->kind = key;
            s.kind = key == "file" ? SourceKind::File : (key == "command" ? SourceKind::Command : SourceKind::Url);
            s.target = key == "file" ? QDir::cleanPath(folder_.absoluteFilePath(value)) : value;
            if (key == "file") {
                QString why;
                if (!isRegularFile("file", s.target, &why))
                    fail(line, section, why);
                return;
            }
            const QUrl url(value, QUrl::StrictMode);
            if (key == "url" &&
                (!url.isValid() || (url.scheme() != "http" && url.scheme() != "https") || url.host().isEmpty()))
                return fail(line, section,
                            QStringLiteral("url \"%1\" is not an http:// or https:// address with a host").arg(value));
        } else if (key == "every" || key == "stale_after") {
            bool ok = false;
            const int seconds = value.toInt(&ok);
            if (!ok || seconds < shortestSeconds_ || seconds > LongestSeconds)
                return fail(line, section,
                            QStringLiteral("%1 is a whole number of seconds from %2 to %3, not \"%4\"")
                                .arg(key)
                                .arg(shortestSeconds_)
                                .arg(LongestSeconds)
                                .arg(value));
            (key == "every" ? s.everySeconds : s.staleAfterSeconds) = seconds;
        } else if (key == "columns") {
            QString why;
            if (!readColumns(value, &s.columns, &why))
                fail(line, section, why);
        } else if (key == "ca_file") {
            s.caFile = QDir::cleanPath(folder_.absoluteFilePath(value));
            QString why;
            if (!isRegularFile("ca_file", s.caFile, &why) || !caFileUsable(s.caFile, &why))
                fail(line, section, why);
        }
    }

    // The checks that need the whole section; false, with the error, when one fails.
    bool finish(Section* section) {
        SourceSettings& s = section->settings;
        if (section->kind.isEmpty()) {
            fail(s.line, section, "no kind: give one of file = PATH, command = CMD or url = URL");
            return false;
        }
        const QStringList notForFiles{"every", "stale_after", "ca_file"};
        for (const QString& key : notForFiles) {
            const bool allowed = key == "ca_file" ? s.kind == SourceKind::Url : s.kind != SourceKind::File;
            if (section->keyLines.contains(key) && !allowed) {
                fail(section->keyLines[key], section,
                     QStringLiteral("%1 does not apply to a %2 source").arg(key, section->kind));
                return false;
            }
        }
        if (!section->keyLines.contains("every"))
            s.everySeconds = DefaultEverySeconds;
        if (!section->keyLines.contains("stale_after"))
            s.staleAfterSeconds = 3 * s.everySeconds;
        else if (s.staleAfterSeconds < s.everySeconds) {
            fail(section->keyLines["stale_after"], section,
                 QStringLiteral("stale_after (%1) is shorter than every (%2): the source would turn stale between "
                                "two refreshes")
                     .arg(s.staleAfterSeconds)
                     .arg(s.everySeconds));
            return false;
        }
        return true;
    }

    const QString path_;
    const QDir folder_;
    const int shortestSeconds_;
    QString error_;
};

} // namespace

bool readSourcesFile(const QString& path, QList<SourceSettings>* sources, QString* why) {
    why->clear();
    return SourcesReader(path).read(sources, why);
}

int testBoundSeconds() {
    const int seconds = qEnvironmentVariableIntValue("TICKWELL_QUOTED_TEST_BOUND");
    return std::max(seconds, 0);
}
