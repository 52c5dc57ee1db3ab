#pragma once
// The controls of the main window, made and placed as the window was designed (a fixed
// 786 x 534 window), each under its component name. No behaviour: TfrmMain connects them.

class QComboBox;
class QLabel;
class QLineEdit;
class QMainWindow;
class QPlainTextEdit;
class QPushButton;

namespace tarnwick::ui {

class PreviewPane;
class TaskListModel;
class TaskListView;
class ThemeManager;

struct MainForm {
    // Makes every control as a child of the window's central widget.
    void Build(QMainWindow& window, TaskListModel& rows, const ThemeManager& themes);

    // The command row.
    QPushButton* btnAdd = nullptr;      // "&Add"
    QPushButton* btnRemove = nullptr;   // "&Remove"
    QPushButton* btnClear = nullptr;    // "&Clear"
    QPushButton* btnSettings = nullptr; // "&Settings"
    QPushButton* btnStart = nullptr;    // "&Start"
    QPushButton* btnExit = nullptr;     // "&Exit"
    // The run's buttons, never shown; the run keeps their enabled states in step.
    QPushButton* btnStop = nullptr;   // "Stop"
    QPushButton* btnPause = nullptr;  // "Pause"
    QPushButton* btnResume = nullptr; // "Resume"

    TaskListView* lvFiles = nullptr;
    QPlainTextEdit* mmoLog = nullptr;     // behind the list, never seen
    PreviewPane* preview = nullptr;       // "Fast preview"
    QPushButton* btnStartBelow = nullptr; // "&Start"

    QLabel* lblOutputFormat = nullptr; // "Output Format:"
    QComboBox* cbOutputFormat = nullptr;
    QPushButton* btnOptions = nullptr; // "Settings"
    QLabel* lblDirectory = nullptr;    // "Output Folder:"
    QLineEdit* edDirectory = nullptr;  // read-only
    QPushButton* btnBrows = nullptr;   // "Brows"
    QPushButton* btnOpen = nullptr;    // "Open"
};

} // namespace tarnwick::ui
