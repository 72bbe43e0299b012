#include "platform/message_box.h"

#include <QApplication>
#include <QMessageBox>

namespace {
bool testMode = false;
QList<MsgAnswer> answers;
QList<MessageBoxSeam::Shown> shownBoxes;
} // namespace

MsgAnswer MessageBox(const QString& text, const QString& caption, MsgButtons buttons)
{
    if (testMode) {
        shownBoxes.append({text, caption, buttons});
        return answers.isEmpty() ? MsgAnswer::Ok : answers.takeFirst();
    }
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(caption);
    box.setText(text);
    box.setStandardButtons(buttons == MsgButtons::Ok ? QMessageBox::Ok : QMessageBox::Ok | QMessageBox::Cancel);
    box.setEscapeButton(buttons == MsgButtons::Ok ? QMessageBox::Ok : QMessageBox::Cancel);
    return box.exec() == QMessageBox::Ok ? MsgAnswer::Ok : MsgAnswer::Cancel;
}

namespace MessageBoxSeam {
void answerInTests()
{
    testMode = true;
}
void queueAnswer(MsgAnswer answer)
{
    answers.append(answer);
}
QList<Shown>& shown()
{
    return shownBoxes;
}
void clear()
{
    shownBoxes.clear();
    answers.clear();
}
} // namespace MessageBoxSeam
