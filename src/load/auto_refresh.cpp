#include "load/auto_refresh.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>
#include <cmath>

#include "platform/control_table.h"
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

// A test aid: TICKWELL_REFRESH_SPEEDUP=N divides every refresh interval by N, so that a
// benchmark runs a trading day's refreshes in minutes. Read at each start, not once, so that a
// test can arm one refresh fast and the next at the item's own interval.
int timerIntervalMs(int choiceMs) {
    bool ok = false;
    const double speedup = qEnvironmentVariable("TICKWELL_REFRESH_SPEEDUP").toDouble(&ok);
    if (!ok || !(speedup > 1))
        return choiceMs;
    return std::max(1, int(std::lround(choiceMs / speedup)));
}
} // namespace

AutoRefresh::AutoRefresh(QObject* tab, QCheckBox* enabledBox, QComboBox* timeBox, const char* timerName,
                         std::span<const RefreshChoice> choices, RefreshTimeRule rule, std::function<void()> load)
    : QObject(tab), enabledBox_(enabledBox), timeBox_(timeBox), timer_(new QTimer(this)), choices_(choices),
      rule_(rule), load_(std::move(load)) {
    timer_->setObjectName(timerName);
    timer_->setInterval(3000);
    timer_->setSingleShot(false);
    QStringList texts;
    for (const RefreshChoice& choice : choices_)
        texts << choice.text;
    fillChoices(timeBox_, texts);

    connect(enabledBox_, &QCheckBox::toggled, this, [this] { enabledClicked(); });
    connect(timeBox_, &QComboBox::editTextChanged, this, [this] { timeChanged(); });
    // Picking the item whose text the user had just typed changes no text, yet it is a choice.
    connect(timeBox_, &QComboBox::activated, this, [this] {
        if (timeBox_->lineEdit()->isModified()) {
            timeBox_->lineEdit()->setModified(false);
            timeChanged();
        }
    });
    connect(timer_, &QTimer::timeout, this, [this] { tick(); });
}

// Arming from the check box, the same on both tabs.
void AutoRefresh::enabledClicked() {
    if (!enabledBox_->isChecked())
        return; // the next tick stops the timer
    const int index = chosenIndex(timeBox_);
    if (index < 0) {
        forgetChoice(timeBox_, true);
        disableTimer(timer_);
        return;
    }
    start(index);
}

void AutoRefresh::timeChanged() {
    applyTimeRule();
    emit timeChosen();
}

void AutoRefresh::applyTimeRule() {
    const int index = chosenIndex(timeBox_);
    const bool enabled = enabledBox_->isChecked();
    if (rule_ == RefreshTimeRule::CheckFirst) {
        if (!enabled) {
            forgetChoice(timeBox_, index < 0);
            disableTimer(timer_);
        } else if (index >= 0) {
            start(index);
        }
        return;
    }
    if (!enabled)
        return;
    if (index < 0)
        disableTimer(timer_);
    else
        start(index);
}

QString AutoRefresh::chosenTime() const {
    const int index = chosenIndex(timeBox_);
    return index < 0 ? QString() : timeBox_->itemText(index);
}

void AutoRefresh::restoreTime(const QString& item) {
    const int index = timeBox_->findText(item);
    if (item.isEmpty() || index < 0)
        return;
    const QSignalBlocker quiet(timeBox_);
    timeBox_->setCurrentIndex(index);
    timeBox_->lineEdit()->setModified(false);
}

void AutoRefresh::tick() {
    emit ticked();
    if (enabledBox_->isChecked()) {
        ticking_ = true;
        load_();
        ticking_ = false;
    } else
        disableTimer(timer_);
}

void AutoRefresh::start(int choice) {
    setTimerInterval(timer_, timerIntervalMs(choices_[choice].intervalMs));
    enableTimer(timer_);
}
