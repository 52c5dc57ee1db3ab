// The editors and dialogs of a row and of the preferences. Each window is made on first use
// as a child of the main window and shown again, with its fields, for every later use.
#include "app/ui/crop_editor.h"
#include "app/ui/file_info_dialog.h"
#include "app/ui/main_window.h"
#include "app/ui/preference_dialog.h"
#include "app/ui/trim_editor.h"

namespace tarnwick::ui {
namespace {

template <typename Window, typename... Arguments>
Window& Reused(TfrmMain& owner, Arguments&&... arguments) {
    if (auto* window = owner.findChild<Window*>(QString(), Qt::FindDirectChildrenOnly))
        return *window;
    return *new Window(std::forward<Arguments>(arguments)..., &owner);
}

// The selected row, whose cells the editors write; none when no row is selected, which the
// windows treat as an empty list.
EditedRow SelectedRowToEdit(TfrmMain& window) {
    const int row = window.SelectedRow();
    return {window.SelectedRecord(), [&window, row](const std::string& text) {
                window.Rows().SetTrimmedLength(row, QString::fromStdString(text));
            }};
}

// Opens an editor for the selected row; the list redraws the row once the editor is done.
template <typename Editor> void EditSelectedRow(TfrmMain& window, Editor& editor) {
    const int row = window.SelectedRow();
    if (row >= 0)
        QObject::connect(
            &editor, &QDialog::finished, &window,
            [&window, row] { window.Rows().RecordChanged(row); }, Qt::SingleShotConnection);
    editor.Edit(SelectedRowToEdit(window));
}

} // namespace

void TfrmMain::Crop1Click() { EditSelectedRow(*this, Reused<TfrmCrop>(*this)); }

void TfrmMain::Trim1Click() {
    EditSelectedRow(*this, Reused<TfrmTrim>(*this, Services().Messages));
}

void TfrmMain::VideoInfomation1Click() {
    Reused<TfrmFileInfo>(*this).ShowFile(SelectedRowToEdit(*this));
}

void TfrmMain::Preference1Click() {
    Reused<TfrmPreference>(*this, Settings(), Services().Files, Services().Urls,
                           Services().Messages)
        .Edit();
}

} // namespace tarnwick::ui
