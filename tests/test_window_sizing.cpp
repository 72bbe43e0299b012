// Window Sizing: Rescale(M, D) over a window's controls, the three sizes of the main window
// and every change between them, through the menu and through the handlers.
#include <QAction>
#include <QImage>
#include <QLabel>
#include <QLayout>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QtTest>
#include <cmath>

#include "app/form_quote.h"
#include "app/window_size.h"
#include "gui_support/tickwell_windows.h"
#include "platform/fonts.h"
#include "platform/rescale.h"
#include "platform/string_grid.h"
#include "parsing/quote_table.h"

using Ratio = QPoint; // x / y, the M and D of one Rescale
using Ratios = QList<Ratio>;

namespace {
TFormQuote& form() {
    return TickwellWindows();
}

// Nearest integer of v * m / d, halves away from zero.
int nearest(int v, int m, int d) {
    return int(std::lround(double(v) * m / d));
}

QRect scaled(const QRect& r, int m, int d) {
    const int left = nearest(r.left(), m, d);
    const int top = nearest(r.top(), m, d);
    return QRect(left, top, nearest(r.left() + r.width(), m, d) - left, nearest(r.top() + r.height(), m, d) - top);
}

QRect scaled(QRect r, const Ratios& ratios) {
    for (const Ratio& ratio : ratios)
        r = scaled(r, ratio.x(), ratio.y());
    return r;
}

// A font's pixel height after scaling its size in whole points.
int scaledPixels(int pixels, const Ratios& ratios) {
    int points = nearest(pixels, 72, 96);
    for (const Ratio& ratio : ratios)
        points = nearest(points, ratio.x(), ratio.y());
    return nearest(points, 96, 72);
}

// The controls placed on the three tab sheets.
QList<QWidget*> sheetControls() {
    QList<QWidget*> controls;
    for (QWidget* sheet : {form().Quotes, form().RealTime, form().Historical})
        for (QWidget* child : sheet->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (!child->objectName().isEmpty())
                controls << child;
    return controls;
}

QMap<QString, QRect> geometries() {
    QMap<QString, QRect> result;
    for (QWidget* control : sheetControls())
        result[control->objectName()] = control->geometry();
    return result;
}

// Controls with a font of their own; the others follow the window's font.
const QStringList OwnFonts = {"Label16",  "Label3",    "Label4",       "Label5",  "Label6",  "Label7",   "Label8",
                              "Label9",   "Label10",   "Label11",      "Label12", "Label13", "Label14",  "Label15",
                              "CheckBox", "CheckBox3", "StaticText12", "QT1",     "RT1",     "DisplayQR"};

QMap<QString, int> fontPixels() {
    QMap<QString, int> result;
    for (QWidget* control : sheetControls())
        result[control->objectName()] = control->font().pixelSize();
    result["FormQuote"] = form().font().pixelSize();
    return result;
}

QAction* item(const QString& name) {
    TFormQuote& f = form();
    return name == "Reduced" ? f.Reduced1 : name == "Enlarged" ? f.Enlarged1 : f.Normal;
}

void choose(const QString& size, bool viaMenu) {
    TFormQuote& f = form();
    if (viaMenu)
        item(size)->trigger();
    else if (size == "Reduced")
        f.Reduced1Click();
    else if (size == "Enlarged")
        f.Enlarged1Click();
    else
        f.NormalClick();
}

QStringList checkedItems() {
    QStringList checked;
    for (const char* name : {"Reduced", "Normal", "Enlarged"})
        if (item(name)->isChecked())
            checked << name;
    return checked;
}

QSize expectedWindowSize(const QString& size) {
    const int percent = size == "Reduced" ? 85 : size == "Enlarged" ? 115 : 100;
    return QSize(form().NormalWidth * percent / 100, form().NormalHeight * percent / 100);
}

// Paints both grids, so that their column widths follow their current widths.
void paintGrids() {
    TFormQuote& f = form();
    f.PgC1->setCurrentWidget(f.RealTime);
    f.RT1->grab();
    f.PgC1->setCurrentWidget(f.Quotes);
    f.QT1->grab();
}

QList<int> expectedColumns(int gridWidth, const QList<int>& weights, int margin, int divisor) {
    QList<int> widths;
    for (int weight : weights)
        widths << (gridWidth - margin) * weight / divisor;
    return widths;
}

QList<int> columnWidths(const TStringGrid* grid) {
    QList<int> widths;
    for (int col = 0; col < 7; ++col)
        widths << grid->ColWidth(col);
    return widths;
}

// Cell (0, 0) of QT1 as its draw handler paints it into a 60 x 16 rectangle.
QImage quoteCell() {
    QImage image(60, 16, QImage::Format_RGB32);
    QPainter painter(&image);
    form().QT1DrawCell(0, 0, image.rect(), painter);
    return image;
}

// The headless platform reports every change of the window's size limits; nothing to see.
QtMessageHandler testHandler = nullptr;
void quietSizeHints(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (!message.contains("does not support propagateSizeHints"))
        testHandler(type, context, message);
}

bool withinOnePixel(const QRect& a, const QRect& b) {
    return std::abs(a.left() - b.left()) <= 1 && std::abs(a.top() - b.top()) <= 1 &&
           std::abs(a.right() - b.right()) <= 1 && std::abs(a.bottom() - b.bottom()) <= 1;
}
} // namespace

class WindowSizingTest : public QObject {
    Q_OBJECT
private:
    QImage normalCell_;

private slots:
    void initTestCase() {
        testHandler = qInstallMessageHandler(quietSizeHints);
        TFormQuote& f = form();
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        f.QT1->setCell(0, 0, "MSFT");
        QuotePctChanges[0] = -1.0f;
        normalCell_ = quoteCell();
        QCOMPARE(checkedItems(), QStringList{"Normal"});
        QCOMPARE(sheetControls().size(), 50); // 28 on Quotes, 15 on RealTime, 7 on Portfolios
    }

