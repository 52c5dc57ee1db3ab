#include "app/core/task_list_rules.h"

#include <algorithm>

namespace tarnwick::app {

bool EditEntriesEnabled(int rowCount) { return rowCount > 0; }

bool PopupEntriesEnabled(int rowCount, int selectedRow) {
    return rowCount > 0 && selectedRow >= 0 && selectedRow < rowCount;
}

std::optional<bool> CheckAfterCommand(TCheckCommand command, bool checked, bool selected) {
    switch (command) {
    case TCheckCommand::CheckAll: return true;
    case TCheckCommand::UncheckAll: return false;
    case TCheckCommand::ReverseCheck: return !checked;
    case TCheckCommand::CheckSelected: return selected ? std::optional(true) : std::nullopt;
    case TCheckCommand::UncheckSelected: return selected ? std::optional(false) : std::nullopt;
    }
    return std::nullopt;
}

int RowToSelectAfterRemoval(int removedRow, int rowsLeft) {
    if (rowsLeft <= 0) return -1;
    return std::clamp(removedRow, 0, rowsLeft - 1);
}

} // namespace tarnwick::app
