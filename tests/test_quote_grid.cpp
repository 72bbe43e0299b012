// QuoteGrid: cells, row count, current row and click, cell painting through the draw handler.
#include "platform/quote_grid.h"

#include "platform/grid_accessible.h"

#include <QAccessible>
#include <QAccessibleTableInterface>
#include <QImage>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMap>
#include <QPainter>
#include <QScrollBar>
#include <QTest>
#include <memory>

namespace {

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* target) { target->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

using CellKey = QPair<int, int>; // (col, row)

std::unique_ptr<QuoteGrid> makeGrid(int cols, int rows, QSize size = {300, 200}) {
    auto grid = std::make_unique<QuoteGrid>();
    grid->setColCount(cols);
    grid->setRowCount(rows);
    grid->resize(size);
    return grid;
}

bool showAndWait(QuoteGrid& grid) {
    grid.show();
    return QTest::qWaitForWindowExposed(&grid);
}

// Waits until a stretch of `quietMs` passes without a paint of the grid's cells.
bool waitForPaintsToSettle(PaintCounter& counter, int quietMs = 100, int limitMs = 5000) {
    QElapsedTimer total;
    total.start();
    while (total.elapsed() < limitMs) {
        const int before = counter.count;
        QTest::qWait(quietMs);
        if (counter.count == before)
            return true;
    }
    return false;
}

QPoint cellCentre(const QuoteGrid& grid, int col, int row) {
    return grid.visualRect(grid.model()->index(row, col)).center();
}

int pixelsOf(const QImage& image, const QRect& rect, const std::function<bool(QColor)>& test) {
    int n = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            n += test(image.pixelColor(x, y)) ? 1 : 0;
    return n;
}

bool isYellow(QColor c) {
    return c == QColor(255, 255, 0);
}

bool isDark(QColor c) {
    return c.lightness() < 100;
}

} // namespace

class TestStringGrid : public QObject {
    Q_OBJECT
private slots:
    void cells_data();
    void cells();
    void rowCount_data();
    void rowCount();
    void setCurrentRowRaisesClickOnChangeOnly_data();
    void setCurrentRowRaisesClickOnChangeOnly();
    void shrinkingPastCurrentRowMovesIt();
    void mouseClickRaisesClick();
    void keyboardMovesRow();
    void focusShowsOnTheCurrentRow();
    void drawHandlerGetsCellRectangles();
    void drawHandlerFollowsScrolledRows();
    void defaultDrawingOrder_data();
    void defaultDrawingOrder();
    void noGridLinesAndBackgroundColour();
    void equalWidthCausesNoRepaint();
    void widthsSetWhilePaintingSettle();
    void sizes_data();
    void sizes();
    void rangeSelect_data();
    void rangeSelect();
    void scrollBars_data();
    void scrollBars();
    void accessibleTable_data();
    void accessibleTable();
    void accessibleCellsBounded();
};

void TestStringGrid::cells_data() {
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("stored");
    QTest::newRow("first cell") << 0 << 0 << true;
    QTest::newRow("last cell") << 6 << 3 << true;
    QTest::newRow("column past the end") << 7 << 0 << false;
    QTest::newRow("row past the end") << 0 << 4 << false;
    QTest::newRow("negative column") << -1 << 1 << false;
    QTest::newRow("negative row") << 2 << -1 << false;
}

void TestStringGrid::cells() {
    QFETCH(int, col);
    QFETCH(int, row);
    QFETCH(bool, stored);
    auto grid = makeGrid(7, 4);
    grid->setCell(col, row, "AAPL ");
    QCOMPARE(grid->cell(col, row), stored ? QString("AAPL ") : QString());
    int filled = 0;
    for (int r = 0; r < grid->rowCount(); ++r)
        for (int c = 0; c < grid->colCount(); ++c)
            filled += grid->cell(c, r).isEmpty() ? 0 : 1;
    QCOMPARE(filled, stored ? 1 : 0);
    QCOMPARE(grid->model()->data(grid->model()->index(row, col)).toString(), stored ? QString("AAPL ") : QString());
}

void TestStringGrid::rowCount_data() {
    QTest::addColumn<int>("newCount");
    QTest::addColumn<int>("expectedCount");
    QTest::newRow("shrink") << 2 << 2;
    QTest::newRow("same") << 5 << 5;
    QTest::newRow("grow") << 8 << 8;
    QTest::newRow("zero keeps one row") << 0 << 1;
    QTest::newRow("negative keeps one row") << -3 << 1;
}

