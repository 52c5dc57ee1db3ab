#pragma once
// The task-list row an editor or dialog works on, as the main window hands it over.

#include "app/core/task_row.h"

#include <functional>
#include <string>

namespace tarnwick::ui {

struct EditedRow {
    // The row's record, kept by the list while the modal window is open; nullptr when the
    // list has no rows or none is selected.
    app::TlvFilesRecord* Record = nullptr;
    // Writes the row's "Trimmed Length" cell.
    std::function<void(const std::string&)> SetTrimmedLength;
};

} // namespace tarnwick::ui
