#include "help/help_text_window.h"

#include "help/top_line_bevel.h"
#include "platform/core/mul_div.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTextEdit>
#include <algorithm>

namespace {

constexpr int helpTextPointSize = 8;
constexpr int createCaretPosition = 1000;

int screenPixelsPerInch() {
    return qRound(QGuiApplication::primaryScreen()->logicalDotsPerInchY());
}

QFont helpTextFont() {
    QFont font("MS Sans Serif");
    font.setPointSize(helpTextPointSize);
    return font;
}

} // namespace

THelpTextWindow::THelpTextWindow(const Design& design, QWidget* parent)
    : THelpForm(design.caption, scaledSize(design.clientSize, screenPixelsPerInch(), design.pixelsPerInch), parent),
      m_text(new QTextEdit(this)) {
    Bevel1->setVisible(design.bevelVisible);
    m_text->setObjectName(design.textName);
    m_text->setGeometry(scaledRect(design.textRect, screenPixelsPerInch(), design.pixelsPerInch));
    // Lines wrap at the box's width, so no text hides behind a horizontal scroll bar at any size.
    m_text->setLineWrapMode(QTextEdit::WidgetWidth);
    m_text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_text->setAcceptRichText(false);
    m_text->setFont(helpTextFont());
    m_text->setPlainText(design.lines.join('\n'));
    FormCreate();
}

void THelpTextWindow::FormCreate() {
    QTextCursor cursor(m_text->document());
    cursor.select(QTextCursor::Document);
    QTextCharFormat size;
    size.setFontPointSize(helpTextPointSize);
    cursor.mergeCharFormat(size);

    const int end = m_text->document()->characterCount() - 1;
    cursor.setPosition(std::min(createCaretPosition, end));
    m_text->setTextCursor(cursor);
    m_text->setReadOnly(true);
    // Read-only, but the user can still select and copy with mouse and keyboard.
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_text->update();
}
