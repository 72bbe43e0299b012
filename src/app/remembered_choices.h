#pragma once
// The user's choices that outlive a run, in ~/.config/tickwell/tickwell.conf: each quote tab's
// portfolio, the automatic sort and each tab's refresh time. The automatic-refresh boxes and
// the window size are not among them: every start has its refreshes off, at the normal size.
#include <QSettings>

class QObject;
class QuotesTab;
class RealTimeTab;

class RememberedChoices {
public:
    // The file under $XDG_CONFIG_HOME (~/.config when unset). A file that is missing,
    // unreadable or not in its format remembers nothing.
    RememberedChoices();

    // Puts the choices of the run before back on the tabs, then keeps each new one as it is made
    // (context: the window that outlives the connections).
    void follow(QObject* context, QuotesTab& quotes, RealTimeTab& realTime);

private:
    void restore(QuotesTab& quotes, RealTimeTab& realTime);
    void remember(const QString& key, const QString& value);

    QSettings settings_;
    bool readable_;
};
