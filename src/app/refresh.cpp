// Automatic refresh: each quote tab reloads itself at the interval chosen in its
// "Refresh Time" box while its "Automatic  Refresh Enabled" box is checked.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>

#include "app/form_quote.h"
#include "app/refresh_intervals.h"
#include "platform/timer_rules.h"

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

void TFormQuote::CheckBoxClick() {
    armFromCheckBox(CheckBox, ComboBox, Timer, QuotesRefreshChoices);
}

void TFormQuote::CheckBox3Click() {
    armFromCheckBox(CheckBox3, ComboBox1, Timer1, RealTimeRefreshChoices);
}

void TFormQuote::ComboBoxChange() {
    const int index = chosenIndex(ComboBox);
    if (!CheckBox->isChecked()) {
        // On this tab the box must be checked before an interval is chosen; a typed text stays.
        forgetChoice(ComboBox, index < 0);
        DisableTimer(Timer);
        return;
    }
    if (index < 0)
        return;
    SetTimerInterval(Timer, QuotesRefreshChoices[index].intervalMs);
    EnableTimer(Timer);
}

void TFormQuote::ComboBox1Change() {
    if (!CheckBox3->isChecked())
        return; // the choice stays and is used when the box is checked
    const int index = chosenIndex(ComboBox1);
    if (index < 0) {
        DisableTimer(Timer1);
        return;
    }
    SetTimerInterval(Timer1, RealTimeRefreshChoices[index].intervalMs);
    EnableTimer(Timer1);
}

void TFormQuote::TimerTimer() {
    PgC1->setCurrentWidget(Quotes);
    if (CheckBox->isChecked())
        BtnQuoteClick();
    else
        DisableTimer(Timer);
}

void TFormQuote::Timer1Timer() {
    PgC1->setCurrentWidget(RealTime);
    if (CheckBox3->isChecked())
        BtnQuote1Click();
    else
        DisableTimer(Timer1);
}