    void cleanup() {
        form().NormalClick();
        QCOMPARE(checkedItems(), QStringList{"Normal"});
    }

    void scaledWindowSize_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("percent");
        QTest::addColumn<QSize>("expected");
        QTest::newRow("649 x 580 at 85") << QSize(649, 580) << 85 << QSize(551, 493);
        QTest::newRow("649 x 580 at 115") << QSize(649, 580) << 115 << QSize(746, 667);
        QTest::newRow("641 x 541 at 85") << QSize(641, 541) << 85 << QSize(544, 459);
        QTest::newRow("641 x 541 at 115") << QSize(641, 541) << 115 << QSize(737, 622);
        QTest::newRow("at 100") << QSize(649, 580) << 100 << QSize(649, 580);
    }
    void scaledWindowSize() {
        QFETCH(QSize, size);
        QFETCH(int, percent);
        QFETCH(QSize, expected);
        QCOMPARE(ScaledWindowSize(size, percent), expected);
    }

    // Every control at every depth, own fonts and the window's font; the window's own size
    // and controls laid out by their parent are left to the window.
    void rescaleTree_data() {
        QTest::addColumn<int>("M");
        QTest::addColumn<int>("D");
        QTest::addColumn<QList<QRect>>("rects"); // Panel, Inner, Deep, Box
        QTest::addColumn<int>("windowFont");
        QTest::addColumn<int>("ownFont");
        QTest::newRow("80/100") << 80 << 100
                                << QList<QRect>{{4, 4, 81, 41}, {2, 6, 8, 8}, {1, 1, 2, 2}, {160, 8, 80, 80}} << 8 << 9;
        QTest::newRow("115/100") << 115 << 100
                                 << QList<QRect>{{6, 6, 116, 58}, {3, 8, 12, 12}, {1, 1, 4, 4}, {230, 12, 115, 115}}
                                 << 12 << 13;
        QTest::newRow("1/2, halves away from zero")
            << 1 << 2 << QList<QRect>{{3, 3, 50, 25}, {2, 4, 5, 5}, {1, 1, 1, 1}, {100, 5, 50, 50}} << 5 << 7;
        QTest::newRow("100/80") << 100 << 80
                                << QList<QRect>{{6, 6, 127, 64}, {4, 9, 12, 12}, {1, 1, 4, 4}, {250, 13, 125, 125}}
                                << 13 << 15;
    }
    void rescaleTree() {
        QFETCH(int, M);
        QFETCH(int, D);
        QFETCH(QList<QRect>, rects);
        QFETCH(int, windowFont);
        QFETCH(int, ownFont);
        QWidget window;
        window.setFont(pixelFont("MS Sans Serif", 11));
        window.resize(400, 300);
        auto named = [](QWidget* widget, const char* name, QRect place) {
            widget->setObjectName(name);
            widget->setGeometry(place);
            return widget;
        };
        QWidget* panel = named(new QWidget(&window), "Panel", {5, 5, 101, 51});
        QWidget* inner = named(new QWidget(panel), "Inner", {3, 7, 10, 10});
        QWidget* deep = named(new QLabel("x", inner), "Deep", {1, 1, 3, 3});
        deep->setFont(pixelFont("MS Sans Serif", 12, true));
        QWidget* plain = named(new QPushButton("p", inner), "Plain", {2, 2, 5, 5});
        QWidget* box = named(new QWidget(&window), "Box", {200, 10, 100, 100});
        auto* layout = new QVBoxLayout(box);
        QWidget* filler = named(new QWidget, "Filler", {0, 0, 1, 1});
        layout->addWidget(filler);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        Rescale(&window, M, D);
        layout->activate();
        QCOMPARE(panel->geometry(), rects[0]);
        QCOMPARE(inner->geometry(), rects[1]);
        QCOMPARE(deep->geometry(), rects[2]);
        QCOMPARE(box->geometry(), rects[3]);
        QCOMPARE(filler->geometry(), layout->contentsRect());
        QCOMPARE(window.size(), QSize(400, 300));
        QCOMPARE(window.font().pixelSize(), windowFont);
        QCOMPARE(plain->font().pixelSize(), windowFont);
        QCOMPARE(deep->font().pixelSize(), ownFont);
        QVERIFY(deep->font().bold());
    }

