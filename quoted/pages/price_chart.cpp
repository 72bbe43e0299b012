#include "pages/price_chart.h"

#include "market/market_clock.h"
#include "pages/text_format.h"

#include <QTimeZone>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr int Width = 760;
constexpr int Height = 360;
constexpr double PlotLeft = 12;
constexpr double PlotRight = Width - 84;
constexpr double PlotTop = 16;
constexpr double PlotBottom = Height - 48;

QByteArray num(double value) {
    return QByteArray::number(value, 'f', 1);
}

double roundStep(double range, int wantedSteps) {
    const double raw = range / wantedSteps;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    for (double factor : {1.0, 2.0, 2.5, 5.0}) {
        if (factor * magnitude >= raw * 0.999)
            return factor * magnitude;
    }
    return 10.0 * magnitude;
}

int decimalsFor(double step) {
    for (int decimals = 0; decimals < 2; ++decimals) {
        const double scaled = step * std::pow(10.0, decimals);
        if (std::abs(scaled - std::round(scaled)) < 1e-6)
            return decimals;
    }
    return 2;
}

QByteArray priceLabel(double dollars, int decimals) {
    const QByteArray text = formatCents(std::llround(dollars * 100.0));
    return decimals == 2 ? text : text.chopped(decimals == 0 ? 3 : 1);
}

const char* colourOf(int direction) {
    return direction > 0 ? "#0a7d28" : (direction < 0 ? "#c62828" : "#555b63");
}

} // namespace

QByteArray priceChartSvg(const QList<ChartPoint>& points, const QList<ChartTick>& ticks, const QByteArray& title,
                         int direction) {
    QByteArray svg = "<svg class=\"chart\" width=\"" + QByteArray::number(Width) + "\" height=\"" +
                     QByteArray::number(Height) + "\" viewBox=\"0 0 " + QByteArray::number(Width) + ' ' +
                     QByteArray::number(Height) +
                     "\" role=\"img\" aria-labelledby=\"chart-title\" font-family=\"sans-serif\" font-size=\"11\">\n"
                     "<title id=\"chart-title\">" +
                     htmlEscape(title) + "</title>\n";
    if (points.isEmpty())
        return svg + "</svg>\n";

    double low = points.constFirst().cents / 100.0;
    double high = low;
    for (const ChartPoint& p : points) {
        low = std::min(low, p.cents / 100.0);
        high = std::max(high, p.cents / 100.0);
    }
    if (high - low < 0.01) {
        low -= std::max(0.01, low * 0.01);
        high += std::max(0.01, high * 0.01);
    }
    const double step = roundStep(high - low, 5);
    const double axisLow = std::floor(low / step) * step;
    const double axisHigh = std::ceil(high / step) * step;
    const int decimals = decimalsFor(step);
    auto yOf = [&](double dollars) {
        return PlotBottom - (dollars - axisLow) / (axisHigh - axisLow) * (PlotBottom - PlotTop);
    };
    const qsizetype n = points.size();
    const double firstX = points.constFirst().x;
    const double span = points.constLast().x - firstX;
    auto xOf = [&](double x) {
        return span <= 0 ? (PlotLeft + PlotRight) / 2 : PlotLeft + (PlotRight - PlotLeft) * (x - firstX) / span;
    };

    // The last price gets its own label on the axis; tick labels it would cover are left out.
    const double lastY = yOf(points.constLast().cents / 100.0);
    svg += "<rect x=\"0\" y=\"0\" width=\"" + QByteArray::number(Width) + "\" height=\"" + QByteArray::number(Height) +
           "\" fill=\"#ffffff\"/>\n<g class=\"price-axis\">\n";
    for (int i = 0; axisLow + i * step <= axisHigh + step * 1e-6; ++i) {
        const double value = axisLow + i * step;
        const QByteArray y = num(yOf(value));
        svg += "<line x1=\"" + num(PlotLeft) + "\" y1=\"" + y + "\" x2=\"" + num(PlotRight) + "\" y2=\"" + y +
               "\" stroke=\"#e3e6ea\"/>\n";
        if (std::abs(yOf(value) - lastY) >= 14) {
            svg += "<text x=\"" + num(PlotRight + 8) + "\" y=\"" + num(yOf(value) + 4) + "\" fill=\"#555b63\">" +
                   priceLabel(value, decimals) + "</text>\n";
        }
    }
    svg += "</g>\n<g class=\"date-axis\">\n";
    for (const ChartTick& tick : ticks) {
        const QByteArray x = num(xOf(tick.x));
        svg += "<line x1=\"" + x + "\" y1=\"" + num(PlotTop) + "\" x2=\"" + x + "\" y2=\"" + num(PlotBottom) +
               "\" stroke=\"#f0f2f4\"/>\n<line x1=\"" + x + "\" y1=\"" + num(PlotBottom) + "\" x2=\"" + x + "\" y2=\"" +
               num(PlotBottom + 5) + "\" stroke=\"#8a9099\"/>\n<text x=\"" + x + "\" y=\"" + num(PlotBottom + 18) +
               "\" text-anchor=\"middle\" fill=\"#555b63\">" + htmlEscape(tick.label) + "</text>\n";
        if (!tick.secondLine.isEmpty()) {
            svg += "<text x=\"" + x + "\" y=\"" + num(PlotBottom + 32) + "\" text-anchor=\"middle\" fill=\"#555b63\">" +
                   htmlEscape(tick.secondLine) + "</text>\n";
        }
    }
    svg += "</g>\n";

    QByteArray line;
    for (qsizetype i = 0; i < n; ++i)
        line += (i == 0 ? "M" : " L") + num(xOf(points[i].x)) + ',' + num(yOf(points[i].cents / 100.0));
    svg += "<path class=\"area\" d=\"" + line + " L" + num(xOf(points.constLast().x)) + ',' + num(PlotBottom) + " L" +
           num(xOf(firstX)) + ',' + num(PlotBottom) + " Z\" fill=\"#e6edf6\" stroke=\"none\"/>\n";
    svg += "<path class=\"price\" d=\"" + line +
           "\" fill=\"none\" stroke=\"#1d4f91\" stroke-width=\"1.5\" stroke-linejoin=\"round\"/>\n";

    svg += "<line x1=\"" + num(PlotLeft) + "\" y1=\"" + num(PlotBottom) + "\" x2=\"" + num(PlotRight) + "\" y2=\"" +
           num(PlotBottom) + "\" stroke=\"#8a9099\"/>\n<line x1=\"" + num(PlotRight) + "\" y1=\"" + num(PlotTop) +
           "\" x2=\"" + num(PlotRight) + "\" y2=\"" + num(PlotBottom) + "\" stroke=\"#8a9099\"/>\n";

    const char* colour = colourOf(direction);
    svg += "<circle cx=\"" + num(xOf(points.constLast().x)) + "\" cy=\"" + num(lastY) + "\" r=\"3\" fill=\"" + colour +
           "\"/>\n";
    svg += "<rect x=\"" + num(PlotRight + 2) + "\" y=\"" + num(lastY - 9) + "\" width=\"" + num(Width - PlotRight - 4) +
           "\" height=\"18\" rx=\"3\" fill=\"" + colour + "\"/>\n<text x=\"" + num(PlotRight + 8) + "\" y=\"" +
           num(lastY + 4) + "\" fill=\"#ffffff\" font-weight=\"bold\">" + formatCents(points.constLast().cents) +
           "</text>\n";
    return svg + "</svg>\n";
}