void TestStringGrid::rowCount() {
    QFETCH(int, newCount);
    QFETCH(int, expectedCount);
    auto grid = makeGrid(2, 5);
    for (int r = 0; r < 5; ++r)
        grid->setCell(1, r, QString("r%1").arg(r));

    grid->setRowCount(newCount);
    QCOMPARE(grid->rowCount(), expectedCount);
    QCOMPARE(grid->model()->rowCount(), expectedCount);
    for (int r = 0; r < expectedCount; ++r)
        QCOMPARE(grid->cell(1, r), r < 5 ? QString("r%1").arg(r) : QString());

    // Rows dropped by a shrink come back empty.
    grid->setRowCount(10);
    for (int r = 0; r < 10; ++r)
        QCOMPARE(grid->cell(1, r), r < std::min(5, expectedCount) ? QString("r%1").arg(r) : QString());
}

void TestStringGrid::setCurrentRowRaisesClickOnChangeOnly_data() {
    QTest::addColumn<QList<int>>("moves");
    QTest::addColumn<QList<int>>("rowsSeenByClick");
    QTest::addColumn<int>("finalRow");
    QTest::newRow("to another row") << QList<int>{3} << QList<int>{3} << 3;
    QTest::newRow("to the current row") << QList<int>{0} << QList<int>{} << 0;
    QTest::newRow("past the end") << QList<int>{6} << QList<int>{} << 0;
    QTest::newRow("negative") << QList<int>{-1} << QList<int>{} << 0;
    QTest::newRow("there, again, back") << QList<int>{2, 2, 0} << QList<int>{2, 0} << 0;
    QTest::newRow("last row") << QList<int>{5} << QList<int>{5} << 5;
}

void TestStringGrid::setCurrentRowRaisesClickOnChangeOnly() {
    QFETCH(QList<int>, moves);
    QFETCH(QList<int>, rowsSeenByClick);
    QFETCH(int, finalRow);
    auto grid = makeGrid(3, 6);
    QList<int> seen;
    grid->setOnClick([&] { seen << grid->currentRow(); });
    for (int row : moves)
        grid->setCurrentRow(row);
    QCOMPARE(seen, rowsSeenByClick);
    QCOMPARE(grid->currentRow(), finalRow);
}

void TestStringGrid::shrinkingPastCurrentRowMovesIt() {
    auto grid = makeGrid(2, 6);
    grid->setCurrentRow(4);
    QList<int> seen;
    grid->setOnClick([&] { seen << grid->currentRow(); });
    grid->setRowCount(2);
    QCOMPARE(grid->currentRow(), 1);
    QCOMPARE(seen, QList<int>{1});
    grid->setRowCount(6);
    QCOMPARE(grid->currentRow(), 1);
    QCOMPARE(seen.size(), 1);
}

void TestStringGrid::mouseClickRaisesClick() {
    auto grid = makeGrid(3, 4);
    grid->setDefaultRowHeight(16);
    QVERIFY(showAndWait(*grid));
    QList<int> seen;
    grid->setOnClick([&] { seen << grid->currentRow(); });

    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCentre(*grid, 1, 2));
    QCOMPARE(grid->currentRow(), 2);
    QCOMPARE(seen, QList<int>{2});

    // A click on the current row is reported too, once.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCentre(*grid, 0, 2));
    QCOMPARE(seen, (QList<int>{2, 2}));

    // Neither the empty area below the rows nor the right button counts.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, QPoint(5, 4 * 16 + 20));
    QTest::mouseClick(grid->viewport(), Qt::RightButton, {}, cellCentre(*grid, 0, 3));
    QCOMPARE(seen, (QList<int>{2, 2}));
    QCOMPARE(grid->currentRow(), 2);
}

void TestStringGrid::keyboardMovesRow() {
    auto grid = makeGrid(3, 3);
    QVERIFY(showAndWait(*grid));
    QList<int> seen;
    grid->setOnClick([&] { seen << grid->currentRow(); });

    QTest::keyClick(grid.get(), Qt::Key_Up); // already at the top: nothing moves
    QTest::keyClick(grid.get(), Qt::Key_Down);
    QTest::keyClick(grid.get(), Qt::Key_Down);
    QTest::keyClick(grid.get(), Qt::Key_Down); // already at the bottom
    QTest::keyClick(grid.get(), Qt::Key_Up);
    QCOMPARE(seen, (QList<int>{1, 2, 1}));
    QCOMPARE(grid->currentRow(), 1);
}

