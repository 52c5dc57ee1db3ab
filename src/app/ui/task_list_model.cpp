#include "app/ui/task_list_model.h"

#include <QFileInfo>

#include <array>

namespace tarnwick::ui {
namespace {

constexpr std::array<const char*, TaskListModel::ColumnCount> Captions = {
    "Source", "Length", "Trimmed Length", "Destination File", "Progress"};
constexpr std::array<int, TaskListModel::ColumnCount> Widths = {140, 70, 90, 120, 60};

} // namespace

int TaskListModel::ColumnWidth(int column) { return Widths.at(static_cast<size_t>(column)); }

int TaskListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TaskListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() || !hasColumns_ ? 0 : ColumnCount;
}

QString TaskListModel::CellText(int row, int column) const {
    const Row& entry = rows_.at(static_cast<size_t>(row));
    switch (column) {
    case SourceColumn: return QString::fromStdString(entry.Record.SourceFile);
    case LengthColumn: return QString::number(entry.Record.DurationSec);
    case TrimmedColumn: return entry.Trimmed;
    case DestinationColumn:
        return QFileInfo(QString::fromStdString(entry.Record.DestFile)).fileName();
    case ProgressColumn: return entry.Progress;
    default: return {};
    }
}

QVariant TaskListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    if (role == Qt::DisplayRole) return CellText(index.row(), index.column());
    if (role == Qt::CheckStateRole && index.column() == SourceColumn)
        return rows_[static_cast<size_t>(index.row())].Checked ? Qt::Checked : Qt::Unchecked;
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    return {};
}

QVariant TaskListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
    if (role == Qt::DisplayRole) return QString(Captions[static_cast<size_t>(section)]);
    return {};
}

Qt::ItemFlags TaskListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() == SourceColumn) flags |= Qt::ItemIsUserCheckable;
    return flags;
}

bool TaskListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::CheckStateRole || index.column() != SourceColumn)
        return false;
    SetChecked(index.row(), value.value<Qt::CheckState>() == Qt::Checked);
    return true;
}

int TaskListModel::Append(const app::TlvFilesRecord& record) {
    if (!hasColumns_) {
        beginInsertColumns({}, 0, ColumnCount - 1);
        hasColumns_ = true;
        endInsertColumns();
    }
    const int row = rowCount();
    beginInsertRows({}, row, row);
    rows_.push_back({record, true, QString::number(record.DurationSec), QString()});
    endInsertRows();
    return row;
}

void TaskListModel::Remove(int row) {
    if (row < 0 || row >= rowCount()) return;
    beginRemoveRows({}, row, row);
    rows_.erase(rows_.begin() + row);
    endRemoveRows();
    if (rows_.empty()) {
        beginRemoveColumns({}, 0, ColumnCount - 1);
        hasColumns_ = false;
        endRemoveColumns();
    }
}

void TaskListModel::Clear() {
    if (rows_.empty()) return;
    beginResetModel();
    rows_.clear();
    hasColumns_ = false;
    endResetModel();
}

void TaskListModel::RecordChanged(int row) {
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
}

void TaskListModel::SetChecked(int row, bool checked) {
    Row& entry = rows_.at(static_cast<size_t>(row));
    if (entry.Checked == checked) return;
    entry.Checked = checked;
    CellChanged(row, SourceColumn, Qt::CheckStateRole);
}

void TaskListModel::ApplyCheckCommand(app::TCheckCommand command, int selectedRow) {
    for (int row = 0; row < rowCount(); ++row)
        if (const auto checked = app::CheckAfterCommand(command, Checked(row), row == selectedRow))
            SetChecked(row, *checked);
}

bool TaskListModel::Contains(const std::string& sourceFile) const {
    for (const Row& entry : rows_)
        if (entry.Record.SourceFile == sourceFile) return true;
    return false;
}

void TaskListModel::SetTrimmedLength(int row, const QString& text) {
    rows_.at(static_cast<size_t>(row)).Trimmed = text;
    CellChanged(row, TrimmedColumn, Qt::DisplayRole);
}

void TaskListModel::SetProgress(int row, const QString& text) {
    rows_.at(static_cast<size_t>(row)).Progress = text;
    CellChanged(row, ProgressColumn, Qt::DisplayRole);
}

std::vector<app::TTaskRow> TaskListModel::TaskRows() const {
    std::vector<app::TTaskRow> rows;
    rows.reserve(rows_.size());
    for (const Row& entry : rows_)
        rows.push_back({entry.Record, entry.Checked});
    return rows;
}

void TaskListModel::CellChanged(int row, int column, int role) {
    const QModelIndex cell = index(row, column);
    emit dataChanged(cell, cell, {role});
}

} // namespace tarnwick::ui
