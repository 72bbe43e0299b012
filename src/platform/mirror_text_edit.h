#pragma once
// The rich-text box: lines with a text colour each, used for the hidden mirrors of the
// quote grids and for the portfolio editor.
#include <QColor>
#include <QTextEdit>

class MirrorTextEdit : public QTextEdit {
public:
    explicit MirrorTextEdit(QWidget* parent = nullptr);

    struct Line {
        QString text;
        QColor colour;
    };
    // Adds text as a new last line in colour.
    void addLine(const QString& text, const QColor& colour = Qt::black);
    // The loaders' append: the caret to the end of the text (position 250000), then every line
    // added in one edit, so that the text is laid out once; the caret ends after the last line.
    void appendLines(const QList<Line>& lines);
    // Caret to a character position (clamped to the text).
    void setSelStart(int position);
    int selStart() const;
    // Scrolls to line index and selects its first count characters.
    void selectLineStart(int line, int count);
    QStringList lines() const;
    // The colour of line index, as drawn.
    QColor lineColor(int line) const;
};
