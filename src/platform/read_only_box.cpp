#include "platform/read_only_box.h"

#include <QAccessibleWidget>
#include <QFocusEvent>

#include "platform/line_edit_accessible.h"

namespace {
class ReadOnlyBoxAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit ReadOnlyBoxAccessible(ReadOnlyBox* box) : QAccessibleWidget(box, QAccessible::EditableText) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Value ? box()->text() : QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = true;
        s.selectableText = true;
        return s;
    }

    void selection(int selectionIndex, int* startOffset, int* endOffset) const override {
        *startOffset = *endOffset = 0;
        if (selectionIndex == 0 && box()->hasSelectedText()) {
            *startOffset = box()->selectionStart();
            *endOffset = box()->selectionEnd();
        }
    }
    int selectionCount() const override { return box()->hasSelectedText() ? 1 : 0; }
    void addSelection(int startOffset, int endOffset) override { setSelection(0, startOffset, endOffset); }
    void removeSelection(int) override { box()->deselect(); }
    void setSelection(int, int startOffset, int endOffset) override {
        box()->setSelection(startOffset, endOffset - startOffset);
    }
    int cursorPosition() const override { return box()->cursorPosition(); }
    void setCursorPosition(int position) override { box()->setCursorPosition(position); }
    QString text(int startOffset, int endOffset) const override {
        return box()->text().mid(startOffset, endOffset - startOffset);
    }
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                         int* endOffset) const override {
        return LineEditAccessible::itemAtOffset(*this, offset, boundaryType, startOffset, endOffset);
    }
    int characterCount() const override { return int(box()->text().size()); }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* startOffset, int* endOffset) const override {
        *startOffset = 0;
        *endOffset = characterCount();
        return {};
    }

private:
    QLineEdit* box() const { return static_cast<QLineEdit*>(widget()); }
};

QAccessibleInterface* readOnlyBoxFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("ReadOnlyBox"))
        if (auto* box = qobject_cast<ReadOnlyBox*>(object))
            return new ReadOnlyBoxAccessible(box);
    return nullptr;
}
} // namespace

ReadOnlyBox::ReadOnlyBox(QWidget* parent) : QLineEdit(parent) {
    static const bool readable = (QAccessible::installFactory(readOnlyBoxFactory), true);
    Q_UNUSED(readable);
    setReadOnly(true);
}

void ReadOnlyBox::focusInEvent(QFocusEvent* event) {
    // As a focus from the program: a line edit selects its whole text when Tab brings the focus.
    QFocusEvent quiet(QEvent::FocusIn, Qt::OtherFocusReason);
    QLineEdit::focusInEvent(&quiet);
    event->accept();
}
