#pragma once
// The trim editor ("Trim"): the part of a task-list file the run converts, as a start and an
// end time typed as HH:MM:SS, with a preview of the file to find them. "Ok" stores the start
// and the length in the row's record and the trimmed length in the list's cell.
// Window thread only.

#include "app/core/trim_rules.h"
#include "app/ui/edited_row.h"

#include <QDialog>

#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tarnwick::app {
class TMessageBox;
}
namespace tarnwick::component {
class TKivAVConverter;
}

namespace tarnwick::ui {

class EditorPreview;

class TfrmTrim : public QDialog {
    Q_OBJECT
public:
    TfrmTrim(app::TMessageBox& messages, QWidget* parent = nullptr);
    ~TfrmTrim() override;

    // Opens the editor, modal over its parent, for the row (none when the list has no rows,
    // or no row is selected: the editor then shows nothing of a file and "Ok" stores nothing).
    // Returns at once; the record must outlive the editor's session, which ends with
    // finished().
    void Edit(const EditedRow& row);

    const app::TTrimTimes& Times() const { return times_; }
    EditorPreview& Preview() const { return *preview_; }

protected:
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormShow();
    // The start and end checks, run when their field is left.
    void btnOk1Click();
    void btnOk2Click();
    void ApplyCheck(const app::TTrimFieldCheck& check, QLineEdit& field);
    void btnOkClick();
    void btnResetClick();
    void ShowFields(const app::TTrimFields& fields);

    app::TMessageBox& messages_;
    std::unique_ptr<component::TKivAVConverter> kivAVC_;
    EditorPreview* preview_;
    QLabel* lblSourceName_;
    QLabel* lblPTS_;
    QLabel* lblLength_;
    QLineEdit* maskedtStartTime_;
    QLineEdit* maskedtEndTime_;
    QLineEdit* maskedtLength_;
    EditedRow row_;
    app::TTrimTimes times_;
    bool checking_ = false;
};

} // namespace tarnwick::ui
