#include "base/ui/CutTextToolTips.h"

#include <QHelpEvent>
#include <QStyle>
#include <QToolTip>

namespace ketral {

CutTextToolTips::CutTextToolTips(QAbstractItemView* view) : QStyledItemDelegate(view), view_(view)
{
    view->setItemDelegate(this);
}

QString CutTextToolTips::ToolTipText(const QModelIndex& index) const
{
    if (!index.isValid()) return QString();
    QStyleOptionViewItem opt;
    opt.initFrom(view_->viewport());
    opt.displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    opt.textElideMode = view_->textElideMode();
    // Only the part of the item inside the view can be seen.
    opt.rect = view_->visualRect(index).intersected(view_->viewport()->rect());
    initStyleOption(&opt, index);
    if (opt.text.isEmpty() || opt.rect.isEmpty()) return opt.text;
    QStyle* style = view_->style();
    const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, view_);
    // The style keeps this margin on both sides of the text.
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view_) + 1;
    const bool cut = opt.fontMetrics.horizontalAdvance(opt.text) > textRect.width() - 2 * margin;
    return cut ? opt.text : QString();
}

bool CutTextToolTips::helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                                const QModelIndex& index)
{
    if (event->type() != QEvent::ToolTip) return QStyledItemDelegate::helpEvent(event, view, option, index);
    const QString text = ToolTipText(index);
    if (text.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(event->globalPos(), text, view->viewport(), view->visualRect(index));
    return true;
}

}  // namespace ketral
