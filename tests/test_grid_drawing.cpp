// The quote grids as painted: row backgrounds, text colours by direction, the found-row mark,
// the cell font and text offsets, column widths that follow the grid's width, and the row
// click that fills the details box. Pixels come from grabs of the grids in the shown window.
#include <QAction>
#include <QCheckBox>
#include <QImage>
#include <QLineEdit>
#include <QPaintEngine>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

#include "gui_support/load_fixture.h"
#include "gui_support/tickwell_windows.h"
#include "platform/fonts.h"
#include "platform/quote_grid.h"
#include "support/quoted_process.h"

namespace {
const QColor White(255, 255, 255);
const QColor Grey(212, 212, 212);
const QColor Yellow(255, 255, 0);

enum class Ink { None, Black, Green, Red, Other };

QString inkName(Ink ink) {
    switch (ink) {
    case Ink::None:
        return "none";
    case Ink::Black:
        return "black";
    case Ink::Green:
        return "green";
    case Ink::Red:
        return "red";
    case Ink::Other:
        break;
    }
    return "other";
}

int distance(QColor a, QColor b) {
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue());
}

// The colour of the text in a cell: the pixel that stands out most from the background.
Ink inkIn(const QImage& image, const QRect& cell, QColor background, QColor* strongest = nullptr) {
    QColor best = background;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x)
            if (distance(image.pixelColor(x, y), background) > distance(best, background))
                best = image.pixelColor(x, y);
    if (strongest)
        *strongest = best;
    if (distance(best, background) < 120)
        return Ink::None;
    const int r = best.red(), g = best.green(), b = best.blue();
    if (r - g > 100 && r - b > 100)
        return Ink::Red;
    if (g - r > 60 && g - b > 60)
        return Ink::Green;
    if (std::max({r, g, b}) < 100 && std::max({r, g, b}) - std::min({r, g, b}) < 30)
        return Ink::Black;
    return Ink::Other;
}

QuoteGrid* grid(const QString& name) {
    return control<QuoteGrid>(name);
}

QLineEdit* box(const char* name) {
    return control<QLineEdit>(name);
}

QPushButton* findButton() {
    return control<QPushButton>("Button2");
}

void showGridTab(QuoteGrid* grid) {
    showTab(grid->objectName() == "QT1" ? "Quotes" : "RealTime");
}

// The visible part of a cell in the coordinates of the grid's grab (RT1's last column runs
// on under the scroll bar).
QRect cellRect(QuoteGrid* grid, int col, int row) {
    const QRect viewport = grid->viewport()->geometry();
    return grid->visualRect(grid->model()->index(row, col)).translated(viewport.topLeft()).intersected(viewport);
}

