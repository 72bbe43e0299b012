#pragma once
// The part of a quote tab's load view that both tabs share: their "Get Quotes" button, hidden
// mirror, Portfolio box and status bar, and the flag that keeps a second load from starting.
#include "quotes/quote_load.h"

class QLineEdit;
class QPushButton;
class TRichEdit;
class TStatusBar;

class TabLoadView : public QuoteLoadView {
public:
    struct Controls {
        QPushButton* button;
        TRichEdit* mirror;
        QLineEdit* portfolio;
        TStatusBar* status;
        bool* loading;
    };
    explicit TabLoadView(const Controls& controls) : controls_(controls) {}

    void loadStarting() override;
    void portfolioUnreadable(const QString& why) override;
    void portfolioOpened() override;
    void showStatus(const QString& text) override;
    void connectionLost(const QString& statusText) override;
    void idle() override;

protected:
    // The mirror and "Get Quotes" enabled again.
    void enableControls();

    Controls controls_;
};
