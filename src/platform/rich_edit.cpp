#include "platform/rich_edit.h"

#include <QTextBlock>
#include <QTextCursor>

TRichEdit::TRichEdit(QWidget* parent) : QTextEdit(parent) {
    setAcceptRichText(false);
    // Tab moves the focus on, as in every other control; a portfolio never holds a tab.
    setTabChangesFocus(true);
    setLineWrapMode(QTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

namespace {
void addLine(QTextCursor& cursor, const QString& text, const QColor& colour) {
    QTextCharFormat format;
    format.setForeground(colour);
    if (!cursor.document()->isEmpty())
        cursor.insertBlock();
    cursor.insertText(text, format);
}
} // namespace

void TRichEdit::AddLine(const QString& text, const QColor& colour) {
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    addLine(cursor, text, colour);
}

void TRichEdit::AppendLines(const QList<Line>& lines) {
    setSelStart(250000);
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    for (const Line& line : lines)
        addLine(cursor, line.text, line.colour);
    cursor.endEditBlock();
}

void TRichEdit::setSelStart(int position) {
    QTextCursor cursor = textCursor();
    const int end = document()->characterCount() - 1;
    cursor.setPosition(std::clamp(position, 0, std::max(0, end)));
    setTextCursor(cursor);
}

int TRichEdit::SelStart() const {
    return textCursor().selectionStart();
}

void TRichEdit::selectLineStart(int line, int count) {
    const QTextBlock block = document()->findBlockByNumber(line);
    if (!block.isValid())
        return;
    QTextCursor cursor(block);
    cursor.setPosition(block.position() + std::min(count, block.length() - 1), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
    ensureCursorVisible();
}

QStringList TRichEdit::Lines() const {
    QStringList lines;
    if (document()->isEmpty())
        return lines;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next())
        lines << block.text();
    return lines;
}

QColor TRichEdit::lineColor(int line) const {
    const QTextBlock block = document()->findBlockByNumber(line);
    if (!block.isValid())
        return QColor();
    const auto it = block.begin();
    if (it.atEnd())
        return block.charFormat().foreground().color();
    return it.fragment().charFormat().foreground().color();
}
