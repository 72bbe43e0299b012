#include "quotes/symbol_finder.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>

#include "platform/message_box.h"
#include "platform/mirror_text_edit.h"
#include "platform/quote_grid.h"

namespace {
// The C library's toupper on each character: a to z become A to Z, nothing else changes.
QString asciiUpper(QString text) {
    for (QChar& c : text)
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 'a' + 'A');
    return text;
}

// Row of the first symbol equal to the key, ignoring ASCII case; -1 when none. Symbols
// have at most 6 characters, so a longer key matches nothing.
int findSymbolRow(const QuoteRows& rows, const QString& key) {
    const QString upperKey = asciiUpper(key);
    if (upperKey.size() >= SymbolSlotSize)
        return -1;
    for (int j = 0; j < rows.count && j < QuoteTableCapacity; ++j) {
        const char* slot = rows.symbols[j];
        if (asciiUpper(QString::fromLatin1(slot, qstrnlen(slot, SymbolSlotSize))) == upperKey)
            return j;
    }
    return -1;
}

// Tab, Shift+Tab or a click: not a box, a menu or another window taking the focus.
bool movedByUser(Qt::FocusReason reason) {
    return reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::MouseFocusReason;
}
} // namespace

SymbolFinder::SymbolFinder(QObject* parent, QLineEdit* key, QPushButton* button, QuoteGrid* grid,
                           MirrorTextEdit* mirror, const QuoteRows& rows, std::function<bool()> loadRunning,
                           std::function<void()> tellRow)
    : QObject(parent), key_(key), button_(button), grid_(grid), mirror_(mirror), rows_(rows),
      loadRunning_(std::move(loadRunning)), tellRow_(std::move(tellRow)) {
    connect(button_, &QPushButton::clicked, this, [this] { find(); });
    key_->installEventFilter(this);
    button_->installEventFilter(this);
}

bool SymbolFinder::eventFilter(QObject* watched, QEvent* event) {
    if (watched == key_ && event->type() == QEvent::KeyPress)
        keyPressed(static_cast<QKeyEvent*>(event)->key());
    else if (watched == button_ && event->type() == QEvent::FocusOut && !searching_ &&
             movedByUser(static_cast<QFocusEvent*>(event)->reason()))
        buttonLeft();
    return QObject::eventFilter(watched, event);
}

void SymbolFinder::find() {
    if (loadRunning_()) {
        messageBox("Find symbol function is not available until all quotes have loaded", "Find Symbol");
        return;
    }
    mirror_->setSelStart(0);
    // Disabling the focused button hands the focus on; that is no move of the user's, so the
    // focus-out step does not run. A search that finds nothing gives the focus back.
    const bool hadFocus = button_->hasFocus();
    searching_ = true;
    button_->setEnabled(false);
    searching_ = false;
    const int row = findSymbolRow(rows_, key_->text());
    if (row >= 0) {
        mirror_->selectLineStart(row, 67);
        grid_->setCurrentRow(row);
        // The keyboard goes to the grid on the found row, never into the hidden mirror.
        grid_->setFocus(Qt::OtherFocusReason);
        tellRow_();
        grid_->repaintNow();
    } else {
        messageBox("Symbol Not Found!", "Alter");
    }
    button_->setEnabled(true);
    if (row < 0 && hadFocus)
        button_->setFocus();
    // Half a second's rest after each search: a burst of Enter presses searches at most twice a second.
    QThread::msleep(500);
}

void SymbolFinder::keyPressed(int key) {
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        find();
}

void SymbolFinder::buttonLeft() {
    grid_->setCurrentRow(0);
}
