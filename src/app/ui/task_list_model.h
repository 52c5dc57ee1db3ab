#pragma once
// The rows of the task list: one per source file, each with its record, its check mark and the
// texts of its five columns. The columns exist only while there are rows: the first row brings
// them, the last one takes them away.

#include "app/core/task_list_rules.h"
#include "app/core/task_row.h"

#include <QAbstractTableModel>
#include <QString>

#include <vector>

namespace tarnwick::ui {

class TaskListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { SourceColumn, LengthColumn, TrimmedColumn, DestinationColumn, ProgressColumn };
    static constexpr int ColumnCount = 5;
    // "Source" 140, "Length" 70, "Trimmed Length" 90, "Destination File" 120, "Progress" 60.
    static int ColumnWidth(int column);

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Only the check mark of column 0 can be set.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // Appends a checked row for the record: caption the source, both lengths its duration,
    // the destination's file name, no progress. Returns its row.
    int Append(const app::TlvFilesRecord& record);
    void Remove(int row);
    void Clear();

    const app::TlvFilesRecord& Record(int row) const { return rows_.at(row).Record; }
    // The record to edit in place; call RecordChanged(row) after editing.
    app::TlvFilesRecord& MutableRecord(int row) { return rows_.at(row).Record; }
    void RecordChanged(int row);
    bool Checked(int row) const { return rows_.at(row).Checked; }
    void SetChecked(int row, bool checked);
    // Applies a check command to every row; `selectedRow` is -1 when none is selected.
    void ApplyCheckCommand(app::TCheckCommand command, int selectedRow);
    // Whether a row's caption is exactly the path.
    bool Contains(const std::string& sourceFile) const;

    // The cells the editors and the run write: "Trimmed Length" and "Progress".
    void SetTrimmedLength(int row, const QString& text);
    void SetProgress(int row, const QString& text);
    QString CellText(int row, int column) const;

    // The rows as the run sees them, in list order.
    std::vector<app::TTaskRow> TaskRows() const;

private:
    struct Row {
        app::TlvFilesRecord Record;
        bool Checked = true;
        QString Trimmed;
        QString Progress;
    };
    void CellChanged(int row, int column, int role);

    std::vector<Row> rows_;
    bool hasColumns_ = false;
};

} // namespace tarnwick::ui
