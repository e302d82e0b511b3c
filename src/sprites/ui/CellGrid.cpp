#include "sprites/ui/CellGrid.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

namespace ketral {

CellGrid::CellGrid(QWidget* parent) : QAbstractScrollArea(parent)
{
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    verticalScrollBar()->setTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    UpdateScrollBar();
}

void CellGrid::SetRowCount(int count)
{
    rowCount_ = std::max(0, count);
    row_ = std::clamp(row_, 0, std::max(0, rowCount_ - 1));
    topRow_ = std::clamp(topRow_, 0, MaxTopRow());
    UpdateScrollBar();
    viewport()->update();
}

void CellGrid::SetCellSize(int width, int height)
{
    colWidth_ = std::max(0, width);
    rowHeight_ = std::max(0, height);
    topRow_ = std::clamp(topRow_, 0, MaxTopRow());
    UpdateScrollBar();
    viewport()->update();
}

int CellGrid::VisibleRowCount() const
{
    const int step = rowHeight_ + GridLineWidth;
    // The frame's inside: known before the grid is first shown.
    return std::max(1, contentsRect().height() / step);
}

int CellGrid::MaxTopRow() const { return std::max(0, rowCount_ - VisibleRowCount()); }

QRect CellGrid::CellRect(int row) const
{
    return QRect(0, (row - topRow_) * (rowHeight_ + GridLineWidth), colWidth_, rowHeight_);
}

void CellGrid::SetRow(int row)
{
    if (rowCount_ == 0) return;
    row = std::clamp(row, 0, rowCount_ - 1);
    const bool changed = row != row_;
    row_ = row;
    if (row_ < topRow_)
        SetTopRow(row_);
    else if (row_ >= topRow_ + VisibleRowCount())
        SetTopRow(row_ - VisibleRowCount() + 1);
    viewport()->update();
    if (changed) emit RowSelected(row_);
}

void CellGrid::SetTopRow(int row)
{
    topRow_ = std::clamp(row, 0, MaxTopRow());
    UpdateScrollBar();
    viewport()->update();
}

void CellGrid::UpdateScrollBar()
{
    QScrollBar* bar = verticalScrollBar();
    const QSignalBlocker block(bar);
    bar->setRange(0, MaxTopRow());
    bar->setPageStep(VisibleRowCount());
    bar->setSingleStep(1);
    bar->setValue(topRow_);
}

void CellGrid::scrollContentsBy(int, int)
{
    topRow_ = std::clamp(verticalScrollBar()->value(), 0, MaxTopRow());
    viewport()->update();
}

void CellGrid::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    topRow_ = std::clamp(topRow_, 0, MaxTopRow());
    UpdateScrollBar();
}

void CellGrid::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), palette().color(QPalette::Base));
    const QColor line = palette().color(QPalette::Mid);
    const int step = rowHeight_ + GridLineWidth;
    for (int r = topRow_, y = 0; r < rowCount_ && y < viewport()->height(); ++r, y += step) {
        const QRect cell(0, y, colWidth_, rowHeight_);
        if (OnDrawCell) {
            painter.save();
            painter.setClipRect(cell);
            OnDrawCell(painter, r, cell, r == row_);
            painter.restore();
        }
        painter.fillRect(QRect(0, y + rowHeight_, colWidth_ + GridLineWidth, GridLineWidth), line);
        painter.fillRect(QRect(colWidth_, y, GridLineWidth, step), line);
    }
}

void CellGrid::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return;
    const QPoint p = event->position().toPoint();
    if (p.x() >= colWidth_) return;
    const int row = topRow_ + p.y() / (rowHeight_ + GridLineWidth);
    if (row < rowCount_) SetRow(row);
}

void CellGrid::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Up: SetRow(row_ - 1); break;
    case Qt::Key_Down: SetRow(row_ + 1); break;
    case Qt::Key_PageUp: SetRow(row_ - VisibleRowCount()); break;
    case Qt::Key_PageDown: SetRow(row_ + VisibleRowCount()); break;
    case Qt::Key_Home: SetRow(0); break;
    case Qt::Key_End: SetRow(rowCount_ - 1); break;
    default: QAbstractScrollArea::keyPressEvent(event); return;
    }
    event->accept();
}

}  // namespace ketral
