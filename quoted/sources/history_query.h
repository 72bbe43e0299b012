#pragma once
// GET /history?s=SYM&kind=daily|intraday&from=YYYY-MM-DD&to=YYYY-MM-DD: a symbol's stored series
// as CSV with a header row,
//   time,price,volume                   intraday points, times in UTC (2025-03-14T14:30:00Z)
//   date,open,high,low,close,volume     daily rows, US Eastern calendar days
// to defaults to today, from to a year before to; kind to daily when from is more than 30 days
// back, to intraday otherwise. A range wider than the store answers what there is.
#include "sources/history_store.h"

#include <QByteArray>
#include <QList>

#include <optional>
#include <utility>

struct HistoryAnswer {
    int status = 200;
    QByteArray body; // the CSV, or for any other status the reason
};

// query: the request's pairs, values percent-decoded. now: UTC seconds.
HistoryAnswer historyAnswer(const HistoryStore& store, const QList<std::pair<QByteArray, QByteArray>>& query,
                            qint64 now);

// "12.34" of 1234 cents.
QByteArray decimalText(qint64 hundredths);
