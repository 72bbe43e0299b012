#pragma once
// Sends the alerts a load fired to the desktop and says in the tab's status what the user
// should know of them.
#include <QString>

#include "alerts/core/alerts.h"

class StatusLine;

class AlertSender {
public:
    explicit AlertSender(StatusLine* status = nullptr) : status_(status) {}
    // Each fired alert sent to the desktop. Returns the final status to show: doneText with the
    // check's problems; an alert no notification service takes joins it there, at once or later.
    QString announce(const AlertCheck& check, const QString& doneText);

private:
    StatusLine* status_;
    QString doneShown_; // the final status the last load showed
};