    // The window font's sizes: 8 points (11 pixels) becomes 6 points (8 pixels) or
    // 9 points (12 pixels) and 8 points again back at Normal.
    void windowFont_data() {
        QTest::addColumn<QStringList>("path");
        QTest::addColumn<QList<int>>("pixels");
        QTest::newRow("Reduced, Normal") << QStringList{"Reduced", "Normal"} << QList<int>{8, 11};
        QTest::newRow("Enlarged, Normal") << QStringList{"Enlarged", "Normal"} << QList<int>{12, 11};
        QTest::newRow("Reduced, Enlarged, Reduced")
            << QStringList{"Reduced", "Enlarged", "Reduced"} << QList<int>{8, 12, 8};
    }
    void windowFont() {
        QFETCH(QStringList, path);
        QFETCH(QList<int>, pixels);
        QCOMPARE(form().font().pixelSize(), 11);
        for (int step = 0; step < path.size(); ++step) {
            choose(path[step], true);
            QCOMPARE(form().font().pixelSize(), pixels[step]);
            QCOMPARE(form().Button2->font().pixelSize(), pixels[step]);
        }
    }

    void transitions_data() {
        QTest::addColumn<QStringList>("path");
        QTest::addColumn<Ratios>("ratios");
        QTest::addColumn<bool>("viaMenu");
        const Ratio reduce(80, 100), enlarge(115, 100), fromReduced(100, 80), fromEnlarged(100, 115);
        const struct {
            const char* name;
            QStringList path;
            Ratios ratios;
        } rows[] = {
            {"Normal at start", {"Normal"}, {}},
            {"Reduced", {"Reduced"}, {reduce}},
            {"Enlarged", {"Enlarged"}, {enlarge}},
            {"Reduced twice", {"Reduced", "Reduced"}, {reduce}},
            {"Enlarged twice", {"Enlarged", "Enlarged"}, {enlarge}},
            {"Reduced, Normal", {"Reduced", "Normal"}, {reduce, fromReduced}},
            {"Enlarged, Normal", {"Enlarged", "Normal"}, {enlarge, fromEnlarged}},
            {"Reduced, Enlarged", {"Reduced", "Enlarged"}, {reduce, fromReduced, enlarge}},
            {"Enlarged, Reduced", {"Enlarged", "Reduced"}, {enlarge, fromEnlarged, reduce}},
            {"Reduced, Enlarged, Normal",
             {"Reduced", "Enlarged", "Normal"},
             {reduce, fromReduced, enlarge, fromEnlarged}},
            {"Enlarged, Reduced, Normal",
             {"Enlarged", "Reduced", "Normal"},
             {enlarge, fromEnlarged, reduce, fromReduced}},
        };
        for (const auto& row : rows) {
            QTest::addRow("%s, menu", row.name) << row.path << row.ratios << true;
            QTest::addRow("%s, handler", row.name) << row.path << row.ratios << false;
        }
    }
    void transitions() {
        QFETCH(QStringList, path);
        QFETCH(Ratios, ratios);
        QFETCH(bool, viaMenu);
        TFormQuote& f = form();
        const QMap<QString, QRect> before = geometries();
        const QMap<QString, int> fontsBefore = fontPixels();
        const QPoint position = f.pos();

        for (const QString& size : path)
            choose(size, viaMenu);
        const QString size = path.last();

        QCOMPARE(checkedItems(), QStringList{size});
        QCOMPARE(f.size(), expectedWindowSize(size));
        QCOMPARE(f.minimumSize(), f.size()); // the single fixed border is back
        QCOMPARE(f.maximumSize(), f.size());
        QCOMPARE(f.pos(), position);
        QCOMPARE(f.PgC1->width(), f.width()); // the page control fills the window

        const QMap<QString, QRect> after = geometries();
        for (auto it = before.cbegin(); it != before.cend(); ++it) {
            QCOMPARE(after[it.key()], scaled(it.value(), ratios));
            if (size == "Normal")
                QVERIFY2(withinOnePixel(after[it.key()], it.value()), qPrintable(it.key()));
        }

        const QMap<QString, int> fontsAfter = fontPixels();
        QCOMPARE(fontsAfter["FormQuote"], scaledPixels(fontsBefore["FormQuote"], ratios));
        for (auto it = fontsBefore.cbegin(); it != fontsBefore.cend(); ++it) {
            const bool own = OwnFonts.contains(it.key());
            const int expected = scaledPixels(own ? it.value() : fontsBefore["FormQuote"], ratios);
            QVERIFY2(fontsAfter[it.key()] == expected,
                     qPrintable(QString("%1: %2, expected %3").arg(it.key()).arg(fontsAfter[it.key()]).arg(expected)));
        }

        // The grids: columns follow the new widths, rows and the cells' 8-point font stay.
        paintGrids();
        QCOMPARE(columnWidths(f.QT1), expectedColumns(f.QT1->width(), {60, 100, 90, 10, 94, 86, 124}, 15, 564));
        QCOMPARE(columnWidths(f.RT1), expectedColumns(f.RT1->width(), {50, 82, 68, 110, 110, 68, 68}, 10, 554));
        for (int row = 0; row < f.QT1->RowCount(); ++row)
            QCOMPARE(f.QT1->rowHeight(row), 16);
        for (int row = 0; row < f.RT1->RowCount(); ++row)
            QCOMPARE(f.RT1->rowHeight(row), 12);
        QCOMPARE(quoteCell(), normalCell_);
    }