QImage grabGrid(QuoteGrid* grid) {
    showGridTab(grid);
    return grid->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// A point of the cell left of where its text starts.
QColor backgroundOf(const QImage& image, const QRect& cell) {
    return image.pixelColor(cell.left() + 1, cell.top() + cell.height() / 2);
}

// A row of QT1: the table's symbol and change, and the cells the grid shows.
void setQuoteRow(int row, const QString& symbol, float pct) {
    setQuoteTableRow(row, {symbol, QString(), pct});
    QuoteGrid* quotes = grid("QT1");
    const QStringList cells = {symbol, "4:00pm", "27.50", "", "-0.12", QString::number(pct, 'f', 2) + "%", "1,234"};
    for (int col = 0; col < cells.size(); ++col)
        quotes->setCell(col, row, cells[col]);
}

// A row of RT1: the table's directions, and the cells the grid shows.
void setRealTimeRow(int row, const QString& symbol, float trade, float afterHours) {
    setRealTimeDirections(row, trade, afterHours);
    const QStringList cells = {symbol, "4:00pm", "27.50", "0.12 (0.44%)", "0.05 (0.18%)", "27.49", "27.51"};
    for (int col = 0; col < cells.size(); ++col)
        grid("RT1")->setCell(col, row, cells[col]);
}

// Whether a cell shows its whole text: its pixels are the text, or the text without its indent,
// painted by hand in Courier of some size at the cell's offsets, where that text fits the part of
// the cell that shows.
bool showsWhole(const QImage& image, const QRect& cell, QString text, QColor ink, int dx, int dy) {
    const QImage shown = image.copy(cell);
    const QRegularExpression nonBlank("\\S");
    for (const QString& form : {text, text.mid(text.indexOf(nonBlank))}) {
        for (int pixels = 11; pixels >= 6; --pixels) {
            const QFont font = pixelFont("Courier", pixels);
            if (QFontMetricsF(font).horizontalAdvance(form.left(form.lastIndexOf(nonBlank) + 1)) > cell.width() - dx)
                continue;
            QImage expected(cell.size(), QImage::Format_RGB32);
            expected.fill(backgroundOf(image, cell));
            QPainter painter(&expected);
            painter.setFont(font);
            painter.setPen(ink);
            painter.drawText(QRect(dx, dy, cell.width() - dx, cell.height() + 4), Qt::AlignLeft | Qt::AlignTop, form);
            painter.end();
            if (expected == shown)
                return true;
        }
    }
    return false;
}

// A palette as a dark desktop theme gives it, with no stripe colour of its own (AlternateBase as Base).
QPalette darkPalette() {
    const QColor text(238, 238, 236), window(53, 53, 53), base(45, 45, 45);
    QPalette dark(text, window, window.lighter(), window.darker(), window, text, Qt::white, base, window);
    dark.setColor(QPalette::AlternateBase, base);
    return dark;
}

// The palette takes effect as a desktop's change of theme does, on the next turn of the event loop.
void usePalette(const QPalette& palette) {
    QApplication::setPalette(palette);
    QCoreApplication::sendPostedEvents();
}

// The contrast of the text painted in a part of a grab: its strongest pixel against the background.
double contrastIn(const QImage& image, const QRect& part, QColor background) {
    auto luminance = [](QColor c) {
        auto linear = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF()) + 0.05;
    };
    double best = 1;
    for (int y = part.top(); y <= part.bottom(); ++y)
        for (int x = part.left(); x <= part.right(); ++x) {
            const double a = luminance(image.pixelColor(x, y)), b = luminance(background);
            best = std::max(best, std::max(a, b) / std::min(a, b));
        }
    return best;
}

QList<int> widthsOf(QuoteGrid* grid) {
    QList<int> widths;
    for (int col = 0; col < grid->colCount(); ++col)
        widths << grid->colWidth(col);
    return widths;
}
} // namespace

class GridDrawingTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        tickwellWindow().show();
        QVERIFY(QTest::qWaitForWindowExposed(&tickwellWindow()));
        QCOMPARE(grid("QT1")->width(), 587);
        QCOMPARE(grid("RT1")->width(), 576);
    }

    void init() {
        for (int row = 0; row < 20; ++row) {
            setQuoteRow(row, "", 0.0f);
            setRealTimeRow(row, "", 0.0f, 0.0f);
        }
        findButton()->setEnabled(true);
        box("Edit2")->clear();
        grid("QT1")->setCurrentRow(0);
        grid("RT1")->setCurrentRow(0);
        box("Edit1")->clear();
        showGridTab(grid("QT1"));
    }

    void cleanup() {
        control<QAction>("Normal")->trigger();
        grid("QT1")->setRowCount(40);
        grid("RT1")->setRowCount(45);
    }

    void rowBackgrounds_data() {
        QTest::addColumn<QString>("grid");
        for (const char* grid : {"QT1", "RT1"})
            QTest::newRow(grid) << QString(grid);
    }
    void rowBackgrounds() {
        QFETCH(QString, grid);
        QuoteGrid* g = ::grid(grid);
        // Rows with text and rows without: the background depends on the row number only.
        for (int row = 0; row < 4; ++row) {
            if (grid == "QT1")
                setQuoteRow(row, row < 2 ? "IBM" : "", row == 1 ? -1.0f : 1.0f);
            else
                setRealTimeRow(row, row < 2 ? "IBM" : "", 1.0f, -1.0f);
        }
        const QImage image = grabGrid(g);
        for (int row = 0; row < 6; ++row) {
            const QColor expected = row % 2 ? Grey : White;
            for (int col = 0; col < 7; ++col) {
                const QRect cell = cellRect(g, col, row);
                QCOMPARE(backgroundOf(image, cell), expected);
                QCOMPARE(image.pixelColor(cell.right(), cell.bottom()), expected);
            }
        }
    }

    void quoteTextColour_data() {
        QTest::addColumn<float>("pct");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("ink");
        QTest::newRow("0.00 on white") << 0.0f << 0 << int(Ink::Green);
        QTest::newRow("0.00 on grey") << 0.0f << 1 << int(Ink::Green);
        QTest::newRow("-0.01 on white") << -0.01f << 2 << int(Ink::Red);
        QTest::newRow("-0.01 on grey") << -0.01f << 3 << int(Ink::Red);
        QTest::newRow("rising") << 3.25f << 4 << int(Ink::Green);
        QTest::newRow("falling far") << -45.0f << 5 << int(Ink::Red);
    }
    void quoteTextColour() {
        QFETCH(float, pct);
        QFETCH(int, row);
        QFETCH(int, ink);
        setQuoteRow(row, "MSFT", pct);
        // The neighbours take the other colour, so a colour read from the wrong row shows.
        setQuoteRow(row + 1, "KO", pct < 0 ? 1.0f : -1.0f);
        if (row > 0)
            setQuoteRow(row - 1, "KO", pct < 0 ? 1.0f : -1.0f);
        const QImage image = grabGrid(grid("QT1"));
        for (int col : {0, 1, 2, 4, 5, 6}) {
            const QRect cell = cellRect(grid("QT1"), col, row);
            QColor seen;
            const Ink found = inkIn(image, cell, backgroundOf(image, cell), &seen);
            QVERIFY2(found == Ink(ink),
                     qPrintable(QString("column %1: %2 %3").arg(col).arg(inkName(found), seen.name())));
        }
        // The spacer column is never written.
        const QRect spacer = cellRect(grid("QT1"), 3, row);
        QCOMPARE(inkIn(image, spacer, backgroundOf(image, spacer)), Ink::None);
    }

    // A "symbol not found" row stores a change of 0 and is drawn like an unchanged issue.
    void symbolNotFoundRowIsGreen() {
        setQuoteRow(2, "ZZZZ", 0.0f);
        grid("QT1")->setCell(1, 2, "symbol not found");
        const QImage image = grabGrid(grid("QT1"));
        const QRect cell = cellRect(grid("QT1"), 1, 2);
        QCOMPARE(inkIn(image, cell, White), Ink::Green);
    }

    void realTimeTextColour_data() {
        QTest::addColumn<float>("trade");
        QTest::addColumn<float>("afterHours");
        QTest::addColumn<int>("changeInk");
        QTest::addColumn<int>("afterHoursInk");
        QTest::newRow("trade -1") << -1.0f << 0.0f << int(Ink::Red) << int(Ink::Black);
        QTest::newRow("trade -100 unknown") << -100.0f << -100.0f << int(Ink::Black) << int(Ink::Black);
        QTest::newRow("trade up, after hours down") << 1.0f << -1.0f << int(Ink::Green) << int(Ink::Red);
        QTest::newRow("unchanged") << 0.0f << 0.0f << int(Ink::Black) << int(Ink::Black);
        QTest::newRow("-50 is not red") << -50.0f << -49.5f << int(Ink::Black) << int(Ink::Red);
        QTest::newRow("after hours up") << 0.0f << 1.0f << int(Ink::Black) << int(Ink::Green);
    }
    void realTimeTextColour() {
        QFETCH(float, trade);
        QFETCH(float, afterHours);
        QFETCH(int, changeInk);
        QFETCH(int, afterHoursInk);
        for (int row : {2, 3}) {
            setRealTimeRow(row - 1, "KO", 1.0f, 1.0f);
            setRealTimeRow(row, "MSFT", trade, afterHours);
            setRealTimeRow(row + 1, "KO", -1.0f, 1.0f);
            const QImage image = grabGrid(grid("RT1"));
            for (int col = 0; col < 7; ++col) {
                const Ink expected = col == 3 ? Ink(changeInk) : col == 4 ? Ink(afterHoursInk) : Ink::Black;
                const QRect cell = cellRect(grid("RT1"), col, row);
                QColor seen;
                const Ink found = inkIn(image, cell, backgroundOf(image, cell), &seen);
                QVERIFY2(
                    found == expected,
                    qPrintable(QString("row %1 column %2: %3 %4").arg(row).arg(col).arg(inkName(found), seen.name())));
            }
        }
    }

    // The handler's font, offsets and colours: each cell as the grid shows it equals a cell
    // painted by hand with Courier 8 point (11 pixels) at the designed offsets; in italics on a
    // row that holds an earlier load's values.
    void cellFontAndOffsets_data() {
        QTest::addColumn<QString>("grid");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("family");
        QTest::addColumn<int>("dx");
        QTest::addColumn<int>("dy");
        QTest::addColumn<QColor>("ink");
        QTest::newRow("QT1 white") << "QT1" << 0 << "Courier" << 4 << 0 << QColor(0, 100, 0);
        QTest::newRow("QT1 grey") << "QT1" << 1 << "Courier" << 4 << 0 << QColor(176, 0, 0);
        QTest::newRow("RT1 white") << "RT1" << 0 << "Courier New" << 2 << -1 << QColor(0, 0, 0);
        QTest::newRow("RT1 grey") << "RT1" << 1 << "Courier New" << 2 << -1 << QColor(0, 0, 0);
        QTest::newRow("QT1 grey, stale") << "QT1" << 1 << "Courier" << 4 << 0 << QColor(176, 0, 0);
        QTest::newRow("RT1 white, stale") << "RT1" << 0 << "Courier New" << 2 << -1 << QColor(0, 0, 0);
    }
    void cellFontAndOffsets() {
        QFETCH(QString, grid);
        QFETCH(int, row);
        QFETCH(QString, family);
        QFETCH(int, dx);
        QFETCH(int, dy);
        QFETCH(QColor, ink);
        const bool stale = QByteArray(QTest::currentDataTag()).endsWith("stale");
        QuoteGrid* g = ::grid(grid);
        setQuoteRow(row, "MSFT", row == 0 ? 0.5f : -0.5f);
        setRealTimeRow(row, "MSFT", 0.0f, 0.0f);
        g->setStaleRows(stale ? row : 0, stale ? row + 1 : 0);
        const QImage image = grabGrid(g);
        g->setStaleRows(0, 0);
        const QRect cell = cellRect(g, 0, row);

        QImage expected(cell.size(), QImage::Format_RGB32);
        expected.fill(row % 2 ? Grey : White);
        QPainter painter(&expected);
        QFont font(family);
        font.setPixelSize(11);
        font.setItalic(stale);
        painter.setFont(font);
        painter.setPen(ink);
        painter.drawText(QRect(dx, dy, cell.width() - dx, cell.height() + 4), Qt::AlignLeft | Qt::AlignTop, "MSFT");
        painter.end();

        const QImage shown = image.copy(cell);
        QCOMPARE(shown.size(), expected.size());
        int differing = 0;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                differing += shown.pixel(x, y) != expected.pixel(x, y);
        QVERIFY2(differing == 0, qPrintable(QString("%1 pixels differ").arg(differing)));
    }

    void foundRowMark_data() {
        QTest::addColumn<int>("current");
        QTest::addColumn<bool>("searching");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("firstSymbol");
        QTest::addColumn<bool>("yellow");
        QTest::newRow("row 7 during a search") << 7 << true << "IBM"
                                               << "MSFT" << true;
        QTest::newRow("row 7 after the search") << 7 << false << "IBM"
                                                << "MSFT" << false;
        QTest::newRow("row 2 during a search") << 2 << true << ""
                                               << "MSFT" << true;
        QTest::newRow("row 0, ab marks ABC") << 0 << true << "ab"
                                             << "ABC" << true;
        QTest::newRow("row 0, ABC marks abc") << 0 << true << "ABC"
                                              << "abc" << true;
        QTest::newRow("row 0, whole symbol") << 0 << true << "msft"
                                             << "MSFT" << true;
        QTest::newRow("row 0, ab does not mark A") << 0 << true << "ab"
                                                   << "A" << false;
        QTest::newRow("row 0, abd does not mark ABC") << 0 << true << "abd"
                                                      << "ABC" << false;
        QTest::newRow("row 0, IBM does not mark MSFT") << 0 << true << "IBM"
                                                       << "MSFT" << false;
        QTest::newRow("row 0 after the search") << 0 << false << "ab"
                                                << "ABC" << false;
    }
    void foundRowMark() {
        QFETCH(int, current);
        QFETCH(bool, searching);
        QFETCH(QString, key);
        QFETCH(QString, firstSymbol);
        QFETCH(bool, yellow);
        setQuoteRow(0, firstSymbol, 1.0f);
        for (int row = 1; row < 10; ++row)
            setQuoteRow(row, "S" + QString::number(row), row == 4 ? -1.0f : 1.0f);
        box("Edit2")->setText(key);
        grid("QT1")->setCurrentRow(current);
        findButton()->setEnabled(!searching);
        const QImage image = grabGrid(grid("QT1"));
        findButton()->setEnabled(true);
        for (int row = 0; row < 10; ++row) {
            const QColor normal = row % 2 ? Grey : White;
            const QColor expected = row == current && yellow ? Yellow : normal;
            for (int col = 0; col < 7; ++col)
                QCOMPARE(backgroundOf(image, cellRect(grid("QT1"), col, row)), expected);
        }
        // The mark changes the background, never the text colour.
        const QRect cell = cellRect(grid("QT1"), 0, current);
        QCOMPARE(inkIn(image, cell, backgroundOf(image, cell)), Ink::Green);
    }

    // Every text of the grids reads at 4.5:1 or better on its row in a light and in a dark palette; in the
    // dark one the rows, stripes and the texts around the grids follow the palette.
    void readableInEitherPalette_data() {
        QTest::addColumn<bool>("dark");
        QTest::addColumn<QString>("what"); // a grid, or a text as "window/name"
        QTest::addColumn<float>("change"); // QT1's percent change, RT1's trade direction (-100 unknown)
        for (bool dark : {false, true})
            for (auto [grid, change] :
                 {std::pair{"QT1", 1.0f}, {"QT1", -1.0f}, {"RT1", 1.0f}, {"RT1", -1.0f}, {"RT1", -100.0f}})
                QTest::addRow("%s %s %g", dark ? "dark" : "light", grid, change) << dark << grid << change;
        for (const char* text :
             {"FormQuote/AdvLabel", "FormQuote/Label1", "FormQuote/Label2", "About Tickwell/AboutFormText1",
              "About Tickwell/AboutFormText4", "FormQuote/RichEdit3", "Automatic Refresh/RichEdit1"})
            QTest::addRow("dark %s", text) << true << text << 0.0f;
    }
    void readableInEitherPalette() {
        QFETCH(bool, dark);
        QFETCH(QString, what);
        QFETCH(float, change);
        const QPalette light = QApplication::palette();
        if (dark)
            usePalette(darkPalette());
        QImage image;
        QList<QPair<QRect, QColor>> texts; // where a text is, and its background
        if (what.contains('/')) {
            QWidget* text = control(what.section('/', 0, 0), what.section('/', 1));
            if (auto* box = qobject_cast<QAbstractScrollArea*>(text))
                text = box->viewport();
            image = text->grab().toImage().convertToFormat(QImage::Format_RGB32);
            texts << qMakePair(image.rect(), image.pixelColor(image.width() - 1, image.height() - 1));
        } else {
            for (int row = 0; row < 3; ++row) {
                setQuoteRow(row, "MSFT", change);
                setRealTimeRow(row, "MSFT", change, change);
            }
            grid(what)->setCurrentRow(2); // on QT1 the found row
            findButton()->setEnabled(false);
            image = grabGrid(grid(what));
            findButton()->setEnabled(true);
            for (int row = 0; row < 3; ++row) {
                const QRect cell = cellRect(grid(what), what == "QT1" ? 0 : 3, row);
                texts << qMakePair(cell, backgroundOf(image, cell));
                if (change > -50) // still green or red
                    QCOMPARE(inkIn(image, cell, texts.last().second), change > 0 ? Ink::Green : Ink::Red);
            }
            if (dark) // the palette's base colour and a stripe of its own
                QVERIFY(texts[0].second == darkPalette().base().color() && texts[1].second != texts[0].second);
        }
        usePalette(light);
        for (const auto& [part, background] : texts) {
            QCOMPARE(background.lightness() < 128, dark);
            const double contrast = contrastIn(image, part, background);
            QVERIFY2(contrast >= 4.5, qPrintable(QString("%1:1 on %2").arg(contrast).arg(background.name())));
        }
    }

    // RT1 has no found-row mark.
    void realTimeGridHasNoMark() {
        for (int row = 0; row < 5; ++row)
            setRealTimeRow(row, "R" + QString::number(row), 1.0f, 1.0f);
        grid("RT1")->setCurrentRow(3);
        box("Edit2")->setText("r");
        findButton()->setEnabled(false);
        const QImage image = grabGrid(grid("RT1"));
        findButton()->setEnabled(true);
        for (int row : {0, 3})
            QCOMPARE(backgroundOf(image, cellRect(grid("RT1"), 1, row)), row % 2 ? Grey : White);
    }

    // A search paints the found row yellow while it runs; the next paint after it has ended
    // gives the row its normal background.
    void foundRowDuringSearch() {
        QList<QuoteRow> rows; // ten rows stored, as a load leaves them
        for (int row = 0; row < 10; ++row) {
            setQuoteRow(row, "S" + QString::number(row), 1.0f);
            rows.append({"S" + QString::number(row), QString(), 1.0f});
        }
        setQuoteTable(rows);
        // The key typed as a user types it; the grid's paints due so far are done now, so that only
        // the paints from the click on "Find symbol" on are looked at.
        QTest::mouseClick(box("Edit2"), Qt::LeftButton);
        QTest::keyClicks(box("Edit2"), "s7");
        grid("QT1")->repaintNow();
        QList<QColor> seen; // the background of row 7 on the window's own surface, per painted cell
        const auto original = grid("QT1")->drawCell();
        grid("QT1")->setDrawCell([&](int col, int row, const QRect& rect, QPainter& canvas) {
            original(col, row, rect, canvas);
            if (row != 7)
                return;
            QPaintDevice* surface = canvas.paintEngine()->paintDevice();
            if (surface->devType() != QInternal::Image)
                return;
            const QPoint spot = canvas.deviceTransform().map(QPoint(rect.left() + 1, rect.top() + rect.height() / 2));
            seen << static_cast<QImage*>(surface)->pixelColor(spot);
        });
        QTest::mouseClick(findButton(), Qt::LeftButton);
        grid("QT1")->setDrawCell(original);
        QCOMPARE(grid("QT1")->currentRow(), 7);
        QVERIFY2(!seen.isEmpty(), "row 7 was not painted during the search");
        for (const QColor& colour : seen)
            QCOMPARE(colour, Yellow);

        const QImage after = grabGrid(grid("QT1"));
        for (int col = 0; col < 7; ++col)
            QCOMPARE(backgroundOf(after, cellRect(grid("QT1"), col, 7)), Grey);
        setQuoteTable({});
    }

    void columnWidths_data() {
        QTest::addColumn<QString>("grid");
        QTest::addColumn<int>("width");
        QTest::addColumn<QList<int>>("widths");
        QTest::newRow("QT1 587") << "QT1" << 587 << QList<int>{60, 101, 91, 10, 95, 87, 125};
        QTest::newRow("RT1 576") << "RT1" << 576 << QList<int>{51, 83, 69, 112, 112, 69, 69};
        // (W - 15) * weight / 564 and (W - 10) * weight / 554, fractions dropped.
        QTest::newRow("QT1 469") << "QT1" << 469 << QList<int>{48, 80, 72, 8, 75, 69, 99};
        QTest::newRow("QT1 675") << "QT1" << 675 << QList<int>{70, 117, 105, 11, 110, 100, 145};
        QTest::newRow("RT1 461") << "RT1" << 461 << QList<int>{40, 66, 55, 89, 89, 55, 55};
        QTest::newRow("RT1 662") << "RT1" << 662 << QList<int>{58, 96, 80, 129, 129, 80, 80};
    }
    void columnWidths() {
        QFETCH(QString, grid);
        QFETCH(int, width);
        QFETCH(QList<int>, widths);
        QuoteGrid* g = ::grid(grid);
        const QSize designed = g->size();
        g->resize(width, designed.height());
        grabGrid(g);
        const QList<int> shown = widthsOf(g);
        g->resize(designed);
        grabGrid(g);
        QCOMPARE(shown, widths);
    }

    // Six-figure prices, long changes and eleven-digit volumes of a load, sorted on the Quotes tab:
    // in every window size each cell holds them whole and paints them whole where it shows.
    void valuesShowWhole() {
        LoadFolder folder;
        folder.writePortfolio({"symbol,last,change,volume,time,bid,ask,after_hours_change",
                               "BIGD,999999.99,-12345.67,12345678901,,999999.98,999999.99,-1234.56",
                               "BIG,712345.67,1234.56,99999999999,11:30,712345.60,712345.70,12345.67"},
                              "quotes.csv");
        QuotedProcess server({"--quotes", folder.path("quotes.csv")});
        useQuoteServer(server.port());
        folder.writePortfolio({"BIGD", "BIG"});
        QTest::mouseClick(control<QCheckBox>("CheckBox1"), Qt::LeftButton); // the rows refilled from the table
        const bool loaded = runDelayedLoad() && runRealTimeLoad();
        QTest::mouseClick(control<QCheckBox>("CheckBox1"), Qt::LeftButton);
        QVERIFY(loaded);
        const QList<QStringList> quotes = {
            {"BIG    ", " 11:30AM ET", " 712,345.67 ", "", "   +1,234.56", "  +0.17%  ", " 99,999,999,999"},
            {"BIGD   ", " Unknown ET", " 999,999.99 ", "", "   -12,345.67", "  -1.22%  ", " 12,345,678,901"}};
        const QColor green = QColor(0, 100, 0), red = QColor(176, 0, 0), black(0, 0, 0);
        for (const char* size : {"Normal", "Reduced1", "Enlarged1"}) {
            control<QAction>(size)->trigger();
            for (QuoteGrid* g : {grid("QT1"), grid("RT1")}) {
                const bool isQuotes = g == grid("QT1");
                const QImage image = grabGrid(g);
                for (int row = 0; row < 2; ++row) {
                    for (int col = 0; col < 7; ++col) {
                        const QString text = g->cell(col, row);
                        if (isQuotes) // refilled from the table by the sort; RT1's cells are as the page gave them
                            QCOMPARE(text, quotes[row][col]);
                        const bool rising = isQuotes ? row == 0 : row == 1;
                        const QColor ink = isQuotes || col == 3 || col == 4 ? (rising ? green : red) : black;
                        QVERIFY2(
                            text.isEmpty() || showsWhole(image, cellRect(g, col, row), text, ink, isQuotes ? 4 : 2,
                                                         isQuotes ? 0 : -1),
                            qPrintable(QString("%1 %2 row %3 column %4").arg(size, g->objectName()).arg(row).arg(col)));
                    }
                }
            }
        }
    }

    // A width set by hand is replaced at the next painted cell.
    void columnWidthsRestoredAtNextPaint() {
        QuoteGrid* g = grid("QT1");
        grabGrid(g);
        g->setColWidth(1, 30);
        g->setColWidth(6, 300);
        grabGrid(g);
        QCOMPARE(widthsOf(g), QList<int>({60, 101, 91, 10, 95, 87, 125}));
    }

    void rowClickFillsEdit1_data() {
        QTest::addColumn<QString>("grid");
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("row");
        for (const char* grid : {"QT1", "RT1"}) {
            QTest::addRow("%s mouse", grid) << grid << "mouse" << 3;
            QTest::addRow("%s mouse on the current row", grid) << grid << "mouse" << 0;
            QTest::addRow("%s program", grid) << grid << "program" << 5;
            QTest::addRow("%s keyboard", grid) << grid << "keyboard" << 1;
        }
    }
    void rowClickFillsEdit1() {
        QFETCH(QString, grid);
        QFETCH(QString, how);
        QFETCH(int, row);
        QuoteGrid* g = ::grid(grid);
        for (int r = 0; r < 8; ++r) {
            setQuoteRow(r, "Q" + QString::number(r), 1.0f);
            setRealTimeRow(r, "R" + QString::number(r), 1.0f, 1.0f);
        }
        showGridTab(g);
        box("Edit1")->setText("before");
        if (how == "mouse")
            QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->visualRect(g->model()->index(row, 2)).center());
        else if (how == "program")
            g->setCurrentRow(row);
        else
            QTest::keyClick(g, Qt::Key_Down);
        QCOMPARE(g->currentRow(), row);
        QCOMPARE(box("Edit1")->text(), g->cell(0, row));
        QCOMPARE(box("Edit1")->text(), (grid == "QT1" ? "Q" : "R") + QString::number(row));
    }

    // Moving the program's row to where it already is raises no click.
    void unchangedRowLeavesEdit1() {
        setQuoteRow(0, "IBM", 1.0f);
        box("Edit1")->setText("KO");
        grid("QT1")->setCurrentRow(0);
        QCOMPARE(box("Edit1")->text(), QString("KO"));
    }
};

QTEST_MAIN(GridDrawingTest)
#include "test_grid_drawing.moc"
