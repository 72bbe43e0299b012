#include "sources/feed_messages.h"

#include <cstdio>

void sayOnStandardError(const QString& text) {
    std::fprintf(stderr, "tickwell-quoted: %s\n", text.toUtf8().constData());
    std::fflush(stderr);
}

QString symbolCount(qsizetype count) {
    return count == 1 ? QString("1 symbol") : QString::number(count) + " symbols";
}
