#include "app/ui/task_list_delegate.h"

#include "app/core/themes.h"
#include "app/ui/themes.h"

#include <QPainter>

namespace tarnwick::ui {
namespace {

// The first column's text starts after the check box.
constexpr int CheckBoxColumnWidth = 16;
constexpr int CaptionInset = 3;

void DrawCellText(QPainter& painter, const QRect& rect, const QString& text,
                  Qt::Alignment alignment) {
    if (text.isEmpty() || rect.width() <= 0) return;
    const QString shown = painter.fontMetrics().elidedText(text, Qt::ElideRight, rect.width());
    const Qt::Alignment horizontal = alignment & Qt::AlignHorizontal_Mask;
    painter.drawText(
        rect, int(horizontal ? horizontal : Qt::AlignLeft) | Qt::AlignVCenter | Qt::TextSingleLine,
        shown);
}

} // namespace

TaskListDelegate::TaskListDelegate(const ThemeManager& themes, QObject* parent)
    : QStyledItemDelegate(parent), themes_(themes) {}

QRect TaskListDelegate::CheckBoxRect(const QRect& rowBounds) {
    return QRect(QPoint(rowBounds.left() + 2, rowBounds.top() + 2),
                 QPoint(rowBounds.left() + 13, rowBounds.bottom() - 2));
}

void TaskListDelegate::PaintRow(QPainter& painter, const QRect& rowBounds,
                                const QVector<QRect>& columns, const QModelIndex& rowIndex,
                                bool selected, bool focused) const {
    painter.save();
    const QRect face = rowBounds.adjusted(1, 0, -1, 0);
    QColor fill = rowIndex.row() % 2 == 0 ? QColor(app::EvenRowColour) : themes_.OddRowColour();
    if (selected) fill = QColor(focused ? SelectedFocusedFill : SelectedFill);
    painter.fillRect(face, fill);

    const QAbstractItemModel* model = rowIndex.model();
    painter.setPen(Qt::black);
    for (int column = 0; column < columns.size(); ++column) {
        const QModelIndex cell = model->index(rowIndex.row(), column);
        const QString text = cell.data(Qt::DisplayRole).toString();
        const auto alignment = cell.data(Qt::TextAlignmentRole).value<Qt::Alignment>();
        QRect label = columns[column];
        if (column == 0) {
            painter.save();
            painter.setPen(QPen(Qt::black, 2));
            painter.setBrush(Qt::NoBrush);
            const QRect box = CheckBoxRect(rowBounds);
            painter.drawRect(box);
            if (cell.data(Qt::CheckStateRole).value<Qt::CheckState>() == Qt::Checked) {
                const QPoint tick[] = {rowBounds.topLeft() + QPoint(4, 6),
                                       rowBounds.topLeft() + QPoint(6, 11),
                                       rowBounds.topLeft() + QPoint(11, 5)};
                painter.drawPolyline(tick, 3);
            }
            painter.restore();
            label.setLeft(label.left() + CheckBoxColumnWidth);
            label.adjust(CaptionInset, 0, -CaptionInset, 0);
        }
        DrawCellText(painter, label, text, alignment);
    }

    if (selected) {
        painter.setPen(QColor(focused ? SelectedFocusedFrame : SelectedFrame));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(face.adjusted(0, 0, -1, -1));
    }
    painter.restore();
}

bool TaskListDelegate::editorEvent(QEvent*, QAbstractItemModel*, const QStyleOptionViewItem&,
                                   const QModelIndex&) {
    return false;
}

QSize TaskListDelegate::sizeHint(const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    // Room for the 12-pixel check box with two pixels above and below.
    size.setHeight(std::max(16, option.fontMetrics.height() + 2));
    return size;
}

} // namespace tarnwick::ui
