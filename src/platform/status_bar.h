#pragma once
// A status bar in simple-text mode: one text across the whole bar, visible once the
// bar has been switched to simple mode.
#include <QStatusBar>

class TStatusBar : public QStatusBar {
public:
    explicit TStatusBar(QWidget* parent = nullptr);
    void setSimplePanel(bool on);
    bool SimplePanel() const { return simple_; }
    void setSimpleText(const QString& text);
    QString SimpleText() const { return text_; }

private:
    bool simple_ = false;
    QString text_;
};
