#pragma once
// Draws the task list's rows the program's own way: white even rows and the theme's tint on
// odd ones, the selected row filled and framed (darker while the list has the focus), a
// drawn check box with its tick, and every text on one line, cut with an ellipsis.

#include <QStyledItemDelegate>
#include <QVector>

namespace tarnwick::ui {

class ThemeManager;

class TaskListDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    TaskListDelegate(const ThemeManager& themes, QObject* parent);

    // The colours of the drawing.
    static constexpr QRgb SelectedFocusedFill = 0xB9CCEC;
    static constexpr QRgb SelectedFill = 0xE5ECF8;
    static constexpr QRgb SelectedFocusedFrame = 0x7AA0DA;
    static constexpr QRgb SelectedFrame = 0x98B5E2;

    // The check box of a row whose bounds (all columns) are given: 12 pixels wide, two in from
    // the top and the bottom.
    static QRect CheckBoxRect(const QRect& rowBounds);

    // Draws one whole row (the view draws rows, not cells). `columns` are the rectangles of
    // its cells in column order; `rowIndex` is any index of the row.
    void PaintRow(QPainter& painter, const QRect& rowBounds, const QVector<QRect>& columns,
                  const QModelIndex& rowIndex, bool selected, bool focused) const;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // The view toggles the drawn box itself; the toolkit's own check box is not there.
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

private:
    const ThemeManager& themes_;
};

} // namespace tarnwick::ui
