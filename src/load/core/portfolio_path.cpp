#include "load/core/portfolio_path.h"

#include <QDir>
#include <QFileInfo>

PortfolioPath::PortfolioPath(const QString& path)
    : folder_(QFileInfo(path).absolutePath()), name_(QFileInfo(path).fileName()) {}

QString PortfolioPath::pathOf(const QString& name) const {
    // The program never changes its current folder, so it is still the start folder.
    const QDir folder(folder_.isEmpty() ? QDir::currentPath() : folder_);
    return QDir::cleanPath(folder.absoluteFilePath(name));
}

PortfolioPath PortfolioPath::named(const QString& name) const {
    PortfolioPath other = *this;
    other.name_ = name;
    return other;
}
