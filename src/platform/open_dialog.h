#pragma once
// The file-open dialog component: a filter in the "Text|*.txt;*.TXT|All|*" form, the file
// last chosen (the next run starts there) and the filter entry last used.
// Tests answer it without a modal loop.
#include <QList>
#include <QString>
#include <optional>

class TOpenDialog {
public:
    explicit TOpenDialog(const QString& name);
    QString objectName() const { return name_; }
    // Upper-case names count as text files too; "All" shows files without an extension.
    QString Filter = "Text File|*.txt;*.TXT|All|*";
    QString FileName; // full path of the file last chosen
    int FilterIndex = 0;

    // Runs the dialog; true and FileName (absolute) set when a file was chosen. The process's
    // current folder never changes: each caller keeps the folder it needs.
    bool Execute();

    // "Text File|*.txt;*.TXT|All|*" as Qt's "Text File (*.txt *.TXT);;All (*)".
    static QString qtFilter(const QString& filter);

private:
    QString name_;
};

namespace OpenDialogSeam {
// From now on dialogs take their answers from the queue: a path, or nullopt for Cancel
// (Cancel when the queue is empty).
void answerInTests();
void queueAnswer(std::optional<QString> path);
int runs();
void clear();
} // namespace OpenDialogSeam
