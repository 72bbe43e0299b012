#pragma once
// What both quote tabs do for their loads alike: their "Get Quotes" button, hidden mirror,
// Portfolio box and status bar, and the flag that keeps a second load from starting. Each tab
// implements the rest of the view: what its rows do and how its load finishes.
#include "quotes/quote_load.h"

class QLineEdit;
class QPushButton;
class TRichEdit;
class TStatusBar;

class TabLoadView : public QuoteLoadView {
public:
    void loadStarting() override;
    void portfolioUnreadable(const QString& why) override;
    void portfolioOpened() override;
    void showStatus(const QString& text) override;
    void connectionLost(const QString& statusText) override;
    void idle() override;

    // True from "Get Quotes" (a click or a refresh tick) until the load has ended; while it is,
    // another "Get Quotes" starts nothing.
    bool loadFlagged() const { return loading_; }
    void setLoadFlagged(bool loading) { loading_ = loading; }

protected:
    struct Controls {
        QPushButton* button;
        TRichEdit* mirror;
        QLineEdit* portfolio;
        TStatusBar* status;
    };
    // The tab's controls, once it has made them.
    void setLoadControls(const Controls& controls) { controls_ = controls; }
    // Marks a load as started; false when one is running already.
    bool claimLoad();
    // The mirror and "Get Quotes" enabled again.
    void enableControls();

private:
    Controls controls_{};
    bool loading_ = false;
};
