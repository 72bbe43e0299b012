#pragma once
// The price alerts of a load: the rules beside its portfolio (input.alerts for input.txt, so the
// portfolio keeps its format for every reader) checked against the rows it loaded.
#include <QList>
#include <QString>
#include <QStringList>

#include "alerts/core/alerts.h"

// rowValues are the rows' values as row_values.h lays them out; tab names the state the check
// keeps ("Quotes", "RealTime").
AlertCheck checkLoadAlerts(const QString& portfolioPath, const QString& tab, const QList<QStringList>& rowValues);
