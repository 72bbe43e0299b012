#include "load/core/portfolio_folder.h"

#include <QDir>
#include <QFileInfo>

void PortfolioFolder::choose(const QString& portfolioPath) {
    folder_ = QFileInfo(portfolioPath).absolutePath();
}

QString PortfolioFolder::pathOf(const QString& name) const {
    // The program never changes its current folder, so it is still the start folder.
    const QDir folder(folder_.isEmpty() ? QDir::currentPath() : folder_);
    return QDir::cleanPath(folder.absoluteFilePath(name));
}
