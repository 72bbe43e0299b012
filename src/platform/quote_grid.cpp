#include "platform/quote_grid.h"

#include <QAccessible>

#include <QAbstractItemDelegate>
#include <QAbstractTableModel>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStringList>
#include <algorithm>

#include "platform/grid_accessible.h"

// The cells, one QStringList of ColCount texts per row.
class QuoteGridModel : public QAbstractTableModel {
public:
    QuoteGridModel(int cols, int rows, QuoteGrid* grid) : QAbstractTableModel(grid), cols_(cols), grid_(grid) {
        rows_.fill(emptyRow(), rows);
    }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : int(rows_.size());
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override { return parent.isValid() ? 0 : cols_; }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid())
            return {};
        switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole:
            return cell(index.column(), index.row());
        case Qt::AccessibleDescriptionRole:
            return stale(index.row()) ? QStringLiteral("from the load before") : QVariant();
        case Qt::FontRole:
            return grid_->rowFont(index.row(), grid_->font());
        default:
            return {};
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (role != Qt::DisplayRole)
            return {};
        if (orientation == Qt::Vertical)
            return cell(0, section).trimmed();
        return titles_.value(section);
    }
    QString title(int col) const { return titles_.value(col); }
    bool spacer(int col) const { return !titles_.isEmpty() && titles_.value(col).isEmpty(); }
    int filledRows() const { return filled_; }

    void setTitles(const QStringList& titles) {
        titles_ = titles;
        emit headerDataChanged(Qt::Horizontal, 0, cols_ - 1);
    }

    bool stale(int row) const { return row >= staleFirst_ && row < std::min(staleEnd_, int(rows_.size())); }
    int staleCount() const { return std::max(0, std::min(staleEnd_, int(rows_.size())) - staleFirst_); }
    void setStale(int first, int end) {
        const int oldFirst = staleFirst_, oldEnd = staleEnd_;
        staleFirst_ = std::max(first, 0);
        staleEnd_ = std::max(end, staleFirst_);
        changedRows(std::min(oldFirst, staleFirst_), std::max(oldEnd, staleEnd_),
                    {Qt::FontRole, Qt::AccessibleDescriptionRole});
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }

    bool contains(int col, int row) const { return col >= 0 && col < cols_ && row >= 0 && row < rows_.size(); }

    QString cell(int col, int row) const { return contains(col, row) ? rows_[row][col] : QString(); }

    void setCell(int col, int row, const QString& text) {
        if (!contains(col, row) || rows_[row][col] == text)
            return;
        rows_[row][col] = text;
        if (col == 0)
            symbolWritten(row);
        const QModelIndex changed = index(row, col);
        emit dataChanged(changed, changed, {Qt::DisplayRole});
    }

    void setCells(int firstRow, const QList<QStringList>& rows) {
        int last = -1;
        for (int i = 0; i < rows.size(); ++i) {
            const int row = firstRow + i;
            for (int col = 0; col < rows[i].size(); ++col) {
                if (rows[i][col].isNull() || !contains(col, row))
                    continue;
                rows_[row][col] = rows[i][col];
                if (col == 0)
                    symbolWritten(row);
                last = row;
            }
        }
        if (last >= firstRow)
            emit dataChanged(index(std::max(firstRow, 0), 0), index(last, cols_ - 1), {Qt::DisplayRole});
    }

    void resizeRows(int count) {
        const int old = int(rows_.size());
        if (count > old) {
            beginInsertRows(QModelIndex(), old, count - 1);
            rows_.insert(old, count - old, emptyRow());
            endInsertRows();
        } else if (count < old) {
            beginRemoveRows(QModelIndex(), count, old - 1);
            rows_.resize(count);
            filled_ = std::min(filled_, count);
            endRemoveRows();
        }
    }

    void resizeColumns(int count) {
        if (count > cols_) {
            beginInsertColumns(QModelIndex(), cols_, count - 1);
            cols_ = count;
            for (QStringList& row : rows_)
                row.resize(count);
            endInsertColumns();
        } else if (count < cols_) {
            beginRemoveColumns(QModelIndex(), count, cols_ - 1);
            cols_ = count;
            for (QStringList& row : rows_)
                row.resize(count);
            endRemoveColumns();
        }
    }

