#pragma once
// The task list control `lvFiles`: a list of rows with check boxes, one selected row at a
// time, read-only. Without rows it shows no header and the list's background picture; with
// rows the five columns and their header. Rows are drawn by TaskListDelegate.

#include <QImage>
#include <QTreeView>

namespace tarnwick::ui {

class TaskListDelegate;
class TaskListModel;
class ThemeManager;

class TaskListView : public QTreeView {
    Q_OBJECT
public:
    TaskListView(TaskListModel& model, const ThemeManager& themes, QWidget* parent);

    // The selected row, -1 when none is.
    int SelectedRow() const;
    // Selects the row and makes it current (-1 clears the selection).
    void SelectRow(int row);
    // The bounds of a row across all columns, in the viewport's coordinates.
    QRect RowBounds(int row) const;

signals:
    // A right button press, at that point of the screen (after the row under it was selected).
    void RightButtonPressed(const QPoint& globalPosition);

protected:
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                 const QModelIndex& index) const override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // The selected row is drawn darker while the list has the focus.
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // The columns came or went: header and widths follow.
    void ColumnsChanged();
    void ToggleCheck(int row);

    TaskListModel& model_;
    TaskListDelegate* delegate_;
    // The empty list's picture; null when the file is missing or unreadable.
    QImage background_;
};

} // namespace tarnwick::ui
