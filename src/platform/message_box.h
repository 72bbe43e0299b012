#pragma once
// The application's modal message box: a text, a caption and OK or OK/Cancel.
// Cancel, or closing the box, answers Cancel. Tests answer it without a modal loop.
#include <QList>
#include <QString>

enum class MsgButtons { Ok, OkCancel };
enum class MsgAnswer { Ok, Cancel };

// Shows the box on the window thread (callers on a worker hand it over first).
MsgAnswer MessageBox(const QString& text, const QString& caption, MsgButtons buttons = MsgButtons::Ok);

namespace MessageBoxSeam {
struct Shown {
    QString text;
    QString caption;
    MsgButtons buttons;
};
// From now on boxes are recorded and answered from the queue (OK when it is empty).
void answerInTests();
void queueAnswer(MsgAnswer answer);
QList<Shown>& shown();
void clear();
} // namespace MessageBoxSeam
