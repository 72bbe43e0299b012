#pragma once
// The file-open dialog component: a filter in the "Text|*.txt;*.TXT|All|*" form, the file
// last chosen (the next run starts there) and the filter entry last used.
// Tests answer it without a modal loop.
#include <QList>
#include <QString>
#include <optional>

class OpenDialog {
public:
    explicit OpenDialog(const QString& name);
    QString objectName() const { return name_; }
    // In the "Text|*.txt;*.TXT|All|*" form.
    const QString& filter() const { return filter_; }
    // The full path of the file last chosen; empty before the first choice.
    const QString& fileName() const { return fileName_; }

    // Runs the dialog, with moreFilters (in the same form) after the dialog's own for this run
    // only; true and fileName() (absolute) set when a file was chosen. The process's current
    // folder never changes: each caller keeps the folder it needs.
    bool exec(const QString& moreFilters = QString());

    // "Text File|*.txt;*.TXT|All|*" as Qt's "Text File (*.txt *.TXT);;All (*)".
    static QString qtFilter(const QString& filter);

private:
    QString name_;
    // Upper-case names count as text files too; "All" shows files without an extension.
    QString filter_ = "Text File|*.txt;*.TXT|All|*";
    QString fileName_;
    int filterIndex_ = 0;
};

namespace OpenDialogSeam {
// From now on dialogs take their answers from the queue: a path, or nullopt for Cancel
// (Cancel when the queue is empty).
void answerInTests();
void queueAnswer(std::optional<QString> path);
int runs();
// The filters, in Qt's form, that the last run offered.
QString lastFilters();
void clear();
} // namespace OpenDialogSeam
