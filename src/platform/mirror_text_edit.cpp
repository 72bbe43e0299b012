#include "platform/mirror_text_edit.h"

#include <QTextBlock>
#include <QTextCursor>
#include <utility>

MirrorTextEdit::MirrorTextEdit(QWidget* parent) : QTextEdit(parent) {
    setAcceptRichText(false);
    // Tab moves the focus on, as in every other control; a portfolio never holds a tab.
    setTabChangesFocus(true);
    setLineWrapMode(QTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

namespace {
void insertLine(QTextCursor& cursor, const QString& text, const QColor& colour) {
    QTextCharFormat format;
    format.setForeground(colour);
    if (!cursor.document()->isEmpty())
        cursor.insertBlock();
    cursor.insertText(text, format);
}
} // namespace

void MirrorTextEdit::addLine(const QString& text, const QColor& colour) {
    takePending();
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    insertLine(cursor, text, colour);
}

void MirrorTextEdit::appendLines(const QList<Line>& lines) {
    pending_ << lines;
}

void MirrorTextEdit::takePending() const {
    if (pending_.isEmpty())
        return;
    const QList<Line> lines = std::exchange(pending_, {});
    auto* self = const_cast<MirrorTextEdit*>(this);
    self->setSelStart(250000);
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    for (const Line& line : lines)
        insertLine(cursor, line.text, line.colour);
    cursor.endEditBlock();
}

void MirrorTextEdit::clear() {
    pending_.clear();
    QTextEdit::clear();
}

void MirrorTextEdit::showEvent(QShowEvent* event) {
    takePending();
    QTextEdit::showEvent(event);
}

void MirrorTextEdit::setSelStart(int position) {
    takePending();
    QTextCursor cursor = textCursor();
    const int end = document()->characterCount() - 1;
    cursor.setPosition(std::clamp(position, 0, std::max(0, end)));
    setTextCursor(cursor);
}

int MirrorTextEdit::selStart() const {
    takePending();
    return textCursor().selectionStart();
}

void MirrorTextEdit::selectLineStart(int line, int count) {
    takePending();
    const QTextBlock block = document()->findBlockByNumber(line);
    if (!block.isValid())
        return;
    QTextCursor cursor(block);
    cursor.setPosition(block.position() + std::min(count, block.length() - 1), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
    ensureCursorVisible();
}

QStringList MirrorTextEdit::lines() const {
    takePending();
    QStringList lines;
    if (document()->isEmpty())
        return lines;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next())
        lines << block.text();
    return lines;
}

QColor MirrorTextEdit::lineColor(int line) const {
    takePending();
    const QTextBlock block = document()->findBlockByNumber(line);
    if (!block.isValid())
        return QColor();
    const auto it = block.begin();
    if (it.atEnd())
        return block.charFormat().foreground().color();
    return it.fragment().charFormat().foreground().color();
}
