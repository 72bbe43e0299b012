#include "platform/message_box.h"

#include <QApplication>
#include <QMessageBox>

#include "platform/dialog_owner.h"
#include "platform/dialog_return.h"

namespace {
bool testMode = false;
QList<MsgAnswer> answers;
QList<MessageBoxSeam::Shown> shownBoxes;
} // namespace

MsgAnswer messageBox(const QString& text, const QString& caption, MsgButtons buttons) {
    if (testMode) {
        shownBoxes.append({text, caption, buttons});
        return answers.isEmpty() ? MsgAnswer::Ok : answers.takeFirst();
    }
    const DialogReturn back;
    QMessageBox box(dialogOwner());
    box.setWindowTitle(caption);
    box.setText(text);
    switch (buttons) {
    case MsgButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
        break;
    case MsgButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    case MsgButtons::SaveDiscardCancel:
        box.setStandardButtons(QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Save);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Ok:
        return MsgAnswer::Ok;
    case QMessageBox::Save:
        return MsgAnswer::Save;
    case QMessageBox::Discard:
        return MsgAnswer::Discard;
    default:
        return MsgAnswer::Cancel;
    }
}

namespace MessageBoxSeam {
void answerInTests() {
    testMode = true;
}
void showRealBoxes() {
    testMode = false;
}
void queueAnswer(MsgAnswer answer) {
    answers.append(answer);
}
QList<Shown>& shown() {
    return shownBoxes;
}
void clear() {
    shownBoxes.clear();
    answers.clear();
}
} // namespace MessageBoxSeam
