#include "help/help_text_window.h"

#include "help/help_texts.h"

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

HelpTextWindow::HelpTextWindow(const HelpText& design, QWidget* parent)
    : HelpWindow(design.caption, scaledSize(design.clientSize, screenPixelsPerInch(), design.pixelsPerInch), parent),
      text_(new QTextEdit(this)) {
    setObjectName(design.windowName);
    bevel()->setVisible(design.bevelVisible);
    text_->setObjectName(design.textName);
    text_->setGeometry(scaledRect(design.textRect, screenPixelsPerInch(), design.pixelsPerInch));
    // Lines wrap at the box's width, so no text hides behind a horizontal scroll bar at any size.
    text_->setLineWrapMode(QTextEdit::WidgetWidth);
    text_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    text_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    text_->setAcceptRichText(false);
    text_->setFont(helpTextFont());
    text_->setPlainText(design.lines.join('\n'));
    setUpText();
}

void HelpTextWindow::setUpText() {
    QTextCursor cursor(text_->document());
    cursor.select(QTextCursor::Document);
    QTextCharFormat size;
    size.setFontPointSize(helpTextPointSize);
    cursor.mergeCharFormat(size);

    const int end = text_->document()->characterCount() - 1;
    cursor.setPosition(std::min(createCaretPosition, end));
    text_->setTextCursor(cursor);
    text_->setReadOnly(true);
    // Read-only, but the user can still select and copy with mouse and keyboard.
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    text_->update();
}

void HelpTextWindow::caretToTop() {
    QTextCursor cursor = text_->textCursor();
    cursor.setPosition(0);
    text_->setTextCursor(cursor);
}