// The cells are the window's to paint, so the grid itself frames the current row while it has
// the keyboard: reached by Tab, it must not look the same as when it has not.
void TestStringGrid::focusShowsOnTheCurrentRow() {
    QWidget window;
    QLineEdit before(&window);
    auto* grid = new QuoteGrid(&window);
    grid->setColCount(3);
    grid->setRowCount(4);
    grid->setGeometry(0, 30, 300, 200);
    grid->setDefaultDrawing(false);
    grid->setDrawCell([](int, int, const QRect& rect, QPainter& canvas) { canvas.fillRect(rect, Qt::white); });
    window.resize(300, 240);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    before.setFocus();
    grid->setCurrentRow(2);
    const QImage unfocused = grid->viewport()->grab().toImage();
    QTest::keyClick(&before, Qt::Key_Tab);
    QVERIFY(grid->hasFocus());
    const QImage focused = grid->viewport()->grab().toImage();
    QVERIFY(focused != unfocused);
    const QRect row = grid->visualRect(grid->model()->index(2, 0));
    QVERIFY(focused.pixelColor(row.left() + 1, row.top()) != QColor(Qt::white) ||
            focused.pixelColor(row.left(), row.top() + 1) != QColor(Qt::white));
    QCOMPARE(focused.pixelColor(row.left() + 1, grid->visualRect(grid->model()->index(0, 0)).top()), QColor(Qt::white));
}

void TestStringGrid::drawHandlerGetsCellRectangles() {
    auto grid = makeGrid(3, 4, {300, 200});
    grid->setDefaultRowHeight(12);
    const QList<int> widths{30, 10, 50};
    for (int c = 0; c < 3; ++c)
        grid->setColWidth(c, widths[c]);
    QVERIFY(showAndWait(*grid));

    QMap<CellKey, QRect> painted;
    grid->setDrawCell([&](int col, int row, const QRect& rect, QPainter&) { painted[{col, row}] = rect; });
    grid->repaintNow(); // synchronous: the handler has run for every cell when it returns

    QCOMPARE(painted.size(), 12);
    for (int r = 0; r < 4; ++r) {
        int x = 0;
        for (int c = 0; c < 3; ++c) {
            QCOMPARE(painted.value({c, r}), QRect(x, 12 * r, widths[c], 12));
            x += widths[c];
        }
    }
}

void TestStringGrid::drawHandlerFollowsScrolledRows() {
    auto grid = makeGrid(1, 40, {200, 100});
    grid->setDefaultRowHeight(16);
    grid->setColWidth(0, 150);
    QVERIFY(showAndWait(*grid));

    QMap<int, QRect> painted;
    grid->setDrawCell([&](int, int row, const QRect& rect, QPainter&) { painted[row] = rect; });
    grid->setCurrentRow(39); // moving the current row scrolls it into view
    painted.clear();
    grid->repaintNow();

    const int viewportHeight = grid->viewport()->height();
    QVERIFY(painted.contains(39));
    QVERIFY(!painted.contains(0));
    QVERIFY(painted.size() <= viewportHeight / 16 + 1);
    QVERIFY(painted.value(39).bottom() < viewportHeight);
    for (auto it = painted.cbegin(); it != painted.cend(); ++it)
        QCOMPARE(it.value().top(), painted.value(39).top() - 16 * (39 - it.key()));
}

void TestStringGrid::defaultDrawingOrder_data() {
    QTest::addColumn<bool>("defaultDrawing");
    QTest::addColumn<bool>("handlerFillsYellow");
    QTest::addColumn<bool>("allYellow");
    QTest::addColumn<bool>("textVisible");
    QTest::newRow("grid first, handler paints over it") << true << true << true << false;
    QTest::newRow("grid text, handler paints nothing") << true << false << false << true;
    QTest::newRow("handler alone, paints yellow") << false << true << true << false;
    QTest::newRow("handler alone, paints nothing") << false << false << false << false;
}

void TestStringGrid::defaultDrawingOrder() {
    QFETCH(bool, defaultDrawing);
    QFETCH(bool, handlerFillsYellow);
    QFETCH(bool, allYellow);
    QFETCH(bool, textVisible);
    auto grid = makeGrid(2, 3);
    grid->setDefaultRowHeight(20);
    grid->setColWidth(0, 80);
    grid->setCell(0, 1, "WWWWWW"); // row 1 is not the current row, so it is not drawn selected
    grid->setDefaultDrawing(defaultDrawing);
    grid->setDrawCell([&](int, int, const QRect& rect, QPainter& canvas) {
        if (handlerFillsYellow)
            canvas.fillRect(rect, QColor(255, 255, 0));
    });
    QVERIFY(showAndWait(*grid));

    const QImage image = grid->viewport()->grab().toImage();
    const QRect cell = grid->visualRect(grid->model()->index(1, 0));
    QCOMPARE(cell, QRect(0, 20, 80, 20));
    const int area = cell.width() * cell.height();
    QCOMPARE(pixelsOf(image, cell, isYellow) == area, allYellow);
    QCOMPARE(pixelsOf(image, cell, isDark) > 10, textVisible);
}

