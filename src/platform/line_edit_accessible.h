#pragma once
// A line edit as a screen reader reads it: what Qt's own interface for QLineEdit answers, but for
// the word or sentence at the very end of the text. There Qt (6.4) steps past the text's last
// boundary and never returns, so a reader asking for the word at the end of a box froze the
// window. Qt keeps its interface to itself, so this one answers every question as it does.
#include <QAccessibleWidget>

class QLineEdit;

class LineEditAccessible : public QAccessibleWidget,
                           public QAccessibleTextInterface,
                           public QAccessibleEditableTextInterface {
public:
    explicit LineEditAccessible(QLineEdit* edit);
    // Installed once, after the application object: every QLineEdit is read through this
    // interface, a subclass too unless it has an interface of its own.
    static void install();
    // The item of the boundary's kind at the offset, as QAccessibleTextInterface gives it,
    // the empty item at the end where Qt would never return.
    static QString itemAtOffset(const QAccessibleTextInterface& text, int offset,
                                QAccessible::TextBoundaryType boundaryType, int* startOffset, int* endOffset);

    void* interface_cast(QAccessible::InterfaceType type) override;
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text t, const QString& text) override;
    QAccessible::State state() const override;

    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                             int* endOffset) const override;
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                            int* endOffset) const override;
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                         int* endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

    void deleteText(int startOffset, int endOffset) override;
    void insertText(int offset, const QString& text) override;
    void replaceText(int startOffset, int endOffset, const QString& text) override;

private:
    QLineEdit* edit() const;
};
