// Window Sizing: scale(numerator, denominator) over a window's controls, the three sizes of the main window
// and every change between them, chosen from the menu by its items and by the mouse. The
// layouts expected after each change are fixed: the designed layout scaled by hand with the
// rule (nearest pixel, halves away from zero, fonts in whole points), recorded per change as
// its size, a spot to read and a checksum of every control's place and font.
#include <QAction>
#include <QImage>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QtTest>

#include "app/window_size.h"
#include "gui_support/load_fixture.h"
#include "gui_support/tickwell_windows.h"
#include "platform/fonts.h"
#include "platform/quote_grid.h"
#include "platform/rescale.h"

namespace {
const QStringList Sheets = {"Quotes", "RealTime", "Historical"};
const QMap<QString, QString> Items = {{"Reduced", "Reduced1"}, {"Normal", "Normal"}, {"Enlarged", "Enlarged1"}};

// The controls placed on the three tab sheets.
QList<QWidget*> sheetControls() {
    QList<QWidget*> controls;
    for (const QString& sheet : Sheets)
        for (QWidget* child : control(sheet)->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (!child->objectName().isEmpty())
                controls << child;
    return controls;
}

QString joined(const QList<int>& numbers) {
    QStringList texts;
    for (int n : numbers)
        texts << QString::number(n);
    return texts.join(',');
}

QList<int> columnWidths(const char* grid) {
    QList<int> widths;
    for (int col = 0; col < 7; ++col)
        widths << control<QuoteGrid>(grid)->colWidth(col);
    return widths;
}

// Paints both grids, so that their column widths follow their current widths.
void paintGrids() {
    showTab("RealTime");
    control<QuoteGrid>("RT1")->grab();
    showTab("Quotes");
    control<QuoteGrid>("QT1")->grab();
}

// One line per control, sorted: "name left,top,width,height font-pixels", a label's width as "-"
// (it follows its text); then the grids' column widths.
QString layoutListing() {
    QStringList lines;
    for (QWidget* control : sheetControls()) {
        const QRect place = control->geometry();
        const QString width = qobject_cast<QLabel*>(control) ? "-" : QString::number(place.width());
        lines << QString("%1 %2,%3,%4,%5 %6")
                     .arg(control->objectName())
                     .arg(place.left())
                     .arg(place.top())
                     .arg(width)
                     .arg(place.height())
                     .arg(control->font().pixelSize());
    }
    lines.sort();
    paintGrids();
    lines << "QT1 columns " + joined(columnWidths("QT1")) << "RT1 columns " + joined(columnWidths("RT1"));
    return lines.join('\n');
}

// A size chosen from the Window Sizing menu: by its item, or with the mouse through the menu bar.
bool choose(const QString& size, bool byMouse) {
    auto* item = control<QAction>(Items[size]);
    if (!byMouse) {
        item->trigger();
        return true;
    }
    auto* bar = control<QMenuBar>("MainMenu1");
    auto* menu = control<QMenu>("WindowSizing1");
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(menu->menuAction()).center());
    if (!QTest::qWaitFor([menu] { return menu->isVisible(); }, 2000))
        return false;
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
    return QTest::qWaitFor([menu] { return !menu->isVisible(); }, 2000);
}

QStringList checkedItems() {
    QStringList checked;
    for (const char* size : {"Reduced", "Normal", "Enlarged"})
        if (control<QAction>(Items[size])->isChecked())
            checked << size;
    return checked;
}

// The top left of cell (0, 0) of QT1 as the grid shows it, inside the first column at every size.
QImage quoteCell() {
    return control<QuoteGrid>("QT1")->viewport()->grab(QRect(0, 0, 48, 16)).toImage();
}

// The headless platform reports every change of the window's size limits and its popups'
// wishes; nothing to see.
QtMessageHandler testHandler = nullptr;
void quietPlatform(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (!message.contains("This plugin does not support"))
        testHandler(type, context, message);
}
} // namespace

class WindowSizingTest : public QObject {
    Q_OBJECT
private:
    QImage normalCell_;
    QMap<QString, QRect> designed_;
    QMap<QString, int> designedFonts_; // of the controls with a font of their own, and "" the window's

