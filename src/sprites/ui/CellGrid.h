#pragma once
// A grid of equal cells in one column whose cells are painted by its owner:
// grid lines between cells, a vertical scroll bar that scrolls by whole rows
// (following the thumb while it is dragged) and one selected cell.
#include <QAbstractScrollArea>
#include <functional>

namespace ketral {

class CellGrid : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit CellGrid(QWidget* parent = nullptr);

    // Paints one cell: row, the cell's rectangle in the viewport, selected.
    std::function<void(QPainter&, int, const QRect&, bool)> OnDrawCell;

    int RowCount() const { return rowCount_; }
    void SetRowCount(int count);  // keeps the selection inside the rows
    int DefaultColWidth() const { return colWidth_; }
    int DefaultRowHeight() const { return rowHeight_; }
    void SetCellSize(int width, int height);
    static constexpr int GridLineWidth = 1;

    // The selected row (0 while the grid has no rows).
    int Row() const { return row_; }
    // Selects a row and scrolls just enough to show it.
    void SetRow(int row);
    int TopRow() const { return topRow_; }
    // Scrolls so that `row` is the top row, as far as the rows allow.
    void SetTopRow(int row);
    // Rows wholly visible in the viewport.
    int VisibleRowCount() const;
    // The rectangle of a row's cell in viewport coordinates.
    QRect CellRect(int row) const;

signals:
    void RowSelected(int row);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int MaxTopRow() const;
    void UpdateScrollBar();

    int rowCount_ = 0;
    int colWidth_ = 64;
    int rowHeight_ = 24;
    int row_ = 0;
    int topRow_ = 0;
};

}  // namespace ketral
