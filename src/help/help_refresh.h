#pragma once
// The help text "Automatic Refresh" of the Help menu's "Automatic Refresh Feature".
#include "help/help_text_window.h"

class THelpRefresh : public THelpTextWindow {
    Q_OBJECT
public:
    explicit THelpRefresh(QWidget* parent = nullptr);

    QTextEdit* RichEdit1;
};

// The one instance, made at start-up.
extern THelpRefresh* HelpRefresh;
