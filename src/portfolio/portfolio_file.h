#pragma once
// Portfolio files as the editor reads and writes them.
#include <QString>
#include <QStringList>

// The lines of the portfolio at path for the editor (UTF-8, or Latin-1 for a file written
// before); false with the system's reason in why when it cannot be opened.
bool readPortfolioLines(const QString& path, QStringList& lines, QString* why);

// Writes every line and a newline beside the portfolio, and puts the result in its place only
// when all of it was written: a failed save leaves the old file whole. False with the system's
// reason in why otherwise.
bool writePortfolioLines(const QString& path, const QStringList& lines, QString* why);
