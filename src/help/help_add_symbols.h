#pragma once
// The help text "Add/Remove Symbols" of the Help menu's "Add/Delete Stock Symbols".
#include "help/help_text_window.h"

class THelpAddSym : public THelpTextWindow {
    Q_OBJECT
public:
    explicit THelpAddSym(QWidget* parent = nullptr);

    // Puts the caret at the top of the text; the Help menu does so each time it shows the window.
    void caretToTop();

    QTextEdit* RichEditAddSym;
};

// The one instance, made at start-up.
extern THelpAddSym* HelpAddSym;
