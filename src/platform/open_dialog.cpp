#include "platform/open_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

#include "platform/dialog_owner.h"
#include "platform/dialog_return.h"

namespace {
bool testMode = false;
QList<std::optional<QString>> answers;
int runCount = 0;
QString offered;
} // namespace

OpenDialog::OpenDialog(const QString& name) : name_(name) {}

QString OpenDialog::qtFilter(const QString& filter) {
    const QStringList parts = filter.split('|');
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        entries << parts[i] + " (" + QString(parts[i + 1]).replace(';', ' ') + ")";
    return entries.join(";;");
}

bool OpenDialog::exec(const QString& moreFilters) {
    ++runCount;
    const QStringList filters = qtFilter(moreFilters.isEmpty() ? filter_ : filter_ + '|' + moreFilters).split(";;");
    offered = filters.join(";;");
    std::optional<QString> chosen;
    if (testMode) {
        if (!answers.isEmpty())
            chosen = answers.takeFirst();
    } else {
        QString selected = filters.value(filterIndex_);
        const QString start = fileName_.isEmpty() ? QDir::currentPath() : fileName_;
        const DialogReturn back;
        const QString path =
            QFileDialog::getOpenFileName(dialogOwner(), QString(), start, filters.join(";;"), &selected);
        if (!path.isEmpty()) {
            chosen = path;
            filterIndex_ = std::max<qsizetype>(0, filters.indexOf(selected));
        }
    }
    if (!chosen)
        return false;
    fileName_ = QFileInfo(*chosen).absoluteFilePath();
    return true;
}

namespace OpenDialogSeam {
void answerInTests() {
    testMode = true;
}
void queueAnswer(std::optional<QString> path) {
    answers.append(std::move(path));
}
int runs() {
    return runCount;
}
QString lastFilters() {
    return offered;
}
void clear() {
    answers.clear();
    runCount = 0;
}
} // namespace OpenDialogSeam
