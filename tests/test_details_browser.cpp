// The details page that Display Details opens, loaded by a real browser (headless Chromium)
// from the bundled quote server on loopback: the page's chart must come out with its price
// line and both axes. Skipped where Chromium is not installed.
#include <QImage>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "gui_support/load_fixture.h"
#include "gui_support/tickwell_windows.h"
#include "platform/url_opener.h"
#include "support/quoted_process.h"

namespace {
struct BrowserRun {
    bool finished = false;
    QByteArray out;
    QByteArray err;
};

// One headless Chromium run with a throw-away profile, ended after timeoutMs at the latest.
BrowserRun runChromium(const QString& chromium, const QStringList& action, const QString& address,
                       int timeoutMs = 90000) {
    QTemporaryDir profile;
    QStringList args{"--headless",
                     "--no-sandbox",
                     "--disable-gpu",
                     "--disable-quic",
                     "--no-first-run",
                     "--disable-background-networking",
                     "--disable-component-update",
                     "--disable-sync",
                     "--user-data-dir=" + profile.path()};
    args << action << address;
    QProcess process;
    process.start(chromium, args);
    BrowserRun run;
    run.finished = process.waitForFinished(timeoutMs) && process.exitStatus() == QProcess::NormalExit;
    if (!run.finished) {
        process.kill();
        process.waitForFinished(5000);
    }
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

// Pixels within a small distance of a colour.
int pixelsNear(const QImage& image, QColor colour, int tolerance) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) +
                    std::abs(c.blue() - colour.blue()) <=
                tolerance)
                ++count;
        }
    return count;
}
} // namespace

class DetailsBrowserTest : public QObject {
    Q_OBJECT
private:
    QString chromium_;
    QString address_;
    std::unique_ptr<QuotedProcess> server_;

private slots:
    void initTestCase() {
        chromium_ = QStandardPaths::findExecutable("chromium");
        if (chromium_.isEmpty())
            QSKIP("chromium is not installed (Debian package chromium): the details page is not loaded in a browser");
        server_ = std::make_unique<QuotedProcess>();
        QVERIFY2(server_->isListening(), qPrintable(server_->errorText()));

        // The address comes from Display Details itself.
        useQuoteServer(server_->port());
        UrlOpenerSeam::opened().clear();
        control<QLineEdit>("Edit1")->setText("MSFT");
        QTest::mouseClick(control<QPushButton>("Button3"), Qt::LeftButton);
        QCOMPARE(UrlOpenerSeam::opened().size(), 1);
        address_ = UrlOpenerSeam::opened().first();
        QCOMPARE(address_, QString("http://127.0.0.1:%1/q/bc?s=MSFT&t=1y").arg(server_->port()));
    }

    void pageHasChartWithAxes() {
        const BrowserRun run = runChromium(chromium_, {"--dump-dom"}, address_);
        QVERIFY2(run.finished, run.err.right(2000).constData());
        const QString dom = QString::fromUtf8(run.out);
        QVERIFY2(dom.contains("(MSFT)"), qPrintable(dom.left(2000)));

        const QRegularExpression svgPattern("<svg class=\"chart\"[^>]*>(.*)</svg>",
                                            QRegularExpression::DotMatchesEverythingOption);
        const QRegularExpressionMatch svg = svgPattern.match(dom);
        QVERIFY2(svg.hasMatch(), qPrintable(dom.left(2000)));
        const QString chart = svg.captured(1);

        // The price line: one point per trading day of a year.
        const QRegularExpressionMatch path =
            QRegularExpression("<path class=\"price\" d=\"(M[-0-9., L]+)\"").match(chart);
        QVERIFY2(path.hasMatch(), qPrintable(chart.left(2000)));
        const int points = int(path.captured(1).count('L')) + 1;
        QVERIFY2(points >= 200 && points <= 400, qPrintable(QString::number(points)));

        // The price axis: round prices on the right; the date axis: month names.
        const QRegularExpressionMatch priceAxis =
            QRegularExpression("<g class=\"price-axis\">(.*?)</g>", QRegularExpression::DotMatchesEverythingOption)
                .match(chart);
        QVERIFY(priceAxis.hasMatch());
        const int prices = int(priceAxis.captured(1).count(QRegularExpression("<text[^>]*>[0-9]+(\\.[0-9]+)?</text>")));
        QVERIFY2(prices >= 2, qPrintable(priceAxis.captured(1)));
        const QRegularExpressionMatch dateAxis =
            QRegularExpression("<g class=\"date-axis\">(.*?)</g>", QRegularExpression::DotMatchesEverythingOption)
                .match(chart);
        QVERIFY(dateAxis.hasMatch());
        int months = 0;
        for (const char* month : {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"})
            months += dateAxis.captured(1).contains(QString(">%1<").arg(month)) ? 1 : 0;
        QVERIFY2(months >= 11, qPrintable(dateAxis.captured(1)));
    }

    void screenshotShowsChart() {
        QTemporaryDir dir;
        const QString png = dir.filePath("details.png");
        const BrowserRun run = runChromium(chromium_, {"--screenshot=" + png, "--window-size=1000,700"}, address_);
        QVERIFY2(run.finished, run.err.right(2000).constData());
        QImage image(png);
        QVERIFY2(!image.isNull(), qPrintable(png));
        QCOMPARE(image.size(), QSize(1000, 700));
        // The price line (#1d4f91) and the shaded area under it (#e6edf6) are drawn.
        const int line = pixelsNear(image, QColor(0x1d, 0x4f, 0x91), 60);
        const int area = pixelsNear(image, QColor(0xe6, 0xed, 0xf6), 6);
        QVERIFY2(line > 300, qPrintable(QString::number(line)));
        QVERIFY2(area > 5000, qPrintable(QString::number(area)));
    }
};

QTEST_MAIN(DetailsBrowserTest)
#include "test_details_browser.moc"
