#include "app/core/print_run.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <QTimer>
#include <cstdio>

#include "load/core/load_alerts.h"
#include "load/core/quote_load.h"
#include "load/core/row_values.h"
#include "load/core/settings_file.h"
#include "quotes/core/delayed_load.h"
#include "realtime/core/real_time_load.h"

namespace {
using Format = PrintRequest::Format;

void write(FILE* stream, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

struct Counts {
    int advancing = 0, declining = 0, unchanged = 0;
};

// The window's load, told to a view that keeps the rows and prints them when the load is over.
class PrintingView : public QuoteLoadView {
public:
    explicit PrintingView(const PrintRequest& request)
        : request_(request), kind_(request.realTime ? RealTimeLoad : DelayedLoad),
          columns_(QString::fromLatin1(kind_.columns).split(',')) {}

    void start() {
        rows_.clear();
        alerts_.clear();
        completed_ = false;
        new QuoteLoadThread(kind_, {request_.portfolioPath, request_.server, this, searchStart_});
    }

    void loadStarting() override {}
    void portfolioUnreadable(const QString& why) override { status_ = "File in use by another application.\n" + why; }
    void portfolioOpened() override {}
    void showStatus(const QString&) override {}
    void showPage(const ParsedPage& page) override {
        rows_ << page.rows;
        searchStart_ = page.searchStart;
    }
    void finished(const QString& doneText) override {
        status_ = doneText;
        completed_ = true;
    }
    void connectionLost(const QString& why) override { status_ = "Connection lost...Reload quotes (" + why + ")"; }
    void idle() override {
        if (completed_) {
            checkAlerts();
            printRows();
        }
        for (const FiredAlert& alert : alerts_)
            write(stderr, alert.text() + "\n");
        write(stderr, status_ + "\n");
        if (request_.watchSeconds > 0)
            QTimer::singleShot(request_.watchSeconds * 1000, Qt::PreciseTimer, [this] { start(); });
        else
            QCoreApplication::exit(completed_ ? 0 : 1);
    }

private:
    // 1 up, -1 down, 0 unchanged: the Quotes tab goes by the percent change, the real-time rows
    // by the direction of the trade's change, where -100 (unknown) counts as unchanged.
    int direction(const ShownRow& row) const {
        return row.change > 0 ? 1 : row.change < 0 && (!request_.realTime || row.change > -50) ? -1 : 0;
    }
    Counts counts() const {
        Counts counts;
        for (const ShownRow& row : rows_)
            ++(direction(row) > 0 ? counts.advancing : direction(row) < 0 ? counts.declining : counts.unchanged);
        return counts;
    }
    // The rules beside the portfolio, with the state of the tab whose rows this load loads.
    void checkAlerts() {
        QList<QStringList> values;
        for (const ShownRow& row : rows_)
            values << row.values;
        const AlertCheck check =
            checkLoadAlerts(request_.portfolioPath, request_.realTime ? "RealTime" : "Quotes", values);
        alerts_ = check.fired;
        status_ = withNotes(status_, check.problems);
    }
    void printRows();
    QString csv() const;
    QString json() const;
    QString table() const;

    const PrintRequest request_;
    const QuoteLoadKind& kind_;
    const QStringList columns_;
    QList<ShownRow> rows_;
    QList<FiredAlert> alerts_;
    QString status_;
    bool completed_ = false;
    bool headerPrinted_ = false;
    int searchStart_ = 0;
};

void PrintingView::printRows() {
    switch (request_.format) {
    case Format::Csv:
        // One header for the whole run: a watched load adds its rows under it.
        write(stdout, (headerPrinted_ ? QString() : columns_.join(',') + "\n") + csv());
        headerPrinted_ = true;
        break;
    case Format::Json:
        write(stdout, json() + "\n");
        break;
    case Format::Table:
        write(stdout, table());
        break;
    }
}

QString PrintingView::csv() const {
    QString text;
    for (const ShownRow& row : rows_) {
        QStringList cells = row.values;
        for (QString& cell : cells)
            if (cell.contains(',') || cell.contains('"'))
                cell = '"' + cell.replace("\"", "\"\"") + '"';
        text += cells.join(',') + "\n";
    }
    return text;
}

QString PrintingView::json() const {
    QJsonArray rows;
    for (const ShownRow& row : rows_) {
        QJsonObject object;
        for (int c = 0; c < columns_.size(); ++c) {
            const QString value = row.values.value(c);
            // The symbol and the time are text, every other column a number.
            object[columns_[c]] = value.isEmpty()                      ? QJsonValue()
                                  : c == SymbolValue || c == TimeValue ? QJsonValue(value)
                                                                       : QJsonValue(value.toDouble());
        }
        rows.append(object);
    }
    QJsonArray alerts;
    for (const FiredAlert& alert : alerts_)
        alerts.append(QJsonObject{{"symbol", alert.symbol},
                                  {"rule", alert.rule},
                                  {"value", alert.value.chopped(alert.value.endsWith('%') ? 1 : 0).toDouble()},
                                  {"body", alert.body}});
    const Counts n = counts();
    const QDateTime now = QDateTime::currentDateTime();
    const QJsonObject load{
        {"rows", rows},
        {"counts", QJsonObject{{"advancing", n.advancing}, {"declining", n.declining}, {"unchanged", n.unchanged}}},
        {"status", status_},
        {"alerts", alerts},
        {"time", now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODate)}};
    return QString::fromUtf8(QJsonDocument(load).toJson(QJsonDocument::Compact));
}

QString PrintingView::table() const {
    const QStringList headings =
        request_.realTime ? QStringList{"Symbol", "Time", "Trade", "Change", "%Change", "After Hrs Chg", "Bid", "Ask"}
                          : QStringList{"Symbol", "Time", "Price", "Change", "%Change", "Volume"};
    QList<QStringList> lines{headings};
    for (const ShownRow& row : rows_) {
        QStringList cells = row.values;
        if (row.notFound)
            cells = {cells.value(0), "symbol not found"};
        else
            for (QString& cell : cells)
                cell = cell.isEmpty() ? "N/A" : cell;
        lines << cells;
    }
    QList<qsizetype> widths(headings.size(), 0);
    for (const QStringList& cells : lines)
        for (int c = 0; c < cells.size() && !(cells.size() == 2 && c == 1); ++c)
            widths[c] = std::max(widths[c], cells[c].size());
    QString text;
    for (int r = 0; r < lines.size(); ++r) {
        QStringList cells;
        for (int c = 0; c < lines[r].size(); ++c) {
            const QString& cell = lines[r][c];
            // Text to the left, numbers to the right, as the grid shows them.
            cells << (lines[r].size() == 2 && c == 1 ? cell
                      : c <= TimeValue               ? cell.leftJustified(widths[c])
                                                     : cell.rightJustified(widths[c]));
        }
        QString line = cells.join("  ").trimmed();
        const int way = r == 0 ? 0 : direction(rows_[r - 1]);
        if (request_.colour && way != 0)
            line = (way > 0 ? "\033[32m" : "\033[31m") + line + "\033[0m";
        text += line + "\n";
    }
    const Counts n = counts();
    return text + QString("\nAdv %1   Decl %2   UnChg %3\n").arg(n.advancing).arg(n.declining).arg(n.unchanged);
}
} // namespace

QString defaultPrintPortfolio() {
    // None remembered, or moved or deleted since: input.txt in the current folder, as the window starts.
    const QString remembered = rememberedPortfolio(QSettings(tickwellSettingsFile(), QSettings::IniFormat), "Quotes");
    return !remembered.isEmpty() ? remembered : QDir::current().absoluteFilePath("input.txt");
}

int runPrint(const PrintRequest& request) {
    PrintingView view(request);
    QTimer::singleShot(0, [&view] { view.start(); });
    return QCoreApplication::exec();
}
