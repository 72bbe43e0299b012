#pragma once
// Automatic refresh of one quote tab: the tab reloads itself at the interval chosen in its
// "Refresh Time" box while its "Automatic  Refresh Enabled" box is checked.
#include <QObject>
#include <functional>
#include <span>

#include "load/refresh_choices.h"

class QCheckBox;
class QComboBox;
class QTimer;

// How a tab's "Refresh Time" box answers a change. The two tabs have always differed here.
enum class RefreshTimeRule {
    // The box must be checked before an interval is chosen: a choice made without it is dropped
    // (a typed text stays) and the timer stops; a text that chooses nothing changes nothing.
    CheckFirst,
    // A choice made while the box is clear stays and is used when it is checked; a text that
    // chooses nothing stops the timer.
    ChoiceKept,
};

class AutoRefresh : public QObject {
    Q_OBJECT
public:
    // Fills timeBox with the choices' texts and follows both boxes. The timer, named timerName,
    // is created stopped; each tick calls load while enabledBox is checked.
    AutoRefresh(QObject* tab, QCheckBox* enabledBox, QComboBox* timeBox, const char* timerName,
                std::span<const RefreshChoice> choices, RefreshTimeRule rule, std::function<void()> load);

    // The item chosen in the "Refresh Time" box, or an empty text when none is.
    QString chosenTime() const;
    // Chooses the item of that text, as a start puts back the choice of the run before: quietly,
    // since the box's rules would drop a choice made while the refresh is off.
    void restoreTime(const QString& item);
    // True while a tick runs its load: the load was not asked for by the user.
    bool ticking() const { return ticking_; }

signals:
    // A tick, before its load: the window shows the tab, unless it has a reason not to.
    void ticked();
    // The "Refresh Time" box has been changed by the user, and the rules have had their say.
    void timeChosen();

private:
    void enabledClicked();
    void timeChanged();
    void applyTimeRule();
    void tick();
    void start(int choice);

    QCheckBox* enabledBox_;
    QComboBox* timeBox_;
    QTimer* timer_;
    std::span<const RefreshChoice> choices_;
    RefreshTimeRule rule_;
    std::function<void()> load_;
    bool ticking_ = false;
};
