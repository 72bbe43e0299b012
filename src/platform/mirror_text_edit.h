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
    // added in one edit; the caret ends after the last line. The lines reach the document when
    // the mirror is next read, searched or shown: laying each page out as it comes cost the
    // window thread more than all the rest of a load, for a mirror that sits beyond the tab's edge.
    void appendLines(const QList<Line>& lines);
    // Empties the text, lines still to come included.
    void clear();
    // Caret to a character position (clamped to the text).
    void setSelStart(int position);
    int selStart() const;
    // Scrolls to line index and selects its first count characters.
    void selectLineStart(int line, int count);
    QStringList lines() const;
    // The colour of line index, as drawn.
    QColor lineColor(int line) const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Puts the lines appended since into the document.
    void takePending() const;

    mutable QList<Line> pending_;
};
