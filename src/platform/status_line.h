#pragma once
// A status bar in simple-text mode: one text across the whole bar, visible once the
// bar has been switched to simple mode.
#include <QStatusBar>

class StatusAnnouncer;

class StatusLine : public QStatusBar {
public:
    explicit StatusLine(QWidget* parent = nullptr);
    void setSimplePanel(bool on);
    bool simplePanel() const { return simple_; }
    void setSimpleText(const QString& text);
    QString simpleText() const { return text_; }
    // Has a screen reader speak the text, wherever the focus is; what shows stays as it is.
    void announce(const QString& text);

private:
    bool simple_ = false;
    QString text_;
    StatusAnnouncer* announcer_;
};
