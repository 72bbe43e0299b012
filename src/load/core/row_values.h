#pragma once
// A row's values as scripts and the alerts read them, taken from the words of its data-file
// line: numbers without thousands commas, '+' or '%', a '-' only on a value below 0, and
// nothing where the page had no value (N/A) or no row for the symbol.
#include <QByteArrayView>
#include <QString>

// Where each load kind puts the values its alerts read: the symbol as the page shows it, the
// time of the trade, the price (delayed) or trade (real-time), and the percent change.
enum RowValue { SymbolValue = 0, TimeValue = 1, PriceValue = 2, PercentValue = 4 };

// The number a page's word shows ("45,123,456", "+0.44%", "1.50"), negative when the word or
// the row says so; empty when the word is not a number.
QString plainNumber(QByteArrayView word, bool negative = false);
// A trade's time as the page gives it, empty where the page had none ("Unknown ET").
QString tradeTime(const QString& time);
