#pragma once
// The server's side of the price history: a feed's prices handed to the store, and the
// details page's chart drawn from what it keeps.
#include "sources/feed_csv.h"
#include "sources/history_store.h"
#include "sources/quote_source.h"

#include <QDateTime>

#include <memory>
#include <optional>
#include <vector>

// Hands the table's prices, as of at, to the store's writer; only those of keys (sorted) when
// given. The table is walked on the writer's thread.
void offerFeedPrices(HistoryStore& store, const QByteArray& source, std::shared_ptr<const FeedTable> table,
                     const QDateTime& at, std::optional<std::vector<quint64>> keys = std::nullopt);

// The chart of the symbol's stored year, at most MaxChartPoints points, the latest day's own
// points last; its source and the time of its last point under it. Below two points, a
// paragraph that says there is no history yet.
constexpr qsizetype MaxChartPoints = 400;
void chartFromHistory(DetailsContent& content, const HistoryStore& store, const QByteArray& symbol,
                      const QDateTime& now);