    // Reduced, then Normal: the window is exactly its recorded normal size again.
    void normalRestoresRecordedSize() {
        TFormQuote& f = form();
        QCOMPARE(f.size(), QSize(f.NormalWidth, f.NormalHeight));
        f.Reduced1->trigger();
        QCOMPARE(f.size(), QSize(f.NormalWidth * 85 / 100, f.NormalHeight * 85 / 100));
        f.Normal->trigger();
        QCOMPARE(f.size(), QSize(f.NormalWidth, f.NormalHeight));
        f.Enlarged1->trigger();
        QCOMPARE(f.size(), QSize(f.NormalWidth * 115 / 100, f.NormalHeight * 115 / 100));
        f.Reduced1->trigger();
        QCOMPARE(f.size(), QSize(f.NormalWidth * 85 / 100, f.NormalHeight * 85 / 100));
    }

    // The handlers know the current size from the check marks alone.
    void checkMarksAreTheState() {
        TFormQuote& f = form();
        const QMap<QString, QRect> designed = geometries();
        const QMap<QString, int> designedFonts = fontPixels();
        const QRect grid = f.QT1->geometry();
        f.Normal->setChecked(false);
        f.Enlarged1->setChecked(true);
        f.Reduced1->trigger(); // as from Enlarged: back by 100/115, then 80/100
        QCOMPARE(checkedItems(), QStringList{"Reduced"});
        QCOMPARE(f.size(), expectedWindowSize("Reduced"));
        QCOMPARE(f.QT1->geometry(), scaled(grid, {{100, 115}, {80, 100}}));
        f.Normal->trigger();
        QCOMPARE(f.QT1->geometry(), scaled(grid, {{100, 115}, {80, 100}, {100, 80}}));

        // Undo the hand-made change for the tests that follow.
        for (QWidget* control : sheetControls()) {
            control->setGeometry(designed[control->objectName()]);
            if (OwnFonts.contains(control->objectName())) {
                QFont font = control->font();
                font.setPixelSize(designedFonts[control->objectName()]);
                control->setFont(font);
            }
        }
        QFont font = f.font();
        font.setPixelSize(designedFonts["FormQuote"]);
        f.setFont(font);
    }
};

QTEST_MAIN(WindowSizingTest)
#include "test_window_sizing.moc"
