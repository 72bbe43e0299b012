#pragma once
// Opens an address with the desktop's default browser (no shell, no command line).
// Tests record the addresses instead.
#include <QStringList>

void openUrl(const QString& address);

namespace UrlOpenerSeam {
void recordInTests();
QStringList& opened();
} // namespace UrlOpenerSeam
