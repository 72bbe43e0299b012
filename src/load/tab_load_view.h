#pragma once
// What both quote tabs do for their loads alike: their "Get Quotes" button, grid, hidden
// mirror, Portfolio box and status bar, how a page's rows show, and the flag that keeps a
// second load from starting. Each tab implements the rest of the view: what its table keeps of
// a row, the colour of its mirror lines and how its load finishes.
#include <QColor>
#include <QElapsedTimer>
#include <functional>

#include "alerts/alert_sender.h"
#include "load/core/quote_load.h"

class AutoRefresh;
class QLineEdit;
class QPushButton;
class MirrorTextEdit;
class StatusLine;
class QuoteGrid;

class TabLoadView : public QuoteLoadView {
public:
    void loadStarting() override;
    void portfolioUnreadable(const QString& why) override;
    void portfolioOpened() override;
    void showStatus(const QString& text) override;
    void connectionLost(const QString& why) override;
    void idle() override;

    // True from "Get Quotes" (a click or a refresh tick) until the load has ended; while it is,
    // another "Get Quotes" starts nothing.
    bool loadFlagged() const { return loading_; }
    void setLoadFlagged(bool loading) { loading_ = loading; }

protected:
    struct Controls {
        QPushButton* button;
        QuoteGrid* grid;
        MirrorTextEdit* mirror;
        QLineEdit* portfolio;
        StatusLine* status;
        QString alertsTab; // the name the tab's alert state goes by
    };
    // The tab's controls, once it has made them.
    void setLoadControls(const Controls& controls);
    // The tab's automatic refresh, whose loads are heard only when they fail or raise an alert.
    void setRefresh(const AutoRefresh* refresh) { refresh_ = refresh; }
    // Marks a load of the portfolio as started; false when one is running already.
    bool claimLoad(const QString& portfolioPath);
    // The price alerts beside the load's portfolio checked against its rows, each alert that
    // fired sent to the desktop. Returns the final status to show, with what the user should know
    // of the alerts file; an alert no notification service takes joins it there.
    QString announceAlerts(const QString& doneText);
    // The mirror and "Get Quotes" enabled again.
    void enableControls();
    // A load that ended normally: every row the grid shows is its own.
    void allRowsFresh();
    // The grid was emptied: no row shows a load's values any more.
    void forgetShownRows();
    // The colour of a row's mirror line, by its change.
    virtual QColor mirrorColour(float change) const = 0;
    // A page's rows at their own indexes in this load, from first (the rows the table holds so
    // far) on, never at the grid's current row, which a click or a search may have moved. Each
    // row is kept by storeRow; the grid grows by a row for each row, as it grows from an
    // earlier load's size, and is written once; the mirror takes the page in one edit; the
    // current row follows to after the last row.
    void showRows(const ParsedPage& page, int first, const std::function<void(const ShownRow&)>& storeRow);

private:
    // A running load's progress is heard after 5 s, then at most every 5 s.
    void tellProgress(const QString& text);

    Controls controls_{};
    const AutoRefresh* refresh_ = nullptr;
    bool byTimer_ = false;      // the running (or last) load was started by the refresh
    QElapsedTimer loadClock_;   // since the running load was started
    qint64 progressToldMs_ = 0; // when its progress was last heard
    bool loading_ = false;
    QString loadPortfolio_;
    QList<QStringList> loadValues_; // the values of the rows the load has shown
    AlertSender alertSender_;
    int reached_ = 0;  // rows the running (or last) load has shown, from row 0
    int shownEnd_ = 0; // rows before this one hold values of some load
};
