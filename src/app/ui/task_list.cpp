#include "app/ui/task_list.h"

#include "app/core/app_paths.h"
#include "app/ui/task_list_delegate.h"
#include "app/ui/task_list_model.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace tarnwick::ui {

TaskListView::TaskListView(TaskListModel& model, const ThemeManager& themes, QWidget* parent)
    : QTreeView(parent), model_(model), delegate_(new TaskListDelegate(themes, this)),
      background_(QString::fromStdString(app::ListBackgroundPicturePath())) {
    setModel(&model_);
    setItemDelegate(delegate_);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTextElideMode(Qt::ElideRight);
    header()->setSectionsClickable(false);
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(QHeaderView::Interactive);
    connect(&model_, &QAbstractItemModel::columnsInserted, this, &TaskListView::ColumnsChanged);
    connect(&model_, &QAbstractItemModel::columnsRemoved, this, &TaskListView::ColumnsChanged);
    connect(&model_, &QAbstractItemModel::modelReset, this, &TaskListView::ColumnsChanged);
    ColumnsChanged();
}

void TaskListView::ColumnsChanged() {
    const bool report = model_.columnCount() > 0;
    header()->setVisible(report);
    if (!report) return;
    for (int column = 0; column < model_.columnCount(); ++column)
        setColumnWidth(column, TaskListModel::ColumnWidth(column));
}

int TaskListView::SelectedRow() const {
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void TaskListView::SelectRow(int row) {
    if (row < 0 || row >= model_.rowCount()) {
        selectionModel()->clearSelection();
        return;
    }
    const QModelIndex index = model_.index(row, 0);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                 QItemSelectionModel::Rows);
    scrollTo(index);
}

QRect TaskListView::RowBounds(int row) const {
    const QRect first = visualRect(model_.index(row, 0));
    const QRect last = visualRect(model_.index(row, model_.columnCount() - 1));
    return first.united(last);
}

void TaskListView::drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                           const QModelIndex& index) const {
    QVector<QRect> columns;
    for (int column = 0; column < model_.columnCount(); ++column) {
        const int left = columnViewportPosition(column);
        columns.push_back(
            QRect(left, option.rect.top(), columnWidth(column), option.rect.height()));
    }
    const QRect bounds = columns.isEmpty() ? option.rect : columns.first().united(columns.last());
    const bool selected = selectionModel()->isRowSelected(index.row(), index.parent());
    delegate_->PaintRow(*painter, bounds, columns, index, selected, hasFocus());
}

void TaskListView::paintEvent(QPaintEvent* event) {
    if (model_.rowCount() > 0) {
        QTreeView::paintEvent(event);
        return;
    }
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), palette().color(QPalette::Base));
    if (!background_.isNull()) painter.drawImage(0, 0, background_);
}

void TaskListView::mousePressEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    QTreeView::mousePressEvent(event);
    if (event->button() == Qt::RightButton) {
        emit RightButtonPressed(event->globalPosition().toPoint());
        return;
    }
    if (event->button() == Qt::LeftButton && index.isValid() &&
        TaskListDelegate::CheckBoxRect(RowBounds(index.row()))
            .contains(event->position().toPoint()))
        ToggleCheck(index.row());
}

void TaskListView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && SelectedRow() >= 0) {
        ToggleCheck(SelectedRow());
        return;
    }
    QTreeView::keyPressEvent(event);
}

void TaskListView::focusInEvent(QFocusEvent* event) {
    QTreeView::focusInEvent(event);
    viewport()->update();
}

void TaskListView::focusOutEvent(QFocusEvent* event) {
    QTreeView::focusOutEvent(event);
    viewport()->update();
}

void TaskListView::ToggleCheck(int row) { model_.SetChecked(row, !model_.Checked(row)); }

} // namespace tarnwick::ui
