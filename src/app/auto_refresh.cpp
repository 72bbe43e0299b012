// Automatic refresh: each quote tab reloads itself at the interval chosen in its
// "Refresh Time" box while its "Automatic  Refresh Enabled" box is checked.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QTimer>

#include "app/main_window.h"
#include "load/refresh_choices.h"
#include "platform/timer_rules.h"
#include "portfolio/portfolios_tab.h"
#include "quotes/quotes_tab.h"
#include "realtime/real_time_tab.h"

namespace {
// The chosen item, or -1 when the box holds a typed text or nothing chosen. The box keeps
// its last item while the user types, so a text the user typed counts as typed even when it
// spells that item; choosing an item sets the text afresh, which clears the edit's flag.
int chosenIndex(const QComboBox* combo) {
    const int index = combo->currentIndex();
    const QLineEdit* edit = combo->lineEdit();
    if (index < 0 || (edit && edit->isModified()) || combo->itemText(index) != combo->currentText())
        return -1;
    return index;
}

// Drops the choice; with keepText a typed text stays in the box, otherwise it is emptied.
void forgetChoice(QComboBox* combo, bool keepText) {
    if (keepText && combo->currentIndex() < 0)
        return; // nothing chosen: leave the text being typed alone, caret and all
    QLineEdit* edit = combo->lineEdit();
    const QString text = combo->currentText();
    const int caret = edit->cursorPosition();
    const QSignalBlocker quiet(combo);
    combo->setCurrentIndex(-1); // empties the text
    if (keepText) {
        edit->setText(text);
        edit->setCursorPosition(caret);
        edit->setModified(true); // still the user's text
    }
}

// Arming from the check box, the same on both tabs.
void armFromCheckBox(QCheckBox* box, QComboBox* combo, QTimer* timer, const RefreshChoice* choices) {
    if (!box->isChecked())
        return; // the next tick stops the timer
    const int index = chosenIndex(combo);
    if (index < 0) {
        forgetChoice(combo, true);
        DisableTimer(timer);
        return;
    }
    SetTimerInterval(timer, choices[index].intervalMs);
    EnableTimer(timer);
}
} // namespace

void MainWindow::quotesRefreshClicked() {
    armFromCheckBox(quotesTab_->refreshBox(), quotesTab_->refreshTimeBox(), quotesRefreshTimer_, QuotesRefreshChoices);
}

void MainWindow::realTimeRefreshClicked() {
    armFromCheckBox(realTimeTab_->refreshBox(), realTimeTab_->refreshTimeBox(), realTimeRefreshTimer_,
                    RealTimeRefreshChoices);
}

void MainWindow::quotesRefreshTimeChanged() {
    QComboBox* box = quotesTab_->refreshTimeBox();
    const int index = chosenIndex(box);
    if (!quotesTab_->refreshBox()->isChecked()) {
        // On this tab the box must be checked before an interval is chosen; a typed text stays.
        forgetChoice(box, index < 0);
        DisableTimer(quotesRefreshTimer_);
        return;
    }
    if (index < 0)
        return;
    SetTimerInterval(quotesRefreshTimer_, QuotesRefreshChoices[index].intervalMs);
    EnableTimer(quotesRefreshTimer_);
}

void MainWindow::realTimeRefreshTimeChanged() {
    if (!realTimeTab_->refreshBox()->isChecked())
        return; // the choice stays and is used when the box is checked
    const int index = chosenIndex(realTimeTab_->refreshTimeBox());
    if (index < 0) {
        DisableTimer(realTimeRefreshTimer_);
        return;
    }
    SetTimerInterval(realTimeRefreshTimer_, RealTimeRefreshChoices[index].intervalMs);
    EnableTimer(realTimeRefreshTimer_);
}

// A tick shows its tab with the keyboard on one of its controls, so that no key goes into a
// page left behind; but a portfolio being typed and not saved stays in front, keys and all,
// while the tab loads behind it.
void MainWindow::showRefreshedTab(QWidget* tab, const QList<QWidget*>& focusChain) {
    if (portfoliosTab_->holdsUnsavedText())
        return;
    pages_->setCurrentWidget(tab);
    if (tab->isAncestorOf(focusWidget()))
        return;
    QList<QWidget*> candidates = focusChain;
    if (tab->isAncestorOf(tab->focusWidget()))
        candidates.prepend(tab->focusWidget()); // where the user left the keyboard on that tab
    for (QWidget* control : candidates) {
        if (control->isVisible() && control->isEnabled() && control->focusPolicy() != Qt::NoFocus) {
            control->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

void MainWindow::quotesRefreshTick() {
    showRefreshedTab(quotesTab_, quotesTab_->focusChain());
    if (quotesTab_->refreshBox()->isChecked())
        quotesTab_->getQuotes();
    else
        DisableTimer(quotesRefreshTimer_);
}

void MainWindow::realTimeRefreshTick() {
    showRefreshedTab(realTimeTab_, realTimeTab_->focusChain());
    if (realTimeTab_->refreshBox()->isChecked())
        realTimeTab_->getQuotes();
    else
        DisableTimer(realTimeRefreshTimer_);
}
