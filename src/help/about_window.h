#pragma once
// The About window of the Help menu's "About Tickwell": name, version and a note on the stock data.
// It keeps its designed size at every screen resolution.
#include "help/help_window.h"

class QLabel;

class AboutWindow : public HelpWindow {
    Q_OBJECT
public:
    explicit AboutWindow(QWidget* parent = nullptr);

protected:
    void changeEvent(QEvent* event) override;

private:
    // Navy on a light window; on a dark one a blue light enough to read.
    void colourTexts();
    // Gives the texts their type sizes (18 point bold, 10 and 8 point).
    void setTypeSizes();

    QLabel* titleText_;
    QLabel* versionText_;
    QLabel* noteText_;
};