void TestStringGrid::noGridLinesAndBackgroundColour() {
    auto grid = makeGrid(3, 3, {300, 200});
    grid->setDefaultRowHeight(16);
    for (int c = 0; c < 3; ++c)
        grid->setColWidth(c, 50);
    const QColor background(10, 200, 30);
    grid->setBackgroundColor(background);
    grid->setDrawCell(
        [](int, int, const QRect& rect, QPainter& canvas) { canvas.fillRect(rect, QColor(255, 255, 0)); });
    QVERIFY(showAndWait(*grid));
    grid->clearFocus(); // with the keyboard elsewhere, every cell pixel is the window's drawing

    const QImage image = grid->viewport()->grab().toImage();
    const QRect cells(0, 0, 150, 48);
    QCOMPARE(pixelsOf(image, cells, isYellow), cells.width() * cells.height());
    QCOMPARE(image.pixelColor(75, 100), background); // below the rows
    QCOMPARE(image.pixelColor(200, 10), background); // right of the columns
}

void TestStringGrid::equalWidthCausesNoRepaint() {
    auto grid = makeGrid(3, 3);
    grid->setColWidth(1, 40);
    QVERIFY(showAndWait(*grid));
    PaintCounter counter(grid->viewport());
    QVERIFY(waitForPaintsToSettle(counter));

    counter.count = 0;
    grid->setColWidth(1, 40);
    QTest::qWait(100);
    QCOMPARE(counter.count, 0);

    grid->setColWidth(1, 41);
    QTRY_VERIFY(counter.count > 0);
    QCOMPARE(grid->colWidth(1), 41);
}

void TestStringGrid::widthsSetWhilePaintingSettle() {
    // The windows size their columns from the grid's width at every painted cell.
    const QList<int> weights{60, 100, 90, 10, 94, 86, 124};
    auto grid = makeGrid(7, 40, {587, 306});
    grid->setDefaultColWidth(81);
    grid->setDefaultRowHeight(16);
    grid->setDefaultDrawing(false);
    QMap<CellKey, QRect> painted;
    int calls = 0;
    grid->setDrawCell([&](int col, int row, const QRect& rect, QPainter& canvas) {
        ++calls;
        for (int k = 0; k < 7; ++k)
            grid->setColWidth(k, (grid->width() - 15) * weights[k] / 564);
        painted[{col, row}] = rect;
        canvas.fillRect(rect, Qt::white);
    });
    PaintCounter counter(grid->viewport());
    QVERIFY(showAndWait(*grid));
    QVERIFY(waitForPaintsToSettle(counter));

    const QList<int> expected{60, 101, 91, 10, 95, 87, 125};
    for (int k = 0; k < 7; ++k)
        QCOMPARE(grid->colWidth(k), expected[k]);
    counter.count = 0;
    calls = 0;
    QTest::qWait(200);
    QCOMPARE(counter.count, 0);
    QCOMPARE(calls, 0);

    // The settled paint used the final widths.
    painted.clear();
    grid->repaintNow();
    QCOMPARE(painted.value({6, 2}), QRect(60 + 101 + 91 + 10 + 95 + 87, 32, 125, 16));
}

void TestStringGrid::sizes_data() {
    QTest::addColumn<int>("rowHeight");
    QTest::addColumn<int>("colWidth");
    QTest::newRow("quotes grid") << 16 << 81;
    QTest::newRow("real-time grid") << 12 << 100;
    QTest::newRow("smaller than a header's minimum") << 5 << 3;
}

void TestStringGrid::sizes() {
    QFETCH(int, rowHeight);
    QFETCH(int, colWidth);
    auto grid = makeGrid(3, 4);
    grid->setDefaultRowHeight(rowHeight);
    grid->setDefaultColWidth(colWidth);
    grid->setRowCount(9);
    grid->setColCount(5);
    QCOMPARE(grid->defaultRowHeight(), rowHeight);
    QCOMPARE(grid->defaultColWidth(), colWidth);
    for (int r = 0; r < 9; ++r)
        QCOMPARE(grid->rowHeight(r), rowHeight);
    for (int c = 0; c < 5; ++c)
        QCOMPARE(grid->colWidth(c), colWidth);
    grid->setColWidth(2, 10);
    QCOMPARE(grid->colWidth(2), 10);
    QCOMPARE(grid->colWidth(-1), 0);
}

