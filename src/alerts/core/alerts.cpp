#include "alerts/core/alerts.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>

#include "platform/core/settings_location.h"

QString AlertRule::name() const {
    return symbol + (onChange ? " change " : " ") + (above ? "above " : "below ") + QString::number(level, 'f', 2) +
           (onChange ? "%" : "");
}

AlertRules readAlertRules(const QByteArray& text, const QString& fileName) {
    static const QRegularExpression rule(R"(^(\S{1,7})\s+(change\s+)?(above|below)\s+([+-]?(\d+\.?\d*|\.\d+))(%?)$)",
                                         QRegularExpression::CaseInsensitiveOption);
    AlertRules read;
    const QList<QByteArray> lines = text.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = QString::fromUtf8(lines[i]).section('#', 0, 0).trimmed();
        if (line.isEmpty())
            continue;
        const QRegularExpressionMatch match = rule.match(line);
        // A percent sign belongs to a change, and only there.
        if (!match.hasMatch() || match.captured(2).isEmpty() != match.captured(6).isEmpty()) {
            read.problems << QString("%1 line %2 is not a rule").arg(fileName).arg(i + 1);
            continue;
        }
        read.rules << AlertRule{match.captured(1).toUpper(), !match.captured(2).isEmpty(),
                                match.captured(3).compare("above", Qt::CaseInsensitive) == 0,
                                match.captured(4).toDouble()};
    }
    return read;
}

AlertCheck checkAlerts(const QString& path, const QString& tab, const QList<AlertValues>& rows) {
    AlertCheck check;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return check;
    const AlertRules read = readAlertRules(file.readAll(), QFileInfo(path).fileName());
    check.problems = read.problems;

    // The state of the tab's rules: the rules that stand crossed, each as "<file>\t<rule>".
    QSettings settings(tickwellSettingsFile(), QSettings::IniFormat);
    const QString key = "Alerts/" + tab;
    const QStringList before = settings.value(key).toStringList();
    QStringList crossed;
    for (const QString& entry : before)
        if (!entry.startsWith(path + '\t'))
            crossed << entry;
    for (const AlertRule& rule : read.rules) {
        const QString entry = path + '\t' + rule.name();
        const AlertValues* row = nullptr;
        for (const AlertValues& values : rows)
            if (values.symbol.toUpper() == rule.symbol) {
                row = &values;
                break;
            }
        const QString value = row ? (rule.onChange ? row->percent : row->price) : QString();
        if (value.isEmpty()) {
            // Not in this load, or no value: the rule stays as it was.
            if (before.contains(entry) && !crossed.contains(entry))
                crossed << entry;
            continue;
        }
        const double number = value.toDouble();
        if (rule.above ? number <= rule.level : number >= rule.level)
            continue;
        if (!before.contains(entry)) {
            check.fired << FiredAlert{
                rule.symbol, rule.name(), value + (rule.onChange ? "%" : ""),
                QString("%1 (%2%) at %3")
                    .arg(row->price, row->percent,
                         row->time.isEmpty() ? QTime::currentTime().toString("h:mm") : row->time)};
        }
        if (!crossed.contains(entry))
            crossed << entry;
    }
    if (crossed != before) {
        settings.setValue(key, crossed);
        settings.sync();
    }
    return check;
}

QString withNotes(const QString& status, const QStringList& notes) {
    if (notes.isEmpty())
        return status;
    if (status.endsWith(')') && status.contains(" ("))
        return status.chopped(1) + "; " + notes.join("; ") + ")";
    return status + " (" + notes.join("; ") + ")";
}
