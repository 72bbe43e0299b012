#include "platform/control_table.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <type_traits>

#include "platform/fonts.h"
#include "platform/mirror_text_edit.h"
#include "platform/quote_grid.h"
#include "platform/read_only_box.h"
#include "platform/status_line.h"

namespace {
// Labels size themselves to their text, from their designed left and top.
void autoSize(QLabel* label) {
    label->resize(std::max(label->width(), label->sizeHint().width()), label->height());
}

void setUp(QLabel* label, const ControlRow& row) {
    label->setText(row.caption);
    label->setWordWrap(false);
    autoSize(label);
    if (row.kind == ControlKind::Header) {
        label->setFont(pixelFont("MS Sans Serif", 12, true));
        autoSize(label);
    }
}

void setUp(QLineEdit* edit, const ControlRow& row) {
    edit->setText(row.caption);
    edit->setReadOnly(row.kind == ControlKind::ReadOnly);
}

void setUp(QPushButton* button, const ControlRow& row) {
    button->setText(row.caption);
    button->setAutoDefault(false);
}

void setUp(QCheckBox* box, const ControlRow& row) {
    box->setText(row.caption);
}

void setUp(QComboBox* box, const ControlRow& row) {
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    // A typed text stays a typed text: no completion to an item, and no silent match to an item
    // when the box loses the focus (a handler could not tell either from a choice).
    box->setCompleter(nullptr);
    QObject::disconnect(box->lineEdit(), &QLineEdit::editingFinished, nullptr, nullptr);
    box->setEditText(row.caption);
    // Its text is the choice once one is made; the name stays the text it shows before.
    box->setAccessibleName(row.caption);
}

void setUp(QFrame* frame, const ControlRow&) {
    frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
    frame->lower();
}

void setUp(QuoteGrid* grid, const ControlRow&) {
    grid->setColCount(7);
}

void setUp(MirrorTextEdit* edit, const ControlRow& row) {
    if (row.kind == ControlKind::Mirror) {
        // Kept off-screen for the program's own use: no typing, and nothing to undo.
        edit->setReadOnly(true);
        edit->setUndoRedoEnabled(false);
        edit->setFocusPolicy(Qt::NoFocus);
    }
    if (row.caption)
        edit->setPlainText(row.caption);
}

void setUp(StatusLine*, const ControlRow&) {}
} // namespace

void buildControls(QWidget* parent, std::span<const ControlRow> rows) {
    for (const ControlRow& row : rows) {
        std::visit(
            [&](auto** member) {
                using Control = std::remove_pointer_t<std::remove_pointer_t<decltype(member)>>;
                Control* control;
                if constexpr (std::is_same_v<Control, QLineEdit>)
                    control = row.kind == ControlKind::ReadOnly ? new ReadOnlyBox(parent) : new QLineEdit(parent);
                else
                    control = new Control(parent);
                control->setObjectName(row.objectName);
                control->setGeometry(row.geometry);
                setUp(control, row);
                *member = control;
            },
            row.member);
    }
}

void nameAfter(QWidget* box, QWidget* label) {
    if (auto* text = qobject_cast<QLabel*>(label))
        text->setBuddy(box);
    else if (auto* button = qobject_cast<QPushButton*>(label))
        box->setAccessibleName(button->text());
}

void fillChoices(QComboBox* box, const QStringList& items) {
    const QString text = box->currentText();
    box->addItems(items);
    box->setCurrentIndex(-1); // empties the text
    box->setEditText(text);
}
