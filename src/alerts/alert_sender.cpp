#include "alerts/alert_sender.h"

#include "platform/desktop_notice.h"
#include "platform/status_line.h"

QString AlertSender::announce(const AlertCheck& check, const QString& doneText) {
    QStringList notes = check.problems;
    for (const FiredAlert& alert : check.fired) {
        const QString note = alert.text();
        // Undelivered after all: the status says it, unless something else shows there by now.
        const auto inStatus = [this, note] {
            if (status_->simpleText() != doneShown_)
                return;
            doneShown_ = withNotes(doneShown_, {note});
            status_->setSimpleText(doneShown_);
        };
        if (!showDesktopNotice(alert.rule, alert.body, status_, inStatus))
            notes << note;
    }
    doneShown_ = withNotes(doneText, notes);
    return doneShown_;
}
