#pragma once
// The task list's rules that need no window: which menu entries a list state enables, what the
// check commands do to a row, and which row is selected after a removal.

#include <optional>

namespace tarnwick::app {

// The Edit menu's list entries ("&Crop", "&Trim" and the five check commands) need rows.
bool EditEntriesEnabled(int rowCount);
// The popup's row entries ("&Crop", "&Trim", "Video Infomation", "Remove", "Clear", "Start")
// need rows and a selected one (selectedRow -1: none). "Add" is always enabled.
bool PopupEntriesEnabled(int rowCount, int selectedRow);

enum class TCheckCommand {
    CheckAll,        // "&Check All"
    UncheckAll,      // "&Uncheck All"
    ReverseCheck,    // "&Reverse Check"
    CheckSelected,   // "C&heck"
    UncheckSelected, // "U&ncheck"
};
// The row's new check mark under the command, or nothing when the command leaves it.
std::optional<bool> CheckAfterCommand(TCheckCommand command, bool checked, bool selected);

// The row to select once `removedRow` is gone and `rowsLeft` rows remain: the row that moved
// into its place, else the new last row; -1 when the list is empty.
int RowToSelectAfterRemoval(int removedRow, int rowsLeft);

} // namespace tarnwick::app