    // The designed layout back, for the next test to start from.
    void restoreDesignedLayout() {
        for (QWidget* control : sheetControls()) {
            control->setGeometry(designed_[control->objectName()]);
            if (designedFonts_.contains(control->objectName())) {
                QFont font = control->font();
                font.setPixelSize(designedFonts_[control->objectName()]);
                control->setFont(font);
            }
        }
        QFont font = tickwellWindow().font();
        font.setPixelSize(designedFonts_[""]);
        tickwellWindow().setFont(font);
    }

private slots:
    void initTestCase() {
        testHandler = qInstallMessageHandler(quietPlatform);
        QWidget& window = tickwellWindow();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.size(), QSize(641, 540)); // the sizes below are of this window
        control<QuoteGrid>("QT1")->setCell(0, 0, "MSFT");
        setQuoteTableRow(0, {"MSFT", "MSFT", -1.0f});
        normalCell_ = quoteCell();
        QCOMPARE(checkedItems(), QStringList{"Normal"});
        QCOMPARE(sheetControls().size(), 50); // 28 on Quotes, 15 on RealTime, 7 on Portfolios
        for (QWidget* control : sheetControls()) {
            designed_[control->objectName()] = control->geometry();
            if (control->testAttribute(Qt::WA_SetFont))
                designedFonts_[control->objectName()] = control->font().pixelSize();
        }
        designedFonts_[""] = window.font().pixelSize();
    }

    void cleanup() {
        control<QAction>("Normal")->trigger();
        QCOMPARE(checkedItems(), QStringList{"Normal"});
        restoreDesignedLayout();
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
        QCOMPARE(::scaledWindowSize(size, percent), expected);
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

        scale(&window, M, D);
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
        QCOMPARE(tickwellWindow().font().pixelSize(), 11);
        for (int step = 0; step < path.size(); ++step) {
            QVERIFY(choose(path[step], false));
            QCOMPARE(tickwellWindow().font().pixelSize(), pixels[step]);
            QCOMPARE(control("Button2")->font().pixelSize(), pixels[step]);
        }
    }

    void transitions_data() {
        QTest::addColumn<QStringList>("path");
        QTest::addColumn<int>("scalings"); // of the controls; a label's width may be off a pixel each time
        QTest::addColumn<QSize>("windowSize");
        QTest::addColumn<int>("windowFont");
        QTest::addColumn<QRect>("grid");   // QT1, to read
        QTest::addColumn<int>("checksum"); // CRC-16 (ISO 3309) of the layout listing
        QTest::addColumn<bool>("byMouse");
        const QSize normal(641, 540), reduced(544, 459), enlarged(737, 621);
        const QRect designed(16, 34, 587, 306), small(13, 27, 469, 245), large(18, 39, 675, 352);
        const struct {
            const char* name;
            QStringList path;
            int scalings;
            QSize windowSize;
            int windowFont;
            QRect grid;
            quint16 checksum;
        } rows[] = {
            {"Normal at start", {"Normal"}, 0, normal, 11, designed, 0xa4b1},
            {"Reduced", {"Reduced"}, 1, reduced, 8, small, 0x4958},
            {"Enlarged", {"Enlarged"}, 1, enlarged, 12, large, 0xc040},
            {"Reduced twice", {"Reduced", "Reduced"}, 1, reduced, 8, small, 0x4958},
            {"Enlarged twice", {"Enlarged", "Enlarged"}, 1, enlarged, 12, large, 0xc040},
            // Back at Normal, a control may sit a pixel off its designed place (RT1 at 33,33 575x365).
            {"Reduced, Normal", {"Reduced", "Normal"}, 2, normal, 11, designed, 0xecc9},
            {"Enlarged, Normal", {"Enlarged", "Normal"}, 2, normal, 11, designed, 0xa4b1},
            {"Reduced, Enlarged", {"Reduced", "Enlarged"}, 3, enlarged, 12, large, 0xdfc3},
            {"Enlarged, Reduced", {"Enlarged", "Reduced"}, 3, reduced, 8, small, 0x4958},
            {"Reduced, Enlarged, Normal", {"Reduced", "Enlarged", "Normal"}, 4, normal, 11, designed, 0xecc9},
            {"Enlarged, Reduced, Normal", {"Enlarged", "Reduced", "Normal"}, 4, normal, 11, designed, 0xecc9},
        };
        for (const auto& row : rows) {
            QTest::addRow("%s, menu item", row.name) << row.path << row.scalings << row.windowSize << row.windowFont
                                                     << row.grid << int(row.checksum) << false;
            QTest::addRow("%s, mouse", row.name) << row.path << row.scalings << row.windowSize << row.windowFont
                                                 << row.grid << int(row.checksum) << true;
        }
    }
    void transitions() {
        QFETCH(QStringList, path);
        QFETCH(int, scalings);
        QFETCH(QSize, windowSize);
        QFETCH(int, windowFont);
        QFETCH(QRect, grid);
        QFETCH(int, checksum);
        QFETCH(bool, byMouse);
        QWidget& window = tickwellWindow();
        const QPoint position = window.pos();
        QMap<QString, int> labelWidths;
        for (QWidget* control : sheetControls())
            if (qobject_cast<QLabel*>(control))
                labelWidths[control->objectName()] = control->width();

        for (const QString& size : path)
            QVERIFY(choose(size, byMouse));
        const QString size = path.last();

        QCOMPARE(checkedItems(), QStringList{size});
        QCOMPARE(window.size(), windowSize);
        QCOMPARE(window.minimumSize(), window.size()); // the single fixed border is back
        QCOMPARE(window.maximumSize(), window.size());
        QCOMPARE(window.pos(), position);
        QCOMPARE(control("PgC1")->width(), window.width()); // the page control fills the window
        QCOMPARE(window.font().pixelSize(), windowFont);
        QCOMPARE(control("QT1")->geometry(), grid);
        const QString listing = layoutListing();
        QVERIFY2(qChecksum(listing.toUtf8()) == checksum, qPrintable(listing));

        // A label's width follows its text (in the font at hand), and the size: within a pixel for
        // each scaling.
        const int percent = size == "Reduced" ? 80 : size == "Enlarged" ? 115 : 100;
        for (auto it = labelWidths.cbegin(); it != labelWidths.cend(); ++it) {
            const int width = control(it.key())->width();
            QVERIFY2(std::abs(width * 100 - it.value() * percent) <= 100 * scalings,
                     qPrintable(QString("%1: %2 wide, %3 at Normal").arg(it.key()).arg(width).arg(it.value())));
        }

        // The grids' rows stay, and the cells' 8-point font but in Reduced, where they take the
        // window's smaller font as the columns shrink.
        for (const char* name : {"QT1", "RT1"}) {
            auto* g = control<QuoteGrid>(name);
            for (int row = 0; row < g->rowCount(); ++row)
                QCOMPARE(g->rowHeight(row), name == QString("QT1") ? 16 : 12);
        }
        QCOMPARE(quoteCell() == normalCell_, size != "Reduced");
    }

    // Reduced, then Normal: the window is exactly its size at start again.
    void normalRestoresTheStartSize() {
        const QList<QPair<QString, QSize>> steps = {
            {"Reduced", {544, 459}}, {"Normal", {641, 540}}, {"Enlarged", {737, 621}}, {"Reduced", {544, 459}}};
        for (const auto& [size, expected] : steps) {
            control<QAction>(Items[size])->trigger();
            QCOMPARE(tickwellWindow().size(), expected);
        }
    }

    // The menu knows the current size from the check marks alone.
    void checkMarksAreTheState() {
        control<QAction>("Normal")->setChecked(false);
        control<QAction>("Enlarged1")->setChecked(true);
        control<QAction>("Reduced1")->trigger(); // as from Enlarged: back by 100/115, then 80/100
        QCOMPARE(checkedItems(), QStringList{"Reduced"});
        QCOMPARE(tickwellWindow().size(), QSize(544, 459));
        QCOMPARE(control("QT1")->geometry(), QRect(11, 24, 408, 213));
        control<QAction>("Normal")->trigger(); // back by 100/80
        QCOMPARE(control("QT1")->geometry(), QRect(14, 30, 510, 266));
    }
};

QTEST_MAIN(WindowSizingTest)
#include "test_window_sizing.moc"
