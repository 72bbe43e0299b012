#pragma once
// The rich-text box: lines with a text colour each, used for the hidden mirrors of the
// quote grids and for the portfolio editor.
#include <QColor>
#include <QTextEdit>

class TRichEdit : public QTextEdit {
public:
    explicit TRichEdit(QWidget* parent = nullptr);

    // Adds text as a new last line in the colour of the current selection attributes.
    void AddLine(const QString& text);
    // The loaders' append: the selection to the end of the text (position 250000), its colour
    // set, and the line added.
    void AppendAtEnd(const QString& text, const QColor& colour);
    // The colour new text takes (the selection's attributes).
    void setSelColor(const QColor& colour) { selColor_ = colour; }
    // Caret to a character position (clamped to the text).
    void setSelStart(int position);
    int SelStart() const;
    // Scrolls to line index and selects its first count characters.
    void selectLineStart(int line, int count);
    QStringList Lines() const;
    // The colour of line index, as drawn.
    QColor lineColor(int line) const;

private:
    QColor selColor_ = Qt::black;
};
