#include "load/tab_load_view.h"

#include <QLineEdit>
#include <QPushButton>
#include <utility>

#include "load/auto_refresh.h"
#include "load/core/load_alerts.h"
#include "platform/core/own_copy.h"
#include "platform/message_box.h"
#include "platform/mirror_text_edit.h"
#include "platform/quote_grid.h"
#include "platform/status_line.h"

void TabLoadView::setLoadControls(const Controls& controls) {
    controls_ = controls;
    alertSender_ = AlertSender(controls.status);
    // No one edits a mirror: an undo history would only hold a second copy of every load's lines.
    controls_.mirror->setUndoRedoEnabled(false);
}

void TabLoadView::loadStarting() {
    reached_ = 0;
    loadValues_.clear();
    controls_.button->setEnabled(false);
    controls_.mirror->clear();
}

void TabLoadView::portfolioUnreadable(const QString& why) {
    messageBox("File in use by another application.\n" + why, "Alter");
    controls_.button->setEnabled(true);
}

void TabLoadView::portfolioOpened() {
    // Only while the user sees the box: keys must never go into a tab left behind.
    if (controls_.portfolio->isVisible())
        controls_.portfolio->setFocus();
}

void TabLoadView::showStatus(const QString& text) {
    controls_.status->setSimpleText(text);
    if (loading_ && text.startsWith("Getting quotes"))
        tellProgress(text);
}

void TabLoadView::tellProgress(const QString& text) {
    constexpr qint64 quietMs = 5000;
    const qint64 now = loadClock_.elapsed();
    if (now < quietMs || (progressToldMs_ > 0 && now - progressToldMs_ < quietMs))
        return;
    progressToldMs_ = now;
    controls_.status->announce(text);
}

void TabLoadView::connectionLost(const QString& why) {
    // No completion: the rows parsed so far stay, the counts stay as they were. The rows this
    // load did not reach still hold the values of an earlier one: they are marked, and the
    // status says how many, so that no one takes them for this load's.
    shownEnd_ = std::max(shownEnd_, reached_);
    controls_.grid->setStaleRows(reached_, shownEnd_);
    QString text = "Connection lost...Reload quotes (" + why;
    if (const int stale = controls_.grid->staleRowCount(); stale == 1)
        text += "; 1 row is from the load before";
    else if (stale > 1)
        text += QString("; %1 rows are from the load before").arg(stale);
    showStatus(text + ")");
    controls_.status->announce(text + ")");
    enableControls();
}

void TabLoadView::idle() {
    loading_ = false;
}

bool TabLoadView::claimLoad(const QString& portfolioPath) {
    if (loading_)
        return false;
    loading_ = true;
    loadPortfolio_ = portfolioPath;
    byTimer_ = refresh_ && refresh_->ticking();
    loadClock_.start();
    progressToldMs_ = 0;
    return true;
}

QString TabLoadView::announceAlerts(const QString& doneText) {
    const AlertCheck check = checkLoadAlerts(loadPortfolio_, controls_.alertsTab, std::exchange(loadValues_, {}));
    const QString shown = alertSender_.announce(check, doneText);
    // The user waits for the end of a load asked for; of a refresh only its alerts are news.
    if (!byTimer_) {
        controls_.status->announce(shown);
    } else if (!check.fired.isEmpty()) {
        QStringList alerts;
        for (const FiredAlert& alert : check.fired)
            alerts << alert.text();
        controls_.status->announce(alerts.join("; "));
    }
    return shown;
}

void TabLoadView::allRowsFresh() {
    shownEnd_ = reached_;
    controls_.grid->setStaleRows(0, 0);
}

void TabLoadView::forgetShownRows() {
    shownEnd_ = 0;
    controls_.grid->setStaleRows(0, 0);
}

void TabLoadView::enableControls() {
    controls_.mirror->setEnabled(true);
    controls_.button->setEnabled(true);
}

void TabLoadView::showRows(const ParsedPage& page, int first, const std::function<void(const ShownRow&)>& storeRow) {
    const int count = int(page.rows.size());
    if (count == 0)
        return;
    QuoteGrid* grid = controls_.grid;
    grid->setRowCount(std::max(grid->rowCount() + count, first + count));
    QList<QStringList> cells;
    QList<MirrorTextEdit::Line> lines;
    for (const ShownRow& row : page.rows) {
        storeRow(row);
        loadValues_ << ownCopy(row.values);
        cells << ownCopy(row.cells);
        lines << MirrorTextEdit::Line{ownCopy(row.line), mirrorColour(row.change)};
    }
    controls_.mirror->appendLines(lines);
    grid->setCells(first, cells);
    // A row written again is this load's, whatever the load before left in it.
    reached_ = first + count;
    if (grid->staleRowCount() > 0)
        grid->setStaleRows(reached_, shownEnd_);
    grid->followRow(first + count);
}
