#pragma once
// Numbers and HTML text as the pages print them.
#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

// 1234567 cents -> "12,345.67".
QByteArray formatCents(qint64 cents);
// 44 -> "0.44", 150 -> "1.50" (hundredths of a percent, no sign).
QByteArray formatHundredths(qint64 hundredths);
// 45123456 -> "45,123,456".
QByteArray formatCount(qint64 count);
// &, <, >, " as entities; text is UTF-8, and every character beyond ASCII becomes a numeric
// reference (&#233;), so that the page shows it whatever character set it is read in.
QByteArray htmlEscape(QByteArrayView text);
