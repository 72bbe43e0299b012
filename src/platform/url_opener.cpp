#include "platform/url_opener.h"

#include <QDesktopServices>
#include <QUrl>

namespace {
bool testMode = false;
QStringList openedAddresses;
} // namespace

void openUrl(const QString& address) {
    if (testMode) {
        openedAddresses.append(address);
        return;
    }
    QDesktopServices::openUrl(QUrl(address, QUrl::TolerantMode));
}

namespace UrlOpenerSeam {
void recordInTests() {
    testMode = true;
}
QStringList& opened() {
    return openedAddresses;
}
} // namespace UrlOpenerSeam
