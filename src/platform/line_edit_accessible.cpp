#include "platform/line_edit_accessible.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QTextBoundaryFinder>
#include <QTextLayout>
#include <QValidator>

namespace {
QAccessibleInterface* lineEditFactory(const QString& className, QObject* object) {
    // A spin box reads its own line edit, as Qt leaves it.
    if (className == QLatin1String("QLineEdit") && object->objectName() != QLatin1String("qt_spinbox_lineedit"))
        if (auto* edit = qobject_cast<QLineEdit*>(object))
            return new LineEditAccessible(edit);
    return nullptr;
}

bool normalEcho(const QLineEdit* edit) {
    return edit->echoMode() == QLineEdit::Normal;
}
} // namespace

LineEditAccessible::LineEditAccessible(QLineEdit* edit) : QAccessibleWidget(edit, QAccessible::EditableText) {
    addControllingSignal(QLatin1String("textChanged(const QString&)"));
    addControllingSignal(QLatin1String("returnPressed()"));
}

void LineEditAccessible::install() {
    static const bool installed = (QAccessible::installFactory(lineEditFactory), true);
    Q_UNUSED(installed);
}

QString LineEditAccessible::itemAtOffset(const QAccessibleTextInterface& text, int offset,
                                         QAccessible::TextBoundaryType boundaryType, int* startOffset, int* endOffset) {
    const bool word = boundaryType == QAccessible::WordBoundary;
    if (word || boundaryType == QAccessible::SentenceBoundary) {
        // Qt starts from the item boundary at or before the offset and looks for the next one
        // while it is short of the end: from a boundary at the end itself it never gets there.
        const QString all = text.text(0, text.characterCount());
        if (!all.isEmpty() && (offset == all.size() || offset == -1)) {
            QTextBoundaryFinder finder(word ? QTextBoundaryFinder::Word : QTextBoundaryFinder::Sentence, all);
            finder.setPosition(int(all.size()));
            if (finder.boundaryReasons() & (QTextBoundaryFinder::StartOfItem | QTextBoundaryFinder::EndOfItem)) {
                *startOffset = *endOffset = int(all.size());
                return {};
            }
        }
    }
    return text.QAccessibleTextInterface::textAtOffset(offset, boundaryType, startOffset, endOffset);
}

QLineEdit* LineEditAccessible::edit() const {
    return static_cast<QLineEdit*>(widget());
}

void* LineEditAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    if (type == QAccessible::EditableTextInterface)
        return static_cast<QAccessibleEditableTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString LineEditAccessible::text(QAccessible::Text t) const {
    QString str;
    if (t == QAccessible::Value && edit()->echoMode() != QLineEdit::NoEcho)
        str = normalEcho(edit()) ? edit()->text() : QString(edit()->text().size(), QLatin1Char('*'));
    if (str.isEmpty())
        str = QAccessibleWidget::text(t);
    if (str.isEmpty() && t == QAccessible::Description)
        str = edit()->placeholderText();
    return str;
}

void LineEditAccessible::setText(QAccessible::Text t, const QString& text) {
    if (t != QAccessible::Value) {
        QAccessibleWidget::setText(t, text);
        return;
    }
    QString newText = text;
    int pos = 0;
    if (edit()->validator() && edit()->validator()->validate(newText, pos) != QValidator::Acceptable)
        return;
    edit()->setText(newText);
}

QAccessible::State LineEditAccessible::state() const {
    QAccessible::State s = QAccessibleWidget::state();
    s.editable = true;
    s.readOnly = edit()->isReadOnly();
    if (!normalEcho(edit()))
        s.passwordEdit = true;
    s.selectableText = true;
    return s;
}

void LineEditAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const {
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0)
        return;
    *startOffset = edit()->selectionStart();
    *endOffset = *startOffset + int(edit()->selectedText().size());
}

int LineEditAccessible::selectionCount() const {
    return edit()->hasSelectedText() ? 1 : 0;
}

void LineEditAccessible::addSelection(int startOffset, int endOffset) {
    setSelection(0, startOffset, endOffset);
}

void LineEditAccessible::removeSelection(int selectionIndex) {
    if (selectionIndex == 0)
        edit()->deselect();
}

void LineEditAccessible::setSelection(int selectionIndex, int startOffset, int endOffset) {
    if (selectionIndex == 0)
        edit()->setSelection(startOffset, endOffset - startOffset);
}

int LineEditAccessible::cursorPosition() const {
    return edit()->cursorPosition();
}

void LineEditAccessible::setCursorPosition(int position) {
    edit()->setCursorPosition(position);
}

QString LineEditAccessible::text(int startOffset, int endOffset) const {
    if (startOffset > endOffset || !normalEcho(edit()))
        return {};
    return edit()->text().mid(startOffset, endOffset - startOffset);
}

QString LineEditAccessible::textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                                             int* endOffset) const {
    if (!normalEcho(edit())) {
        *startOffset = *endOffset = -1;
        return {};
    }
    if (offset == -2)
        offset = cursorPosition();
    return QAccessibleTextInterface::textBeforeOffset(offset, boundaryType, startOffset, endOffset);
}

QString LineEditAccessible::textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                                            int* endOffset) const {
    if (!normalEcho(edit())) {
        *startOffset = *endOffset = -1;
        return {};
    }
    if (offset == -2)
        offset = cursorPosition();
    return QAccessibleTextInterface::textAfterOffset(offset, boundaryType, startOffset, endOffset);
}

QString LineEditAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                                         int* endOffset) const {
    if (!normalEcho(edit())) {
        *startOffset = *endOffset = -1;
        return {};
    }
    if (offset == -2)
        offset = cursorPosition();
    return itemAtOffset(*this, offset, boundaryType, startOffset, endOffset);
}

int LineEditAccessible::characterCount() const {
    return int(edit()->text().size());
}

QRect LineEditAccessible::characterRect(int offset) const {
    const QString ch = text(offset, offset + 1);
    if (ch.isEmpty())
        return {};
    // Where the line edit lays out its shown text: one line, spaces at its end counted.
    QTextLayout layout(edit()->displayText(), edit()->font());
    QTextOption option = layout.textOption();
    option.setFlags(QTextOption::IncludeTrailingSpaces);
    layout.setTextOption(option);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    const QFontMetrics metrics(edit()->font());
    QRect r(int(line.cursorToX(offset)), edit()->textMargins().top(), metrics.horizontalAdvance(ch), metrics.height());
    r.moveTo(edit()->mapToGlobal(r.topLeft()));
    return r;
}

int LineEditAccessible::offsetAtPoint(const QPoint& point) const {
    return edit()->cursorPositionAt(edit()->mapFromGlobal(point));
}

void LineEditAccessible::scrollToSubstring(int startIndex, int endIndex) {
    edit()->setCursorPosition(endIndex);
    edit()->setCursorPosition(startIndex);
}

QString LineEditAccessible::attributes(int offset, int* startOffset, int* endOffset) const {
    // A line edit has no text attributes.
    *startOffset = *endOffset = offset;
    return {};
}

void LineEditAccessible::deleteText(int startOffset, int endOffset) {
    edit()->setText(edit()->text().remove(startOffset, endOffset - startOffset));
}

void LineEditAccessible::insertText(int offset, const QString& text) {
    edit()->setText(edit()->text().insert(offset, text));
}

void LineEditAccessible::replaceText(int startOffset, int endOffset, const QString& text) {
    edit()->setText(edit()->text().replace(startOffset, endOffset - startOffset, text));
}