private:
    // Tells the view that rows first to end - 1, as far as there are such rows, have changed.
    void changedRows(int first, int end, const QList<int>& roles) {
        end = std::min(end, int(rows_.size()));
        if (first < end)
            emit dataChanged(index(first, 0), index(end - 1, cols_ - 1), roles);
    }

    void symbolWritten(int row) {
        if (!rows_[row][0].isEmpty())
            filled_ = std::max(filled_, row + 1);
        else if (row == filled_ - 1)
            while (filled_ > 0 && rows_[filled_ - 1][0].isEmpty())
                --filled_;
    }

    QStringList emptyRow() const {
        QStringList row;
        row.resize(cols_);
        return row;
    }

    int cols_;
    QStringList titles_;
    QList<QStringList> rows_;
    int staleFirst_ = 0;
    int staleEnd_ = 0;
    int filled_ = 0;
    const QuoteGrid* grid_;
};

// Paints every cell through the grid's draw-cell handler, after the grid's own drawing when that is on.
class StringGridDelegate : public QAbstractItemDelegate {
public:
    explicit StringGridDelegate(QuoteGrid* grid) : QAbstractItemDelegate(grid), grid_(grid) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const int col = index.column();
        const int row = index.row();
        if (grid_->defaultDrawing())
            paintDefault(*painter, option, grid_->cell(col, row));
        if (grid_->drawCell()) {
            painter->save();
            painter->setClipRect(option.rect, Qt::IntersectClip);
            grid_->drawCell()(col, row, option.rect, *painter);
            painter->restore();
        }
    }

    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
        return {grid_->defaultColWidth(), grid_->defaultRowHeight()};
    }

private:
    void paintDefault(QPainter& painter, const QStyleOptionViewItem& option, const QString& text) const {
        const bool selected = option.state & QStyle::State_Selected;
        const QPalette::ColorGroup group = option.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;
        painter.save();
        painter.fillRect(option.rect, option.palette.color(group, selected ? QPalette::Highlight : QPalette::Base));
        painter.setPen(option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
        painter.setFont(grid_->font());
        painter.drawText(option.rect.adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
        painter.restore();
    }

    QuoteGrid* grid_;
};

namespace {
constexpr int initialCols = 5;
constexpr int initialRows = 5;
constexpr int initialColWidth = 64;
constexpr int initialRowHeight = 24;
} // namespace

QuoteGrid::QuoteGrid(QWidget* parent) : QTableView(parent), model_(new QuoteGridModel(initialCols, initialRows, this)) {
    // Sizes are set before the model so that every section starts at the grid's defaults, and the
    // minimum is 0 so that narrow spacer columns and low rows keep the size they are given.
    horizontalHeader()->setMinimumSectionSize(0);
    horizontalHeader()->setDefaultSectionSize(initialColWidth);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    verticalHeader()->setMinimumSectionSize(0);
    verticalHeader()->setDefaultSectionSize(initialRowHeight);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->hide();
    verticalHeader()->hide();

    setModel(model_);
    setItemDelegate(new StringGridDelegate(this));
    setShowGrid(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setTabKeyNavigation(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setRangeSelect(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);

    setCurrentIndex(model_->index(0, 0));
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this, &QuoteGrid::currentRowChanged);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this] { ++widthsVersion_; });
    connect(horizontalHeader(), &QHeaderView::sectionCountChanged, this, [this] { ++widthsVersion_; });
    static const bool readable = (GridAccessible::install(), true);
    Q_UNUSED(readable);
}

int QuoteGrid::colCount() const {
    return model_->columnCount();
}

void QuoteGrid::setColCount(int count) {
    model_->resizeColumns(std::max(1, count));
}

int QuoteGrid::rowCount() const {
    return model_->rowCount();
}

void QuoteGrid::setRowCount(int count) {
    model_->resizeRows(std::max(1, count));
}

QString QuoteGrid::cell(int col, int row) const {
    return model_->cell(col, row);
}

void QuoteGrid::setCell(int col, int row, const QString& text) {
    model_->setCell(col, row, text);
}

void QuoteGrid::setCells(int firstRow, const QList<QStringList>& rows) {
    model_->setCells(firstRow, rows);
}

void QuoteGrid::setColumnTitles(const QStringList& titles) {
    model_->setTitles(titles);
}

QString QuoteGrid::columnTitle(int col) const {
    return model_->title(col);
}

bool QuoteGrid::isSpacerColumn(int col) const {
    return model_->spacer(col);
}

int QuoteGrid::filledRowCount() const {
    return model_->filledRows();
}

int QuoteGrid::currentRow() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() : 0;
}

void QuoteGrid::setCurrentRow(int row) {
    if (row < 0 || row >= rowCount())
        return;
    const QModelIndex target = model_->index(row, std::max(0, currentIndex().column()));
    setCurrentIndex(target);
    scrollTo(target);
}

