// Automatic refresh: each quote tab reloads itself at the interval chosen in its
// "Refresh Time" box while its "Automatic  Refresh Enabled" box is checked.
#include <QCheckBox>
#include <QComboBox>
#include <QTabWidget>

#include "app/form_quote.h"
#include "app/refresh_intervals.h"
#include "platform/timer_rules.h"

namespace {
// The chosen item, or -1 when the box holds a typed text or nothing chosen.
int chosenIndex(const QComboBox* combo)
{
    const int index = combo->currentIndex();
    return index >= 0 && combo->itemText(index) == combo->currentText() ? index : -1;
}

// Drops the choice; with keepText a typed text stays in the box, otherwise it is emptied.
void forgetChoice(QComboBox* combo, bool keepText)
{
    const QString text = combo->currentText();
    const QSignalBlocker quiet(combo);
    combo->setCurrentIndex(-1);
    combo->setEditText(keepText ? text : QString());
}

// Arming from the check box, the same on both tabs.
void armFromCheckBox(QCheckBox* box, QComboBox* combo, QTimer* timer, const RefreshChoice* choices)
{
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

void TFormQuote::CheckBoxClick()
{
    armFromCheckBox(CheckBox, ComboBox, Timer, QuotesRefreshChoices);
}

void TFormQuote::CheckBox3Click()
{
    armFromCheckBox(CheckBox3, ComboBox1, Timer1, RealTimeRefreshChoices);
}

void TFormQuote::ComboBoxChange()
{
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

void TFormQuote::ComboBox1Change()
{
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

void TFormQuote::TimerTimer()
{
    PgC1->setCurrentWidget(Quotes);
    if (CheckBox->isChecked())
        BtnQuoteClick();
    else
        DisableTimer(Timer);
}

void TFormQuote::Timer1Timer()
{
    PgC1->setCurrentWidget(RealTime);
    if (CheckBox3->isChecked())
        BtnQuote1Click();
    else
        DisableTimer(Timer1);
}
