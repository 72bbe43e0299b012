#include "load/core/load_alerts.h"

#include "load/core/portfolio_rules.h"
#include "load/core/row_values.h"

AlertCheck checkLoadAlerts(const QString& portfolioPath, const QString& tab, const QList<QStringList>& rowValues) {
    QList<AlertValues> rows;
    for (const QStringList& values : rowValues)
        rows << AlertValues{values.value(SymbolValue), values.value(TimeValue), values.value(PriceValue),
                            values.value(PercentValue)};
    const QString rulesPath =
        QString::fromLocal8Bit(dataFileName(portfolioPath.toLocal8Bit().toStdString(), AlertsSuffix));
    return checkAlerts(rulesPath, tab, rows);
}
