#pragma once
// The help text "Automatic Sort Options" of the Help menu's "Automatic Sort Options".
#include "help/help_text_window.h"

class THelpAutoSort : public THelpTextWindow {
    Q_OBJECT
public:
    explicit THelpAutoSort(QWidget* parent = nullptr);

    QTextEdit* RichEditAutoSort;
};

// The one instance, made at start-up.
extern THelpAutoSort* HelpAutoSort;
