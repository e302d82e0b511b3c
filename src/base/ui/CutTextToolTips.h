#pragma once
// For item views in narrow windows: a text that its item cannot show whole
// (cut short with "..." or running past the view's edge) is shown whole as
// the tooltip of its item; a text shown whole has no tooltip.
#include <QAbstractItemView>
#include <QString>
#include <QStyledItemDelegate>

namespace ketral {

class CutTextToolTips : public QStyledItemDelegate {
    Q_OBJECT
public:
    // Becomes the item delegate of `view` (owned by it).
    explicit CutTextToolTips(QAbstractItemView* view);

    // The text of `index` when the view cuts it as it stands now, else "".
    QString ToolTipText(const QModelIndex& index) const;

    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

private:
    QAbstractItemView* view_;
};

}  // namespace ketral
