#pragma once
// Portfolio files as the editor reads and writes them.
#include <QString>
#include <QStringList>

// The lines of the portfolio at path for the editor (UTF-8, or Latin-1 for a file written
// before); false with the system's reason in why when it cannot be opened.
bool ReadPortfolioLines(const QString& path, QStringList& lines, QString& why);

// Writes every line and a newline beside the portfolio, and puts the result in its place only
// when all of it was written: a failed save leaves the old file whole. Returns an empty text,
// or the system's reason.
QString WritePortfolioLines(const QString& path, const QStringList& lines);