void QuoteGrid::followRow(int row) {
    quietMove_ = true;
    setCurrentRow(row);
    quietMove_ = false;
}

// The table view would tell assistive technology of every cell that becomes current or
// selected, focused or not, by its own numbering of the cells; the grid tells only of the current
// cell, by its table's numbering, and only while it has the focus: a load or a reset that moves
// the row while the keys are elsewhere is not heard as a move of the focus.
void QuoteGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QAbstractItemView::currentChanged(current, previous);
    if (!quietMove_)
        tellCurrentCell();
}

void QuoteGrid::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) {
    QAbstractItemView::selectionChanged(selected, deselected);
}

void QuoteGrid::tellCurrentCell() {
    if (!QAccessible::isActive() || !hasFocus())
        return;
    const int child = GridAccessible::childIndex(this, currentIndex().row(), currentIndex().column());
    if (child < 0)
        return;
    QAccessibleEvent event(this, QAccessible::Focus);
    event.setChild(child);
    QAccessible::updateAccessibility(&event);
}

QModelIndex QuoteGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    QModelIndex next = QTableView::moveCursor(action, modifiers);
    const int step = action == MoveRight || action == MoveNext      ? 1
                     : action == MoveLeft || action == MovePrevious ? -1
                                                                    : 0;
    while (step != 0 && next.isValid() && isSpacerColumn(next.column())) {
        const int col = next.column() + step;
        if (col < 0 || col >= colCount())
            return currentIndex();
        next = model_->index(next.row(), col);
    }
    return next;
}

int QuoteGrid::colWidth(int col) const {
    return columnWidth(col);
}

void QuoteGrid::setColWidth(int col, int width) {
    if (col < 0 || col >= colCount() || width < 0 || columnWidth(col) == width)
        return;
    setColumnWidth(col, width);
}

int QuoteGrid::defaultColWidth() const {
    return horizontalHeader()->defaultSectionSize();
}

void QuoteGrid::setDefaultColWidth(int width) {
    horizontalHeader()->setDefaultSectionSize(width);
}

int QuoteGrid::defaultRowHeight() const {
    return verticalHeader()->defaultSectionSize();
}

void QuoteGrid::setDefaultRowHeight(int height) {
    verticalHeader()->setDefaultSectionSize(height);
}

void QuoteGrid::setRangeSelect(bool on) {
    setSelectionMode(on ? QAbstractItemView::ContiguousSelection : QAbstractItemView::SingleSelection);
}

void QuoteGrid::setBackgroundColor(const QColor& color) {
    QPalette pal = palette();
    pal.setColor(QPalette::Base, color);
    setPalette(pal);
}

void QuoteGrid::repaintNow() {
    viewport()->repaint();
}

void QuoteGrid::setStaleRows(int first, int end) {
    model_->setStale(first, end);
}

int QuoteGrid::staleRowCount() const {
    return model_->staleCount();
}

QFont QuoteGrid::rowFont(int row, QFont font) const {
    if (model_->stale(row))
        font.setItalic(true);
    return font;
}

void QuoteGrid::mousePressEvent(QMouseEvent* event) {
    // Only the left button moves the current row, as in the grids the program was designed with.
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    const int before = currentRow();
    const bool onCell = indexAt(event->position().toPoint()).isValid();
    QTableView::mousePressEvent(event);
    // A click that moved the row has already been reported by currentRowChanged.
    if (onCell && currentRow() == before)
        click();
}

void QuoteGrid::currentRowChanged() {
    click();
}

void QuoteGrid::click() {
    if (onClick_)
        onClick_();
}

void QuoteGrid::paintEvent(QPaintEvent* event) {
    QTableView::paintEvent(event);
    if (!hasFocus())
        return;
    const QRect first = visualRect(model_->index(currentRow(), 0));
    const QRect last = visualRect(model_->index(currentRow(), colCount() - 1));
    const QRect frame = first.isValid() ? first.united(last) : viewport()->rect();
    QPainter painter(viewport());
    painter.setPen(QPen(palette().color(QPalette::Text), 1, Qt::DotLine));
    painter.drawRect(frame.adjusted(0, 0, -1, -1));
}

void QuoteGrid::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    viewport()->update();
    // After the focus event of the grid itself, which the window sends once this returns.
    QMetaObject::invokeMethod(this, &QuoteGrid::tellCurrentCell, Qt::QueuedConnection);
}

void QuoteGrid::focusOutEvent(QFocusEvent* event) {
    QTableView::focusOutEvent(event);
    viewport()->update();
}