namespace {

// A place per close, a tick at each month's first trading day, with the year under the first
// one shown and under each January.
void addDailyCloses(const QList<DailyClose>& closes, QList<ChartPoint>* points, QList<ChartTick>* ticks) {
    static constexpr std::array<const char*, 12> months{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    bool yearShown = false;
    for (qsizetype i = 0; i < closes.size(); ++i) {
        points->append({double(i), closes[i].closeCents});
        const QDate date = closes[i].date;
        if (i == 0 || date.month() == closes[i - 1].date.month())
            continue;
        ChartTick tick{double(i), months[date.month() - 1], {}};
        if (date.month() == 1 || !yearShown) {
            yearShown = true;
            tick.secondLine = QByteArray::number(date.year());
        }
        ticks->append(tick);
    }
}

} // namespace

QByteArray dailyChartSvg(const QList<DailyClose>& closes, const QByteArray& symbol, int direction) {
    QList<ChartPoint> points;
    QList<ChartTick> ticks;
    addDailyCloses(closes, &points, &ticks);
    return priceChartSvg(points, ticks, symbol + ": daily closes over one year", direction);
}

QByteArray historyChartSvg(const QList<DailyClose>& closes, const QList<SeenPrice>& latestDay, const QByteArray& title,
                           int direction) {
    QList<ChartPoint> points;
    QList<ChartTick> ticks;
    addDailyCloses(closes, &points, &ticks);
    for (qsizetype i = 0; i < latestDay.size(); ++i) {
        const QDateTime eastern = MarketModel::marketTime(latestDay[i].at);
        if (i == 0)
            ticks.append(
                {double(points.size()), formatTradeTime(eastern.time()), eastern.date().toString("MMM d").toLatin1()});
        points.append({double(points.size()), latestDay[i].cents});
    }
    return priceChartSvg(points, ticks, title, direction);
}

QByteArray timeChartSvg(const QList<SeenPrice>& prices, const QByteArray& title, int direction) {
    if (prices.isEmpty())
        return priceChartSvg({}, {}, title, direction);
    // Seconds on the market's clock as if it were UTC, so that round times fall on round numbers.
    const qint64 offset = MarketModel::marketTime(prices.constFirst().at).offsetFromUtc();
    QList<ChartPoint> points;
    for (const SeenPrice& price : prices)
        points.append({price.at.toMSecsSinceEpoch() / 1000.0 + double(offset), price.cents});
    const double first = points.constFirst().x;
    const double last = points.constLast().x;

    // The smallest round step that leaves at most eight ticks.
    static constexpr std::array<qint64, 17> steps{1,   5,    10,   15,   30,    60,    120,   300,  600,
                                                  900, 1800, 3600, 7200, 10800, 21600, 43200, 86400};
    qint64 step = steps.back();
    for (qint64 candidate : steps) {
        if ((last - first) / double(candidate) <= 8) {
            step = candidate;
            break;
        }
    }
    QList<ChartTick> ticks;
    QDate shownDate;
    for (qint64 t = qint64(std::ceil(first / double(step))) * step; t <= last && ticks.size() < 20; t += step) {
        const QDateTime moment = QDateTime::fromSecsSinceEpoch(t, QTimeZone::utc());
        const QTime time = moment.time();
        QByteArray label = formatTradeTime(time);
        if (step < 60)
            label.insert(label.size() - 2, ':' + QByteArray::number(time.second()).rightJustified(2, '0'));
        ChartTick tick{double(t), label, {}};
        if (moment.date() != shownDate) {
            shownDate = moment.date();
            tick.secondLine = moment.date().toString("MMM d").toLatin1();
        }
        ticks.append(tick);
    }
    return priceChartSvg(points, ticks, title, direction);
}