void TestStringGrid::rangeSelect_data() {
    QTest::addColumn<bool>("rangeSelect");
    QTest::addColumn<int>("selectedRows");
    QTest::newRow("on") << true << 3;
    QTest::newRow("off") << false << 1;
}

void TestStringGrid::rangeSelect() {
    QFETCH(bool, rangeSelect);
    QFETCH(int, selectedRows);
    auto grid = makeGrid(3, 6);
    grid->setDefaultRowHeight(16);
    grid->setRangeSelect(rangeSelect);
    QVERIFY(showAndWait(*grid));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCentre(*grid, 0, 1));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ShiftModifier, cellCentre(*grid, 2, 3));
    QCOMPARE(grid->currentRow(), 3);
    QCOMPARE(grid->selectionModel()->selectedRows().size(), selectedRows);
}

void TestStringGrid::scrollBars_data() {
    QTest::addColumn<int>("rows");
    QTest::addColumn<bool>("vertical");
    QTest::newRow("rows fit") << 3 << false;
    QTest::newRow("more rows than fit") << 60 << true;
}

void TestStringGrid::scrollBars() {
    QFETCH(int, rows);
    QFETCH(bool, vertical);
    auto grid = makeGrid(2, rows, {200, 150});
    grid->setDefaultRowHeight(16);
    grid->setColWidth(0, 400); // wider than the grid: still no horizontal bar
    QVERIFY(showAndWait(*grid));
    QTRY_COMPARE(grid->verticalScrollBar()->isVisible(), vertical);
    QVERIFY(!grid->horizontalScrollBar()->isVisible());
}

void TestStringGrid::accessibleTable_data() {
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<int>("symbolRow"); // the last row given a symbol; -1 for none
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QString>("cellOneThree"); // what the table's cell (1, 3) reads
    const QStringList spaced{"Symbol", "Time", "Price", "", "Change", "%Change", "Volume"};
    QTest::newRow("no rows before a load") << QStringList() << -1 << 0 << 7 << QString();
    QTest::newRow("rows up to the last symbol") << QStringList() << 2 << 3 << 7 << "  +1.25";
    QTest::newRow("spacer column left out") << spaced << 2 << 3 << 6 << "  +0.5%";
}

void TestStringGrid::accessibleTable() {
    QFETCH(QStringList, titles);
    QFETCH(int, symbolRow);
    QFETCH(int, rows);
    QFETCH(int, columns);
    QFETCH(QString, cellOneThree);
    auto grid = makeGrid(7, 40);
    grid->setColumnTitles(titles);
    if (symbolRow >= 0)
        grid->setCells(symbolRow, {{"IBM"}});
    grid->setCells(1, {{QString(), QString(), QString(), "  +1.25", "  +0.5%"}});
    QVERIFY(showAndWait(*grid));

    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(grid.get());
    QAccessibleTableInterface* table = iface->tableInterface();
    QVERIFY(table);
    QCOMPARE(table->rowCount(), rows);
    QCOMPARE(table->columnCount(), columns);
    QCOMPARE(iface->childCount(), table->rowCount() * table->columnCount());
    QAccessibleInterface* cell = table->cellAt(1, 3);
    QCOMPARE(cell ? cell->text(QAccessible::Name) : QString(), cellOneThree);
    if (cell)
        QCOMPARE(iface->indexOfChild(cell), table->columnCount() + 3);
    // The grid reports no focused cell while it has no focus.
    grid->clearFocus();
    QVERIFY(!iface->focusChild());
}

// A client that reads every cell of a long table leaves a bounded number of cell objects, the
// current cell among them.
void TestStringGrid::accessibleCellsBounded() {
    auto grid = makeGrid(7, 2000);
    for (int row = 0; row < 2000; ++row)
        grid->setCell(0, row, "S" + QString::number(row));
    grid->setCurrentRow(5);
    QVERIFY(showAndWait(*grid));
    auto* table = static_cast<GridAccessible*>(QAccessible::queryAccessibleInterface(grid.get()));
    QAccessibleInterface* current = table->cellAt(5, 0);
    for (int row = 0; row < 2000; ++row)
        for (int col = 0; col < 7; ++col)
            QVERIFY(table->cellAt(row, col));
    QCOMPARE(table->keptCells(), GridAccessible::MaxCells);
    QCOMPARE(table->cellAt(5, 0), current);
    QCOMPARE(current->text(QAccessible::Name), QString("S5"));
}

QTEST_MAIN(TestStringGrid)
#include "test_quote_grid.moc"
