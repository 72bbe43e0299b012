#pragma once
// Price alerts: rules in a plain-text file beside the portfolio (input.alerts for input.txt,
// so the portfolio keeps its format for every reader), checked against the rows of every load
// that ends normally. A rule fires when its condition becomes true, once, and arms again after
// a load in which it is false; a load without the symbol leaves it as it was. Each quote tab
// keeps its own state of each rule in the settings file, so a restart does not fire it again.
#include <QList>
#include <QString>
#include <QStringList>

// One line of the file: "AAPL above 200", "MSFT below 300.50", "^DJI change below -2%".
struct AlertRule {
    QString symbol;        // upper case
    bool onChange = false; // the percent change rather than the price
    bool above = true;     // strictly greater; else strictly less
    double level = 0;
    // "AAPL above 200.00", "^DJI change below -2.00%": how the notification and the state name it.
    QString name() const;
};

struct FiredAlert {
    QString symbol;
    QString rule;  // its name
    QString value; // what crossed the level: "201.15", "-2.31%"
    QString body;  // the price and the time: "201.15 (0.58%) at 4:00PM ET"
    // "alert: AAPL above 200.00 at 201.15"
    QString text() const { return "alert: " + rule + " at " + value; }
};

// What a check reads of one row of a load: the symbol as the page shows it, the time of the
// trade, the price (delayed) or trade (real-time) and the percent change, each empty where the
// page had no value.
struct AlertValues {
    QString symbol;
    QString time;
    QString price;
    QString percent;
};

struct AlertCheck {
    QStringList problems; // "input.alerts line 3 is not a rule", for the status
    QList<FiredAlert> fired;
};

// The rules of a file's text; each line that is not a rule, a comment or blank is named in
// problems by fileName and its number.
struct AlertRules {
    QList<AlertRule> rules;
    QStringList problems;
};
AlertRules readAlertRules(const QByteArray& text, const QString& fileName);

// Reads the rules of the file at rulesPath and checks them against a load's rows, with the state
// the tab ("Quotes", "RealTime") keeps. No file: nothing to check.
AlertCheck checkAlerts(const QString& rulesPath, const QString& tab, const QList<AlertValues>& rows);

// The status with notes in its brackets, joined as a load's final status joins its reasons:
// "Done getting quotes (1 symbol not found; alert: AAPL above 200.00 at 201.15)".
QString withNotes(const QString& status, const QStringList& notes);
