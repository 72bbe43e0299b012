#include "platform/string_grid.h"

#include <QAbstractItemDelegate>
#include <QAbstractTableModel>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStringList>
#include <algorithm>

// The cells, one QStringList of ColCount texts per row.
class StringGridModel : public QAbstractTableModel {
public:
    StringGridModel(int cols, int rows, TStringGrid* grid) : QAbstractTableModel(grid), m_cols(cols), m_grid(grid) {
        m_rows.fill(emptyRow(), rows);
    }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : int(m_rows.size());
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override { return parent.isValid() ? 0 : m_cols; }

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
            return m_grid->rowFont(index.row(), m_grid->font());
        default:
            return {};
        }
    }

    bool stale(int row) const { return row >= staleFirst_ && row < std::min(staleEnd_, int(m_rows.size())); }
    int staleCount() const { return std::max(0, std::min(staleEnd_, int(m_rows.size())) - staleFirst_); }
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

    bool contains(int col, int row) const { return col >= 0 && col < m_cols && row >= 0 && row < m_rows.size(); }

    QString cell(int col, int row) const { return contains(col, row) ? m_rows[row][col] : QString(); }

    void setCell(int col, int row, const QString& text) {
        if (!contains(col, row) || m_rows[row][col] == text)
            return;
        m_rows[row][col] = text;
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
                m_rows[row][col] = rows[i][col];
                last = row;
            }
        }
        if (last >= firstRow)
            emit dataChanged(index(std::max(firstRow, 0), 0), index(last, m_cols - 1), {Qt::DisplayRole});
    }

    void resizeRows(int count) {
        const int old = int(m_rows.size());
        if (count > old) {
            beginInsertRows(QModelIndex(), old, count - 1);
            m_rows.insert(old, count - old, emptyRow());
            endInsertRows();
        } else if (count < old) {
            beginRemoveRows(QModelIndex(), count, old - 1);
            m_rows.resize(count);
            endRemoveRows();
        }
    }

    void resizeColumns(int count) {
        if (count > m_cols) {
            beginInsertColumns(QModelIndex(), m_cols, count - 1);
            m_cols = count;
            for (QStringList& row : m_rows)
                row.resize(count);
            endInsertColumns();
        } else if (count < m_cols) {
            beginRemoveColumns(QModelIndex(), count, m_cols - 1);
            m_cols = count;
            for (QStringList& row : m_rows)
                row.resize(count);
            endRemoveColumns();
        }
    }

private:
    // Tells the view that rows first to end - 1, as far as there are such rows, have changed.
    void changedRows(int first, int end, const QList<int>& roles) {
        end = std::min(end, int(m_rows.size()));
        if (first < end)
            emit dataChanged(index(first, 0), index(end - 1, m_cols - 1), roles);
    }

    QStringList emptyRow() const {
        QStringList row;
        row.resize(m_cols);
        return row;
    }

    int m_cols;
    QList<QStringList> m_rows;
    int staleFirst_ = 0;
    int staleEnd_ = 0;
    const TStringGrid* m_grid;
};

// Paints every cell through the grid's draw-cell handler, after the grid's own drawing when that is on.
class StringGridDelegate : public QAbstractItemDelegate {
public:
    explicit StringGridDelegate(TStringGrid* grid) : QAbstractItemDelegate(grid), m_grid(grid) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const int col = index.column();
        const int row = index.row();
        if (m_grid->defaultDrawing)
            paintDefault(*painter, option, m_grid->Cells(col, row));
        if (m_grid->onDrawCell) {
            painter->save();
            painter->setClipRect(option.rect, Qt::IntersectClip);
            m_grid->onDrawCell(col, row, option.rect, *painter);
            painter->restore();
        }
    }

    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
        return {m_grid->DefaultColWidth(), m_grid->DefaultRowHeight()};
    }

