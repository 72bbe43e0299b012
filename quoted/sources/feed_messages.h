#pragma once
// What the feeds and sources tell the user while the server runs, on standard error.
#include <QString>

// "tickwell-quoted: TEXT" on standard error, at once.
void sayOnStandardError(const QString& text);
// "1 symbol", "12 symbols".
QString symbolCount(qsizetype count);
