#pragma once
// The application's modal message box: a text, a caption and OK, OK/Cancel or
// Save/Discard/Cancel. Cancel, or closing the box, answers Cancel. Tests answer it without a modal loop.
#include <QList>
#include <QString>

enum class MsgButtons { Ok, OkCancel, SaveDiscardCancel };
enum class MsgAnswer { Ok, Cancel, Save, Discard };

// Shows the box on the window thread (callers on a worker hand it over first).
MsgAnswer messageBox(const QString& text, const QString& caption, MsgButtons buttons = MsgButtons::Ok);

namespace MessageBoxSeam {
struct Shown {
    QString text;
    QString caption;
    MsgButtons buttons;
};
// From now on boxes are recorded and answered from the queue (OK when it is empty).
void answerInTests();
// From now on real boxes are shown again, for tests of what a box taking the focus does.
void showRealBoxes();
void queueAnswer(MsgAnswer answer);
QList<Shown>& shown();
void clear();
} // namespace MessageBoxSeam
