#pragma once
// A status bar in simple-text mode: one text across the whole bar, visible once the
// bar has been switched to simple mode.
#include <QStatusBar>

class StatusLine : public QStatusBar {
public:
    explicit StatusLine(QWidget* parent = nullptr);
    void setSimplePanel(bool on);
    bool simplePanel() const { return simple_; }
    void setSimpleText(const QString& text);
    QString simpleText() const { return text_; }

private:
    bool simple_ = false;
    QString text_;
};
