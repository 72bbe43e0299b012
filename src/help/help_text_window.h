#pragma once
// A help window holding one read-only text from the Help menu's table, laid out at its design
// resolution and scaled to the screen's when created.
#include "help/help_window.h"

class QTextEdit;
struct HelpText;

class HelpTextWindow : public HelpWindow {
    Q_OBJECT
public:
    explicit HelpTextWindow(const HelpText& text, QWidget* parent = nullptr);

    // Puts the caret at the top of the text; the Help menu does so each time it shows "Add/Remove Symbols".
    void caretToTop();

private:
    // Selects the whole text, gives it 8-point type, puts the caret at character 1000 (the end of a
    // shorter text, leaving nothing selected) and makes the text read-only.
    void setUpText();

    QTextEdit* text_;
};
