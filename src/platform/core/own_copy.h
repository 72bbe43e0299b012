#pragma once
// Text that this thread keeps, in memory of its own. A load's worker makes its rows' texts in
// that thread's malloc arena; a text kept past the load (a grid cell, a mirror line, a status)
// would pin the arena's pages, and over a day of loads the arenas of the workers would grow
// without bound around such texts. Copied on the window thread, everything a worker made is
// freed by the time its load ends.
#include <QString>
#include <QStringList>

inline QString ownCopy(const QString& text) {
    return text.isNull() ? text : QString(text.constData(), text.size());
}

inline QStringList ownCopy(const QStringList& texts) {
    QStringList copies;
    copies.reserve(texts.size());
    for (const QString& text : texts)
        copies << ownCopy(text);
    return copies;
}
