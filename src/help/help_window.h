#pragma once
// Base of the Help menu's windows: a top-level window of fixed client size with a minimise button
// but no maximise button, centred on the screen whenever it is shown, hidden (not destroyed) when
// closed, with the bevel line along the top of its client area. A dialog, so that screen
// readers announce it as a window of its own.
#include <QDialog>

class TopLineBevel;

class HelpWindow : public QDialog {
    Q_OBJECT
public:
protected:
    HelpWindow(const QString& caption, const QSize& clientSize, QWidget* parent);

    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void centreOnScreen();
    // The window became the active one: a minimised window is brought to the front.
    void activated();

protected:
    // The bevel line along the top of the client area.
    TopLineBevel* bevel() const { return bevel_; }

private:
    TopLineBevel* bevel_;
};