private:
    void paintDefault(QPainter& painter, const QStyleOptionViewItem& option, const QString& text) const {
        const bool selected = option.state & QStyle::State_Selected;
        const QPalette::ColorGroup group = option.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;
        painter.save();
        painter.fillRect(option.rect, option.palette.color(group, selected ? QPalette::Highlight : QPalette::Base));
        painter.setPen(option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
        painter.setFont(m_grid->font());
        painter.drawText(option.rect.adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
        painter.restore();
    }

    TStringGrid* m_grid;
};

namespace {
constexpr int initialCols = 5;
constexpr int initialRows = 5;
constexpr int initialColWidth = 64;
constexpr int initialRowHeight = 24;
} // namespace

TStringGrid::TStringGrid(QWidget* parent)
    : QTableView(parent), m_model(new StringGridModel(initialCols, initialRows, this)) {
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

    setModel(m_model);
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

    setCurrentIndex(m_model->index(0, 0));
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this, &TStringGrid::currentRowChanged);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this] { ++widthsVersion_; });
    connect(horizontalHeader(), &QHeaderView::sectionCountChanged, this, [this] { ++widthsVersion_; });
    // Screen readers and tools that drive the program find the grid by its name.
    connect(this, &QObject::objectNameChanged, this, [this](const QString& name) { setAccessibleName(name); });
}

int TStringGrid::ColCount() const {
    return m_model->columnCount();
}

void TStringGrid::setColCount(int count) {
    m_model->resizeColumns(std::max(1, count));
}

int TStringGrid::RowCount() const {
    return m_model->rowCount();
}

void TStringGrid::setRowCount(int count) {
    m_model->resizeRows(std::max(1, count));
}

QString TStringGrid::Cells(int col, int row) const {
    return m_model->cell(col, row);
}

void TStringGrid::setCell(int col, int row, const QString& text) {
    m_model->setCell(col, row, text);
}

void TStringGrid::setCells(int firstRow, const QList<QStringList>& rows) {
    m_model->setCells(firstRow, rows);
}

int TStringGrid::Row() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() : 0;
}

void TStringGrid::setRow(int row) {
    if (row < 0 || row >= RowCount())
        return;
    const QModelIndex target = m_model->index(row, std::max(0, currentIndex().column()));
    setCurrentIndex(target);
    scrollTo(target);
}

int TStringGrid::ColWidth(int col) const {
    return columnWidth(col);
}

void TStringGrid::setColWidth(int col, int width) {
    if (col < 0 || col >= ColCount() || width < 0 || columnWidth(col) == width)
        return;
    setColumnWidth(col, width);
}

int TStringGrid::DefaultColWidth() const {
    return horizontalHeader()->defaultSectionSize();
}

void TStringGrid::setDefaultColWidth(int width) {
    horizontalHeader()->setDefaultSectionSize(width);
}

int TStringGrid::DefaultRowHeight() const {
    return verticalHeader()->defaultSectionSize();
}

void TStringGrid::setDefaultRowHeight(int height) {
    verticalHeader()->setDefaultSectionSize(height);
}

void TStringGrid::setRangeSelect(bool on) {
    setSelectionMode(on ? QAbstractItemView::ContiguousSelection : QAbstractItemView::SingleSelection);
}

void TStringGrid::setBackgroundColor(const QColor& color) {
    QPalette pal = palette();
    pal.setColor(QPalette::Base, color);
    setPalette(pal);
}

void TStringGrid::repaintNow() {
    viewport()->repaint();
}

void TStringGrid::setStaleRows(int first, int end) {
    m_model->setStale(first, end);
}

int TStringGrid::staleRowCount() const {
    return m_model->staleCount();
}

QFont TStringGrid::rowFont(int row, QFont font) const {
    if (m_model->stale(row))
        font.setItalic(true);
    return font;
}

void TStringGrid::mousePressEvent(QMouseEvent* event) {
    // Only the left button moves the current row, as in the grids the program was designed with.
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    const int before = Row();
    const bool onCell = indexAt(event->position().toPoint()).isValid();
    QTableView::mousePressEvent(event);
    // A click that moved the row has already been reported by currentRowChanged.
    if (onCell && Row() == before)
        click();
}

void TStringGrid::currentRowChanged() {
    click();
}

void TStringGrid::click() {
    if (onClick)
        onClick();
}

void TStringGrid::paintEvent(QPaintEvent* event) {
    QTableView::paintEvent(event);
    if (!hasFocus())
        return;
    const QRect first = visualRect(m_model->index(Row(), 0));
    const QRect last = visualRect(m_model->index(Row(), ColCount() - 1));
    const QRect frame = first.isValid() ? first.united(last) : viewport()->rect();
    QPainter painter(viewport());
    painter.setPen(QPen(palette().color(QPalette::Text), 1, Qt::DotLine));
    painter.drawRect(frame.adjusted(0, 0, -1, -1));
}

void TStringGrid::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    viewport()->update();
}

void TStringGrid::focusOutEvent(QFocusEvent* event) {
    QTableView::focusOutEvent(event);
    viewport()->update();
}
