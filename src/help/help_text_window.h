#pragma once
// A help window holding one read-only text, laid out at a design resolution and scaled to the
// screen's when created.
#include "help/help_form.h"

#include <QStringList>

class QTextEdit;

class THelpTextWindow : public THelpForm {
    Q_OBJECT
public:
    // Selects the whole text, gives it 8-point type, puts the caret at character 1000 (the end of a
    // shorter text, leaving nothing selected) and makes the text read-only.
    void FormCreate();

protected:
    struct Design {
        QString caption;
        QSize clientSize;
        int pixelsPerInch;
        QString textName;
        QRect textRect;
        QStringList lines;
        bool bevelVisible;
    };

    THelpTextWindow(const Design& design, QWidget* parent);

    QTextEdit* m_text;
};
